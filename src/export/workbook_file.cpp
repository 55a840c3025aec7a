#include "export/workbook_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

#include "export/zip_check.h"
#include "export/zip_stamp.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;

// The ZIP64 extensions are needed once a member or the archive passes 4 GiB; the
// margin covers what a sheet adds to its spooled rows (its head, filters, formats) and
// what the other members add to the archive.
constexpr uint64_t kZip64Threshold = (uint64_t{1} << 32) - (uint64_t{64} << 20);
// Room kept free beyond the largest sheet's copy when the spool is checked.
constexpr uint64_t kRoomMargin = uint64_t{1} << 20;

uint64_t Tell(FILE* file) {
#ifdef _WIN32
  const int64_t at = _ftelli64(file);
#else
  const int64_t at = ftello(file);
#endif
  return at < 0 ? 0 : static_cast<uint64_t>(at);
}

uint64_t FreeBytes(const fs::path& folder) {
  std::error_code error;
  const fs::space_info space = fs::space(folder, error);
  return error ? UINT64_MAX : space.available;
}

// What a failed write's error number says, or kFailed.
WorkbookProblem ProblemOfError(int error) {
  switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return WorkbookProblem::kNoRoom;
    case EFBIG:
      return WorkbookProblem::kFileSizeLimit;
    case ENOMEM:
      return WorkbookProblem::kNoMemory;
    default:
      return WorkbookProblem::kFailed;
  }
}

// A write failed without a telling error number: a folder that is nearly full now
// (its spool files are gone again) was full then.
WorkbookProblem ProblemOfFailedWrite(int error, const fs::path& folder,
                                     uint64_t room_needed) {
  const WorkbookProblem problem = ProblemOfError(error);
  if (problem != WorkbookProblem::kFailed) return problem;
  return FreeBytes(folder) < room_needed ? WorkbookProblem::kNoRoom
                                         : WorkbookProblem::kFailed;
}

// Counts what an archive member of a worksheet holds: its rows and cells, and whether
// it ends as a worksheet does. The tags are found as bytes: cell texts have their "<"
// escaped, so "<row " and "<c " begin only rows and cells.
class SheetXmlCount {
 public:
  void Add(std::string_view data) {
    if (!partial_.empty()) {  // a tag begun at the end of the previous piece
      partial_.append(
          data.substr(0, std::min(data.size(), kRow.size() - partial_.size())));
      if (!Undecided(partial_)) {
        Tally(partial_);
        partial_.clear();
      }
    }
    for (size_t at = data.find('<'); at != std::string_view::npos;
         at = data.find('<', at + 1)) {
      const std::string_view rest = data.substr(at);
      if (Undecided(rest)) {
        partial_.assign(rest);
      } else {
        Tally(rest);
      }
    }
    tail_.append(data.substr(data.size() - std::min(data.size(), kEnd.size())));
    if (tail_.size() > kEnd.size()) tail_.erase(0, tail_.size() - kEnd.size());
  }
  int64_t rows() const { return rows_; }
  int64_t cells() const { return cells_; }
  bool ends_whole() const { return tail_ == kEnd; }

 private:
  static constexpr std::string_view kRow = "<row ", kCell = "<c ", kEnd = "</worksheet>";

  // Too short to tell, and the beginning of a tag counted.
  static bool Undecided(std::string_view text) {
    return (text.size() < kRow.size() && kRow.starts_with(text)) ||
           (text.size() < kCell.size() && kCell.starts_with(text));
  }
  void Tally(std::string_view text) {
    if (text.starts_with(kRow)) ++rows_;
    if (text.starts_with(kCell)) ++cells_;
  }

  std::string partial_;
  std::string tail_;
  int64_t rows_ = 0;
  int64_t cells_ = 0;
};

}  // namespace

std::vector<fs::path> SpoolFolders(const fs::path& file, uint64_t spool_estimate) {
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  std::vector<fs::path> folders;
  std::error_code error;
  const fs::path temporary = fs::temp_directory_path(error);
  if (!error && fs::is_directory(temporary, error) &&
      !fs::equivalent(temporary, folder, error) &&
      FreeBytes(temporary) >= spool_estimate) {
    folders.push_back(temporary);
  }
  folders.push_back(folder);
  return folders;
}

lxw_workbook* NewSpooledWorkbook(const fs::path& file, const fs::path& spool_folder) {
  // The library takes UTF-8 names (and, on Windows, opens them as wide ones).
  const std::u8string name = file.u8string();
  std::u8string spool = spool_folder.u8string();
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = reinterpret_cast<char*>(spool.data());
  return workbook_new_opt(reinterpret_cast<const char*>(name.c_str()), &options);
}

bool SpoolFailed(std::span<const SheetTally> sheets) {
  for (const SheetTally& tally : sheets) {
    FILE* spool = tally.sheet()->optimize_tmpfile;
    if (spool != nullptr && std::ferror(spool)) return true;
  }
  return false;
}

void AbandonSpooledWorkbook(lxw_workbook* book, std::span<const SheetTally> sheets) {
  if (book == nullptr) return;
  // The library closes a sheet's spool only when it packs the sheet.
  for (const SheetTally& tally : sheets) {
    if (tally.sheet()->optimize_tmpfile != nullptr) {
      std::fclose(tally.sheet()->optimize_tmpfile);
      tally.sheet()->optimize_tmpfile = nullptr;
      tally.sheet()->file = nullptr;
    }
  }
  lxw_workbook_free(book);
}

WorkbookProblem CloseSpooledWorkbook(lxw_workbook* book,
                                     std::span<const SheetTally> sheets,
                                     const fs::path& file, const fs::path& spool_folder) {
  // Every spool written out to its last row, and measured.
  uint64_t total = 0, largest = 0;
  for (const SheetTally& tally : sheets) {
    lxw_worksheet* sheet = tally.sheet();
    lxw_worksheet_write_single_row(sheet);
    errno = 0;
    if (std::fflush(sheet->optimize_tmpfile) != 0 ||
        std::ferror(sheet->optimize_tmpfile)) {
      const int error = errno;
      AbandonSpooledWorkbook(book, sheets);
      return ProblemOfFailedWrite(error, spool_folder, kRoomMargin);
    }
    const uint64_t bytes = Tell(sheet->optimize_tmpfile);
    total += bytes;
    largest = std::max(largest, bytes);
  }
  // Packing copies each sheet's spool once more before it is compressed.
  if (FreeBytes(spool_folder) < largest + kRoomMargin) {
    AbandonSpooledWorkbook(book, sheets);
    return WorkbookProblem::kNoRoom;
  }
  book->options.use_zip64 = total >= kZip64Threshold ? LXW_TRUE : LXW_FALSE;
  errno = 0;
  const lxw_error closed = workbook_close(book);
  const int close_error = errno;
  if (closed == LXW_ERROR_MEMORY_MALLOC_FAILED) return WorkbookProblem::kNoMemory;
  if (closed == LXW_ERROR_CREATING_XLSX_FILE) return WorkbookProblem::kCannotCreate;
  if (closed != LXW_NO_ERROR) {
    return ProblemOfFailedWrite(close_error, spool_folder, largest + kRoomMargin);
  }
  // The stamp by which a later run knows the workbook as the program wrote it goes into
  // the archive's comment before the read-back, so what is checked is what replaces
  // the old file.
  errno = 0;
  if (!StampZip(file))
    return ProblemOfFailedWrite(errno, file.parent_path(), kRoomMargin);

  // The archive read back: whole, and every sheet with the rows and cells it was
  // given (a spool write that failed unseen leaves a sheet short).
  std::vector<SheetXmlCount> counts(sheets.size());
  const std::string broken =
      CheckZipArchive(file, [&counts](std::string_view member, std::string_view data) {
        constexpr std::string_view kPrefix = "xl/worksheets/sheet";
        if (!member.starts_with(kPrefix) || !member.ends_with(".xml")) return;
        const std::string_view number =
            member.substr(kPrefix.size(), member.size() - kPrefix.size() - 4);
        size_t index = 0;
        for (char c : number) index = index * 10 + static_cast<size_t>(c - '0');
        if (index >= 1 && index <= counts.size()) counts[index - 1].Add(data);
      });
  if (!broken.empty()) return WorkbookProblem::kIncomplete;
  for (size_t s = 0; s < sheets.size(); ++s) {
    if (counts[s].rows() != sheets[s].rows() || counts[s].cells() != sheets[s].cells() ||
        !counts[s].ends_whole()) {
      return WorkbookProblem::kIncomplete;
    }
  }
  if (!ZipStampMatches(file)) return WorkbookProblem::kIncomplete;
  return WorkbookProblem::kNone;
}

}  // namespace vantry
