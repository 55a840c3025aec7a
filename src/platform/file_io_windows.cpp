// The Windows side of file_io.h: writing through the wide-character API.
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "platform/file_io.h"

namespace vantry {
namespace fs = std::filesystem;

FileRead ReadWholeFileWithStatus(const fs::path& path, uint64_t max_bytes) {
  FileContents result;
  // Ends the read with `problem` (the size found stays).
  const auto failed = [&result](FileReadProblem problem) -> FileRead {
    return FailedRead(problem, result.size);
  };
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return FailedRead(FileReadProblem::kMissing);
  if (!fs::is_regular_file(path, ec)) {
    return failed(FileReadProblem::kNotRegularFile);
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return failed(FileReadProblem::kUnreadable);
  }
  result.size = fs::file_size(path, ec);
  if (ec) result.size = 0;
  if (result.size > max_bytes || result.size > result.bytes.max_size() ||
      result.size > AvailableMemoryBytes()) {
    return failed(FileReadProblem::kTooLarge);
  }
  try {
    result.bytes.reserve(static_cast<size_t>(result.size));
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
      result.bytes.append(chunk, static_cast<size_t>(in.gcount()));
    }
  } catch (const std::bad_alloc&) {
    return failed(FileReadProblem::kTooLarge);
  } catch (const std::length_error&) {  // larger than a string may be
    return failed(FileReadProblem::kTooLarge);
  }
  if (in.bad()) {
    return failed(FileReadProblem::kUnreadable);
  }
  return result;
}

uint64_t AvailableMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX;
  return std::min<uint64_t>(status.ullAvailVirtual, status.ullAvailPageFile);
}

namespace {

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(FileHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!valid()) return true;
    const bool ok = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

constexpr std::wstring_view kTempInfix = L".vantry-tmp-";
constexpr wchar_t kTempLetters[] =
    L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// "<name>.vantry-tmp-XXXXXX" with a non-empty name and six letters or digits.
bool IsTemporaryName(std::wstring_view name) {
  const size_t at = name.rfind(kTempInfix);
  if (at == 0 || at == name.npos || name.size() != at + kTempInfix.size() + 6) {
    return false;
  }
  return name.find_first_not_of(kTempLetters, at + kTempInfix.size()) == name.npos;
}

// Removes the temporaries that writers which died left in `folder`. One still being
// written is open without delete sharing, so it stays.
void RemoveStaleTemporaries(const fs::path& folder) {
  const fs::path pattern = folder / (L"*" + std::wstring(kTempInfix) + L"*");
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        IsTemporaryName(found.cFileName)) {
      DeleteFileW((folder / found.cFileName).c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// A new, empty temporary file "<name>.vantry-tmp-XXXXXX" beside `path`, open with
// `access` and `share` (never delete sharing: the cleaners above cannot remove it while
// it is open); its name in `temp`.
FileHandle CreateTemporaryBeside(const fs::path& path, fs::path& temp,
                                 DWORD access = GENERIC_WRITE, DWORD share = 0) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring suffix(kTempInfix);
    for (int i = 0; i < 6; ++i) suffix += kTempLetters[random() % 62];
    temp = path;
    temp += suffix;
    FileHandle file(CreateFileW(temp.c_str(), access, share, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid() || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return FileHandle(INVALID_HANDLE_VALUE);
}

bool WriteWholeFileOrFalse(const fs::path& path,
                           std::initializer_list<std::string_view> blocks,
                           ExistingFile existing) {
  if (path.empty()) return false;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
  RemoveStaleTemporaries(path.parent_path().empty() ? fs::path(L".")
                                                    : path.parent_path());
  fs::path temp;
  FileHandle file = CreateTemporaryBeside(path, temp);
  if (!file.valid()) return false;
  bool ok = true;
  for (std::string_view block : blocks) {
    while (ok && !block.empty()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(block.size(), 1 << 30));
      DWORD written = 0;
      ok = WriteFile(file.get(), block.data(), chunk, &written, nullptr) && written > 0;
      block.remove_prefix(written);
    }
  }
  ok = ok && FlushFileBuffers(file.get());
  ok = file.Close() && ok;
  // Puts the file in place in one step, through to the disk before returning. Fails,
  // leaving the old file whole, while another program holds it open without delete
  // sharing (an editor, a virus scanner), or when kKeep finds something there.
  const DWORD flags =
      MOVEFILE_WRITE_THROUGH |
      (existing == ExistingFile::kReplace ? MOVEFILE_REPLACE_EXISTING : 0);
  ok = ok && MoveFileExW(temp.c_str(), path.c_str(), flags) != 0;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

bool WriteThroughTemporaryOrFalse(const fs::path& path,
                                  const std::function<bool(const fs::path&)>& write) {
  std::error_code ec;
  if (!path.has_filename() || fs::is_directory(path, ec)) return false;
  fs::path temp;
  // Made first, so that the name is this writer's alone, and held open while the
  // writer works, so that the cleaners of other writers in the folder leave it be; the
  // writer may still open it by name to read or write.
  FileHandle guard =
      CreateTemporaryBeside(path, temp, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!guard.valid()) return false;
  bool ok = false;
  try {
    ok = write(temp);
  } catch (...) {
    guard.Close();
    DeleteFileW(temp.c_str());
    throw;
  }
  if (ok) {
    // Flushed through a handle of its own: the writer's are closed.
    FileHandle written(CreateFileW(temp.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ok = written.valid() && FlushFileBuffers(written.get());
  }
  guard.Close();
  ok = ok && MoveFileExW(temp.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

}  // namespace

Status WriteWholeFile(const fs::path& path,
                      std::initializer_list<std::string_view> blocks,
                      ExistingFile existing) {
  if (!WriteWholeFileOrFalse(path, blocks, existing)) return FailedWrite();
  return Status();
}

Status WriteThroughTemporary(const fs::path& path,
                             const std::function<bool(const fs::path&)>& write) {
  if (!WriteThroughTemporaryOrFalse(path, write)) return FailedWrite();
  return Status();
}

fs::path RunDirectory() {
  std::wstring buffer(32768, L'\0');
  const DWORD n =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return {};  // failed, or the name was cut short
  buffer.resize(n);
  return fs::path(buffer).parent_path();
}

}  // namespace vantry
