#include "text/file_io.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace vantry {
namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& path) {
  std::error_code ec;
  if (path.empty() || !fs::is_regular_file(path, ec)) return {};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string bytes;
  const auto size = fs::file_size(path, ec);
  if (!ec) bytes.reserve(static_cast<size_t>(size));
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) return {};
  return bytes;
}

#ifdef _WIN32

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

// A new, empty temporary file beside `path`, opened for writing; its name in `temp`.
FileHandle CreateTemporaryBeside(const fs::path& path, fs::path& temp) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path;
    temp += L"." + std::to_wstring(random() % 1000000) + L".tmp";
    FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid() || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return FileHandle(INVALID_HANDLE_VALUE);
}

}  // namespace

bool WriteWholeFile(const fs::path& path,
                    std::initializer_list<std::string_view> blocks) {
  if (path.empty()) return false;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
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
  // Replaces the old file in one step; fails (leaving it whole) while another program
  // holds it open without delete sharing.
  ok = ok && MoveFileExW(temp.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

#else

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }
  int get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view block) {
  while (!block.empty()) {
    const ssize_t n = ::write(fd, block.data(), block.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    block.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

mode_t NewFileMode(const fs::path& path) {
  struct stat existing;
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool WriteWholeFile(const fs::path& path,
                    std::initializer_list<std::string_view> blocks) {
  if (path.empty()) return false;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
  std::string temp = path.string() + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  FileDescriptor fd(::mkstemp(name.data()));
  if (fd.get() < 0) return false;
  const fs::path temp_path(name.data());
  bool ok = ::fchmod(fd.get(), NewFileMode(path)) == 0;
  for (std::string_view block : blocks) {
    if (!ok) break;
    ok = WriteAll(fd.get(), block);
  }
  ok = ok && ::fsync(fd.get()) == 0;
  ok = fd.Close() && ok;
  ok = ok && ::rename(temp_path.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp_path.c_str());
  return ok;
}

#endif

bool PathExists(const fs::path& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

fs::path RunDirectory() {
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');
  const DWORD n =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return {};  // failed, or the name was cut short
  buffer.resize(n);
  return fs::path(buffer).parent_path();
#elif defined(__APPLE__)
  uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string buffer(size, '\0');
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) return {};
  std::error_code ec;
  return fs::weakly_canonical(fs::path(buffer.c_str()), ec).parent_path();
#else
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe.parent_path();
#endif
}

fs::path PathInDirectory(const fs::path& directory, std::string_view utf8_name) {
  const std::u8string name(utf8_name.begin(), utf8_name.end());
  return directory / fs::path(name);
}

}  // namespace vantry
