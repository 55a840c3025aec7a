// How a workbook made with libxlsxwriter reaches its file whole: where its rows are
// spooled, what the spooling cost, ZIP64 when the sheets grew large, and the finished
// archive read back against what each sheet was given. The library does not check the
// writes of its spool files, so a full temporary folder would otherwise give a
// workbook with sheets cut short that Excel refuses.
#ifndef VANTRY_EXPORT_WORKBOOK_FILE_H_
#define VANTRY_EXPORT_WORKBOOK_FILE_H_

#include <xlsxwriter.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "export/workbook.h"

namespace vantry {

// What one worksheet was given, to be found again in its member of the archive.
class SheetTally {
 public:
  explicit SheetTally(lxw_worksheet* sheet) : sheet_(sheet) {}

  // A cell that the library writes out (a number, a text that is not empty, or any
  // cell with a format), in a row no lower than the last one.
  void Cell(int64_t row) {
    ++cells_;
    if (row != last_row_) ++rows_;
    last_row_ = row;
  }

  lxw_worksheet* sheet() const { return sheet_; }
  int64_t rows() const { return rows_; }
  int64_t cells() const { return cells_; }

 private:
  lxw_worksheet* sheet_;
  int64_t rows_ = 0;
  int64_t cells_ = 0;
  int64_t last_row_ = -1;
};

// The folders to spool a workbook for `file` in, in the order to try them: the
// system's temporary folder unless it has less than `spool_estimate` bytes free, then
// the folder of `file` (the teacher's exam drive, where the workbook must fit anyway).
std::vector<std::filesystem::path> SpoolFolders(const std::filesystem::path& file,
                                                uint64_t spool_estimate);

// A new workbook in constant-memory mode that will be written to `file`, spooling its
// rows in `spool_folder`; null when the library cannot make one.
lxw_workbook* NewSpooledWorkbook(const std::filesystem::path& file,
                                 const std::filesystem::path& spool_folder);

// Whether any sheet's spool has failed a write so far (a full disk, a file size
// limit); cheap enough to ask after every block of rows.
bool SpoolFailed(std::span<const SheetTally> sheets);

// Writes the archive of `book` (made by NewSpooledWorkbook for `file`, its sheets in
// `sheets` in the order they were added), stamps it (zip_stamp.h) and reads it back,
// the stamp included; frees `book` in every case. Checks first that every spool was
// written whole and that the spool folder has room for the largest sheet's copy, and
// turns ZIP64 on when the spooled sheets come near 4 GB.
WorkbookProblem CloseSpooledWorkbook(lxw_workbook* book,
                                     std::span<const SheetTally> sheets,
                                     const std::filesystem::path& file,
                                     const std::filesystem::path& spool_folder);

// Frees `book` without writing anything.
void AbandonSpooledWorkbook(lxw_workbook* book, std::span<const SheetTally> sheets);

}  // namespace vantry

#endif  // VANTRY_EXPORT_WORKBOOK_FILE_H_
