// The POSIX side of file_io.h (Linux, macOS).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <vector>

#include "text/file_io.h"
#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace vantry {
namespace fs = std::filesystem;
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

fs::path RunDirectory() {
#ifdef __APPLE__
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

}  // namespace vantry
