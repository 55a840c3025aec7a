// The POSIX side of file_io.h (Linux, macOS).
#include "platform/file_io_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

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
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// open(2) and openat(2), retried when a signal interrupts them.
int OpenAt(int dir, const char* name, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::openat(dir, name, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

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

// Reads into `out` until it is full or the file ends; the bytes read, or -1.
int64_t ReadInto(int fd, char* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    // One call reads at most 1 GiB: some systems refuse larger counts.
    const size_t want = std::min<size_t>(size - done, size_t{1} << 30);
    const ssize_t n = ::read(fd, out + done, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

FileReadProblem ProblemOfFailedOpen(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileReadProblem::kMissing;
    case ENXIO:  // a socket, or a device without its driver
      return FileReadProblem::kNotRegularFile;
    case EOVERFLOW:
    case EFBIG:
      return FileReadProblem::kTooLarge;
    default:
      return FileReadProblem::kUnreadable;
  }
}

// The bytes of `path` (read in full), or nullopt. For the small system files that tell
// the memory limits.
std::optional<std::string> ReadSmallSystemFile(const char* path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)),
                   std::istreambuf_iterator<char>());
  return text;
}

// A decimal number at the start of `text` (after blanks), or nullopt.
std::optional<uint64_t> ParseNumber(const char* text) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (end == text || errno != 0) return std::nullopt;
  return static_cast<uint64_t>(value);
}

// The number after `key` in a "Key: value" listing such as /proc/meminfo.
std::optional<uint64_t> FieldOf(const std::string& listing, std::string_view key) {
  for (size_t at = 0; (at = listing.find(key, at)) != std::string::npos;
       at += key.size()) {
    if (at == 0 || listing[at - 1] == '\n') {
      return ParseNumber(listing.c_str() + at + key.size());
    }
  }
  return std::nullopt;
}

uint64_t Remaining(uint64_t limit, uint64_t used) {
  return limit > used ? limit - used : 0;
}

#ifdef __linux__
// The memory limit of this process's control group (cgroup v2) less its use, the
// tightest along the path to the root; UINT64_MAX without one.
uint64_t ControlGroupRoom() {
  uint64_t room = std::numeric_limits<uint64_t>::max();
  const std::optional<std::string> membership = ReadSmallSystemFile("/proc/self/cgroup");
  if (!membership) return room;
  const size_t at = membership->find("0::");
  if (at == std::string::npos) return room;
  std::string group = membership->substr(at + 3, membership->find('\n', at) - at - 3);
  while (true) {
    const std::string base = "/sys/fs/cgroup" + group;
    const auto max = ReadSmallSystemFile((base + "/memory.max").c_str());
    const auto current = ReadSmallSystemFile((base + "/memory.current").c_str());
    const std::optional<uint64_t> limit = max ? ParseNumber(max->c_str()) : std::nullopt;
    const std::optional<uint64_t> use =
        current ? ParseNumber(current->c_str()) : std::nullopt;
    if (limit && use) room = std::min(room, Remaining(*limit, *use));
    if (group.empty() || group == "/") break;
    group.resize(group.rfind('/'));
  }
  return room;
}
#endif

// The process's mapped and data memory in bytes, as the kernel counts them against
// RLIMIT_AS and RLIMIT_DATA; zero where the system does not tell.
struct ProcessMemory {
  uint64_t mapped = 0;
  uint64_t data = 0;
};

ProcessMemory CurrentProcessMemory() {
  ProcessMemory memory;
#ifdef __linux__
  const std::optional<std::string> statm = ReadSmallSystemFile("/proc/self/statm");
  // Pages: size, resident, shared, text, library (unused), data and stack.
  unsigned long long pages[6] = {};
  if (statm && std::sscanf(statm->c_str(), "%llu %llu %llu %llu %llu %llu", &pages[0],
                           &pages[1], &pages[2], &pages[3], &pages[4], &pages[5]) == 6) {
    const uint64_t page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    memory.mapped = pages[0] * page;
    memory.data = pages[5] * page;
  }
#endif
  return memory;
}

// Six letters or digits for a temporary's name.
std::string RandomSuffix() {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string suffix(6, 'x');
  for (char& c : suffix) c = kAlphabet[random() % kAlphabet.size()];
  return suffix;
}

constexpr std::string_view kTemporaryMark = ".vantry-tmp-";

std::string TemporaryName(const std::string& target) {
  return target + std::string(kTemporaryMark) + RandomSuffix();
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the temporaries in `dir` whose writers are gone. A writer holds an exclusive
// lock on its temporary until it has been renamed, so a temporary that can be locked
// has no live writer; one that cannot (a grader writing now) is left alone.
void RemoveStaleTemporaries(int dir) {
  const int scan = OpenAt(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (scan < 0) return;
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(scan), &::closedir);
  if (!listing) {
    ::close(scan);
    return;
  }
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(listing.get())) {
    if (posix_io::IsTemporaryName(entry->d_name)) stale.emplace_back(entry->d_name);
  }
  for (const std::string& name : stale) {
    const FileDescriptor file(OpenAt(
        dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened, named;
    if (file.get() < 0 || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        ::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
      continue;
    }
    // Still the file that was locked under that name.
    if (::fstatat(dir, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        SameFile(opened, named)) {
      ::unlinkat(dir, name.c_str(), 0);
    }
  }
}

bool WriteBlocks(int fd, std::initializer_list<std::string_view> blocks) {
  for (std::string_view block : blocks) {
    if (!WriteAll(fd, block)) return false;
  }
  return ::fsync(fd) == 0;
}

// Puts the written temporary `temp` (a name in `dir`) at `target`: renamed over it, or
// linked only when nothing stands there. The temporary's name is gone afterwards.
bool PutInPlace(int dir, const std::string& temp, const std::string& target,
                ExistingFile existing) {
  bool ok;
  if (existing == ExistingFile::kKeep) {
    ok = ::linkat(dir, temp.c_str(), dir, target.c_str(), 0) == 0;
    ::unlinkat(dir, temp.c_str(), 0);
  } else {
    ok = ::renameat(dir, temp.c_str(), dir, target.c_str()) == 0;
    if (!ok) ::unlinkat(dir, temp.c_str(), 0);
  }
  return ok;
}

// Writes through an unnamed temporary that gets a name only once it is complete.
// nullopt when the system or the file system has none (the caller then writes through
// a named one).
std::optional<bool> WriteThroughUnnamed(int dir, const std::string& target,
                                        std::initializer_list<std::string_view> blocks,
                                        ExistingFile existing) {
#ifdef O_TMPFILE
  // The mode is applied less the umask, as for any new file.
  const FileDescriptor fd(OpenAt(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
  if (fd.get() < 0) return std::nullopt;
  // Held until the file has its final name, so no cleaner takes the interim name.
  ::flock(fd.get(), LOCK_EX);
  if (!WriteBlocks(fd.get(), blocks)) return false;
  const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
  const auto link_as = [&](const std::string& name) {
    return ::linkat(AT_FDCWD, self.c_str(), dir, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  };
  if (existing == ExistingFile::kKeep) {
    if (link_as(target)) return true;
    if (errno == EEXIST) return false;
    return std::nullopt;  // no /proc to link through
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temp = TemporaryName(target);
    if (link_as(temp)) return PutInPlace(dir, temp, target, existing);
    if (errno != EEXIST) return std::nullopt;
  }
  return false;
#else
  (void)dir;
  (void)target;
  (void)blocks;
  (void)existing;
  return std::nullopt;
#endif
}

// Makes "<target>.vantry-tmp-XXXXXX" in `dir`, locked from its creation until it has
// been put in place, lets `fill` write it (given its descriptor and its name; `fill`
// flushes what it wrote) and puts it in place. The temporary is removed when `fill`
// fails or throws.
bool WriteThroughNamed(int dir, const std::string& target, ExistingFile existing,
                       const std::function<bool(int fd, const std::string& temp)>& fill) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temp = TemporaryName(target);
    const FileDescriptor fd(OpenAt(
        dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    ::flock(fd.get(), LOCK_EX);
    // A cleaner may have taken the name between its creation and the lock.
    struct stat opened, named;
    if (::fstat(fd.get(), &opened) != 0 ||
        ::fstatat(dir, temp.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !SameFile(opened, named)) {
      continue;
    }
    bool filled = false;
    try {
      filled = fill(fd.get(), temp);
    } catch (...) {
      ::unlinkat(dir, temp.c_str(), 0);
      throw;
    }
    if (!filled) {
      ::unlinkat(dir, temp.c_str(), 0);
      return false;
    }
    return PutInPlace(dir, temp, target, existing);
  }
  return false;
}

// The folder of `path`, opened, with its writers' stale temporaries removed; `target`
// is set to the file's name. -1 when the path names no file or the folder cannot be
// opened.
int OpenFolderToWrite(const fs::path& path, std::string& target) {
  target = path.filename().string();
  if (target.empty() || target == "." || target == "..") return -1;
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const int dir = OpenAt(AT_FDCWD, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) RemoveStaleTemporaries(dir);
  return dir;
}

// Flushes the folder, so that the new name survives a power cut too and the old file
// cannot come back.
bool SyncFolder(int dir) { return ::fsync(dir) == 0 || errno == EINVAL; }

}  // namespace

namespace posix_io {

bool IsTemporaryName(std::string_view name) {
  if (name.size() < kTemporaryMark.size() + 7) return false;
  const std::string_view suffix = name.substr(name.size() - 6);
  const std::string_view mark =
      name.substr(name.size() - 6 - kTemporaryMark.size(), kTemporaryMark.size());
  return mark == kTemporaryMark && std::all_of(suffix.begin(), suffix.end(), [](char c) {
           return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                  (c >= '0' && c <= '9');
         });
}

bool WriteWholeFile(const fs::path& path, std::initializer_list<std::string_view> blocks,
                    ExistingFile existing, TemporaryFile temporary) {
  std::string target;
  const FileDescriptor dir(OpenFolderToWrite(path, target));
  if (dir.get() < 0) return false;
  std::optional<bool> written;
  if (temporary == TemporaryFile::kUnnamedWherePossible) {
    written = WriteThroughUnnamed(dir.get(), target, blocks, existing);
  }
  if (!written) {
    written = WriteThroughNamed(
        dir.get(), target, existing,
        [&](int fd, const std::string&) { return WriteBlocks(fd, blocks); });
  }
  return *written && SyncFolder(dir.get());
}

}  // namespace posix_io

Status WriteThroughTemporary(const fs::path& path,
                             const std::function<bool(const fs::path&)>& write) {
  std::string target;
  const FileDescriptor dir(OpenFolderToWrite(path, target));
  if (dir.get() < 0) return FailedWrite();
  // A folder there could never be replaced: do not write for nothing.
  struct stat standing;
  if (::fstatat(dir.get(), target.c_str(), &standing, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISDIR(standing.st_mode)) {
    return FailedWrite();
  }
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const bool written = WriteThroughNamed(
      dir.get(), target, ExistingFile::kReplace, [&](int, const std::string& temp) {
        if (!write(folder / temp)) return false;
        // The writer may have replaced the file by its name: flush what stands there.
        const FileDescriptor now(OpenAt(dir.get(), temp.c_str(),
                                        O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        return now.get() >= 0 && ::fsync(now.get()) == 0;
      });
  if (!written || !SyncFolder(dir.get())) return FailedWrite();
  return Status();
}

FileRead ReadWholeFileWithStatus(const fs::path& path, uint64_t max_bytes) {
  FileContents result;
  // Ends the read with `problem` (the size found stays).
  const auto failed = [&result](FileReadProblem problem) -> FileRead {
    return FailedRead(problem, result.size);
  };
  if (path.empty()) return FailedRead(FileReadProblem::kMissing);
  // Opened first and checked through the descriptor: a name swapped for a FIFO or a
  // device after a check by name could block the program or worse.
  const FileDescriptor fd(
      OpenAt(AT_FDCWD, path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) return FailedRead(ProblemOfFailedOpen(errno));
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) {
    return failed(FileReadProblem::kUnreadable);
  }
  if (!S_ISREG(info.st_mode)) {
    return failed(FileReadProblem::kNotRegularFile);
  }
  result.size = static_cast<uint64_t>(info.st_size);
  if (result.size > max_bytes || result.size > result.bytes.max_size() ||
      result.size > AvailableMemoryBytes()) {
    return failed(FileReadProblem::kTooLarge);
  }
  try {
    result.bytes.resize(static_cast<size_t>(result.size));
    const int64_t n = ReadInto(fd.get(), result.bytes.data(), result.bytes.size());
    if (n < 0) {
      return failed(FileReadProblem::kUnreadable);
    }
    result.bytes.resize(static_cast<size_t>(n));
    // Files that grew since, or that tell no size (some system files), read on.
    char chunk[1 << 16];
    while (static_cast<uint64_t>(n) == result.size) {
      const int64_t more = ReadInto(fd.get(), chunk, sizeof chunk);
      if (more < 0) {
        return failed(FileReadProblem::kUnreadable);
      }
      if (more == 0) break;
      result.bytes.append(chunk, static_cast<size_t>(more));
    }
  } catch (const std::bad_alloc&) {
    return failed(FileReadProblem::kTooLarge);
  } catch (const std::length_error&) {  // larger than a string may be
    return failed(FileReadProblem::kTooLarge);
  }
  return result;
}

uint64_t AvailableMemoryBytes() {
  uint64_t room = std::numeric_limits<uint64_t>::max();
  const ProcessMemory used = CurrentProcessMemory();
  struct rlimit limit;
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    room = std::min(room, Remaining(limit.rlim_cur, used.mapped));
  }
#ifdef RLIMIT_DATA
  if (::getrlimit(RLIMIT_DATA, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    room = std::min(room, Remaining(limit.rlim_cur, used.data));
  }
#endif
#ifdef __linux__
  if (const std::optional<std::string> meminfo = ReadSmallSystemFile("/proc/meminfo")) {
    const std::optional<uint64_t> available = FieldOf(*meminfo, "MemAvailable:");
    const std::optional<uint64_t> swap = FieldOf(*meminfo, "SwapFree:");
    if (available) room = std::min(room, (*available + swap.value_or(0)) * 1024);
  }
  room = std::min(room, ControlGroupRoom());
#endif
  return room;
}

Status WriteWholeFile(const fs::path& path,
                      std::initializer_list<std::string_view> blocks,
                      ExistingFile existing) {
  if (!posix_io::WriteWholeFile(path, blocks, existing,
                                posix_io::TemporaryFile::kUnnamedWherePossible)) {
    return FailedWrite();
  }
  return Status();
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
