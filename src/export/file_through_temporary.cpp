#include "export/file_through_temporary.h"

#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace vantry {
namespace fs = std::filesystem;
namespace {

std::string RandomSuffix() {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string suffix(6, 'x');
  for (char& c : suffix) c = kAlphabet[random() % (sizeof kAlphabet - 1)];
  return suffix;
}

fs::path TemporaryName(const fs::path& path) {
  fs::path temp = path;
  temp += ".vantry-tmp-" + RandomSuffix();
  return temp;
}

// Removes the temporary when it was not put in place.
class TemporaryFile {
 public:
  explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!placed_) {
      std::error_code ec;
      fs::remove(path_, ec);
    }
  }
  const fs::path& path() const { return path_; }
  // Leaves the file alone from now on: it was put in place, or is not ours.
  void MarkPlaced() { placed_ = true; }

 private:
  fs::path path_;
  bool placed_ = false;
};

#ifdef _WIN32

bool Create(const fs::path& temp) {
  const HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool Place(const fs::path& temp, const fs::path& path) {
  return MoveFileExW(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

// A descriptor closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

bool SyncPath(const fs::path& path, int flags) {
  const Descriptor fd(::open(path.c_str(), flags | O_CLOEXEC));
  return fd.get() >= 0 && (::fsync(fd.get()) == 0 || errno == EINVAL);
}

#endif

}  // namespace

bool WriteThroughTemporary(const fs::path& path,
                           const std::function<bool(const fs::path&)>& write) {
  std::error_code ec;
  if (path.empty() || !path.has_filename() || fs::is_directory(path, ec)) return false;
#ifdef _WIN32
  for (int attempt = 0; attempt < 100; ++attempt) {
    TemporaryFile temp(TemporaryName(path));
    if (!Create(temp.path())) {
      temp.MarkPlaced();  // not ours to remove
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return false;
    }
    if (!write(temp.path()) || !Place(temp.path(), path)) return false;
    temp.MarkPlaced();
    return true;
  }
  return false;
#else
  for (int attempt = 0; attempt < 100; ++attempt) {
    TemporaryFile temp(TemporaryName(path));
    const Descriptor fd(::open(
        temp.path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
      const int error = errno;
      temp.MarkPlaced();  // not ours to remove
      if (error == EEXIST) continue;
      return false;
    }
    // Held until the rename: a cleaner leaves a locked temporary alone.
    ::flock(fd.get(), LOCK_EX);
    if (!write(temp.path())) return false;
    // The writer may have replaced the file by its name: flush what stands there now.
    if (!SyncPath(temp.path(), O_RDONLY)) return false;
    if (::rename(temp.path().c_str(), path.c_str()) != 0) return false;
    temp.MarkPlaced();
    // The new name must survive a power cut too, or the old file could come back.
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    SyncPath(folder, O_RDONLY | O_DIRECTORY);
    return true;
  }
  return false;
#endif
}

}  // namespace vantry
