// The Windows side of file_io.h: writing through the wide-character API.
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <stdexcept>
#include <system_error>

#include "text/file_io.h"

namespace vantry {
namespace fs = std::filesystem;

FileReadResult ReadWholeFileWithStatus(const fs::path& path) {
  FileReadResult result;
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return result;
  if (!fs::is_regular_file(path, ec)) {
    result.status = FileReadStatus::kNotRegularFile;
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.status = FileReadStatus::kUnreadable;
    return result;
  }
  result.size = fs::file_size(path, ec);
  if (ec) result.size = 0;
  if (result.size > result.bytes.max_size() || result.size > AvailableMemoryBytes()) {
    result.status = FileReadStatus::kTooLarge;
    return result;
  }
  try {
    result.bytes.reserve(static_cast<size_t>(result.size));
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
      result.bytes.append(chunk, static_cast<size_t>(in.gcount()));
    }
  } catch (const std::bad_alloc&) {
    result.bytes = std::string();
    result.status = FileReadStatus::kTooLarge;
    return result;
  } catch (const std::length_error&) {
    result.bytes = std::string();
    result.status = FileReadStatus::kTooLarge;
    return result;
  }
  if (in.bad()) {
    result.bytes = std::string();
    result.status = FileReadStatus::kUnreadable;
    return result;
  }
  result.status = FileReadStatus::kOk;
  return result;
}

uint64_t AvailableMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX;
  return std::min<uint64_t>(status.ullAvailVirtual, status.ullAvailPageFile);
}

bool WriteWholeFile(const fs::path& path, std::initializer_list<std::string_view> blocks,
                    ExistingFile existing) {
  if (path.empty()) return false;
  fs::path temp = path;
  temp += L".vantry-tmp";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  for (std::string_view block : blocks) {
    DWORD written = 0;
    if (!WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written,
                   nullptr) ||
        written != block.size()) {
      ok = false;
      break;
    }
  }
  ok = FlushFileBuffers(file) && ok;
  CloseHandle(file);
  const DWORD replace =
      existing == ExistingFile::kReplace ? MOVEFILE_REPLACE_EXISTING : 0;
  if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), replace) != 0;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

bool WriteThroughTemporary(const fs::path& path,
                           const std::function<bool(const fs::path&)>& write) {
  std::error_code ec;
  if (!path.has_filename() || fs::is_directory(path, ec)) return false;
  static constexpr wchar_t kAlphabet[] =
      L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path temp = path;
    temp += L".vantry-tmp-";
    for (int i = 0; i < 6; ++i) temp += kAlphabet[random() % (std::size(kAlphabet) - 1)];
    // Made first, so that the name is this writer's alone.
    const HANDLE made = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return false;
    }
    CloseHandle(made);
    bool ok = false;
    try {
      ok = write(temp);
    } catch (...) {
      DeleteFileW(temp.c_str());
      throw;
    }
    if (ok) {
      // Flush what stands under the name now: the writer may have replaced the file.
      const HANDLE written = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      ok = written != INVALID_HANDLE_VALUE && FlushFileBuffers(written);
      if (written != INVALID_HANDLE_VALUE) CloseHandle(written);
    }
    if (ok) {
      ok = MoveFileExW(temp.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
  }
  return false;
}

fs::path RunDirectory() {
  std::wstring buffer(32768, L'\0');
  const DWORD n =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return fs::path(buffer).parent_path();
}

}  // namespace vantry
