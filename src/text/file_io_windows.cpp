// The Windows side of file_io.h: writing through the wide-character API.
#include <windows.h>

#include "text/file_io.h"

namespace vantry {
namespace fs = std::filesystem;

bool WriteWholeFile(const fs::path& path,
                    std::initializer_list<std::string_view> blocks) {
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
  if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

fs::path RunDirectory() {
  std::wstring buffer(32768, L'\0');
  const DWORD n =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return fs::path(buffer).parent_path();
}

}  // namespace vantry
