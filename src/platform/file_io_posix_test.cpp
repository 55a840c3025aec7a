#include "platform/file_io_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <stdexcept>
#include <thread>

#include "testing/test_support.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;
using posix_io::TemporaryFile;
using testing::kAddressSanitizer;
using testing::TempDir;

// The problem a read found; nullopt when it read the file.
std::optional<FileReadProblem> ProblemOf(const FileRead& read) {
  if (read.ok()) return std::nullopt;
  return read.failure().problem;
}

// Reads `path` on a thread of its own; nullopt when the read has not ended after 10 s
// (it would block forever on a FIFO opened for reading without a writer). The thread
// is then released by opening `fifo` for writing.
std::optional<FileRead> ReadWithin10Seconds(const fs::path& path,
                                            const fs::path& fifo = {}) {
  auto done = std::make_shared<std::promise<FileRead>>();
  std::future<FileRead> result = done->get_future();
  std::thread([path, done] { done->set_value(ReadWholeFileWithStatus(path)); }).detach();
  if (result.wait_for(std::chrono::seconds(10)) == std::future_status::ready) {
    return result.get();
  }
  if (!fifo.empty()) ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  return std::nullopt;
}

TEST(PosixFileIoTest, ReadTellsWhatItFound) {
  TempDir dir;
  const fs::path fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(dir.File("gone"), dir.File("dangling"));
  const fs::path file = dir.Write("a.txt", std::string("x\0y", 3));
  struct Case {
    fs::path path;
    std::optional<FileReadProblem> problem;
    std::string bytes;
  } cases[] = {
      {file, std::nullopt, std::string("x\0y", 3)},
      {dir.Write("empty.txt", ""), std::nullopt, ""},
      {dir.File("missing.txt"), FileReadProblem::kMissing, ""},
      {dir.File("dangling"), FileReadProblem::kMissing, ""},
      {file / "below-a-file", FileReadProblem::kMissing, ""},
      {fs::path(), FileReadProblem::kMissing, ""},
      {dir.path(), FileReadProblem::kNotRegularFile, ""},
      {"/dev/null", FileReadProblem::kNotRegularFile, ""},
      {fifo, FileReadProblem::kNotRegularFile, ""},
  };
  for (const Case& c : cases) {
    const std::optional<FileRead> read = ReadWithin10Seconds(c.path, fifo);
    ASSERT_TRUE(read.has_value()) << c.path << " blocked";
    EXPECT_EQ(ProblemOf(*read), c.problem) << c.path;
    EXPECT_EQ(read->ok() ? read->value().bytes : "", c.bytes) << c.path;
    EXPECT_EQ(ReadWholeFile(c.path), c.bytes) << c.path;
  }
  EXPECT_EQ(ReadWholeFileWithStatus(file)->size, 3u);

  if (geteuid() != 0) {  // root reads files without read permission
    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(ProblemOf(ReadWholeFileWithStatus(file)), FileReadProblem::kUnreadable);
  }
}

// A name checked as a regular file and then opened could meanwhile have become a FIFO,
// and opening that would wait for a writer forever. The name is swapped between a file
// and a FIFO as fast as possible while it is read again and again.
TEST(PosixFileIoTest, NameSwappedForAFifoNeverBlocksTheRead) {
  TempDir dir;
  const fs::path name = dir.File("学生答题文本.txt");
  const fs::path file = dir.Write("file", "record");
  const fs::path fifo = dir.File("fifo");
  const fs::path next = dir.File("next");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::copy_file(file, name);
  std::atomic<bool> stop = false;
  std::thread swapper([&] {
    for (bool to_fifo = true; !stop; to_fifo = !to_fifo) {
      ::link((to_fifo ? fifo : file).c_str(), next.c_str());
      ::rename(next.c_str(), name.c_str());
    }
  });
  int files = 0, fifos = 0, others = 0;
  std::atomic<bool> reading_done = false;
  std::thread reader([&] {
    for (int i = 0; i < 20000; ++i) {
      const FileRead read = ReadWholeFileWithStatus(name);
      if (read.ok() && read->bytes == "record") {
        ++files;
      } else if (ProblemOf(read) == FileReadProblem::kNotRegularFile) {
        ++fifos;
      } else {
        ++others;
      }
    }
    reading_done = true;
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!reading_done && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const bool blocked = !reading_done;
  stop = true;
  swapper.join();
  // Release a reader stuck on the FIFO, so the test ends either way.
  while (!reading_done) {
    ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  reader.join();
  EXPECT_FALSE(blocked) << "a read blocked on the FIFO";
  EXPECT_EQ(others, 0);
  EXPECT_GT(files, 0);
  EXPECT_GT(fifos, 0);
}

TEST(PosixFileIoTest, FileLargerThanTheMemoryLeftIsRefusedBeforeReading) {
  const uint64_t available = AvailableMemoryBytes();
  ASSERT_GT(available, 0u);
  if (available > (uint64_t{1} << 46)) GTEST_SKIP() << "no memory limit is known here";
  TempDir dir;
  // Sparse: it takes no disk, but its size is more than all the memory there is.
  const fs::path file = dir.File("huge.txt");
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  const int sized = ::ftruncate(fd, static_cast<off_t>(available + (available >> 2) + 1));
  ::close(fd);
  if (sized != 0) GTEST_SKIP() << "the file system cannot hold a sparse file that large";
  const FileRead read = ReadWholeFileWithStatus(file);
  ASSERT_EQ(ProblemOf(read), FileReadProblem::kTooLarge);
  EXPECT_EQ(read.failure().size, available + (available >> 2) + 1);
}

// Under an address-space limit (ulimit -v), a file larger than what is left is refused
// instead of ending the process with an uncaught std::bad_alloc; smaller files still
// read. Runs in a child process, which takes the limit alone.
TEST(PosixFileIoTest, FileLargerThanTheAddressSpaceLimitIsRefused) {
  if (kAddressSanitizer) GTEST_SKIP() << "AddressSanitizer cannot run under ulimit -v";
  TempDir dir;
  const fs::path big = dir.File("big.txt");
  const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{512} << 20), 0);
  ::close(fd);
  const fs::path small = dir.Write("small.txt", std::string(1 << 20, 's'));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // What is mapped now plus 128 MiB: room for the small file, not for the big one.
    const uint64_t mapped = [] {
      std::ifstream statm("/proc/self/statm");
      uint64_t pages = 0;
      statm >> pages;
      return pages * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    }();
    const rlimit limit{mapped + (128u << 20), mapped + (128u << 20)};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(10);
    if (AvailableMemoryBytes() > (160u << 20)) ::_exit(11);
    if (ProblemOf(ReadWholeFileWithStatus(big)) != FileReadProblem::kTooLarge)
      ::_exit(12);
    if (ReadWholeFile(small).size() != (1u << 20)) ::_exit(13);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status))
      << "the reading process died of signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The temporaries of writers, named or unnamed, in `dir`.
std::vector<std::string> Temporaries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (posix_io::IsTemporaryName(name)) names.push_back(name);
  }
  return names;
}

class WriteTest : public ::testing::TestWithParam<TemporaryFile> {
 protected:
  bool Write(const fs::path& path, std::initializer_list<std::string_view> blocks,
             ExistingFile existing = ExistingFile::kReplace) {
    return posix_io::WriteWholeFile(path, blocks, existing, GetParam());
  }
};

TEST_P(WriteTest, ReplacesOrKeepsAndLeavesNoTemporaryFile) {
  TempDir dir;
  const auto file = dir.File("阅卷结果.txt");
  ASSERT_TRUE(Write(file, {"ab", "", "cd"}));
  EXPECT_EQ(ReadWholeFile(file), "abcd");
  ASSERT_TRUE(Write(file, {}));
  EXPECT_EQ(ReadWholeFile(file), "");
  const auto library = dir.File("SkinH_EL.dll");
  EXPECT_TRUE(Write(library, {"first"}, ExistingFile::kKeep));
  EXPECT_FALSE(Write(library, {"second"}, ExistingFile::kKeep));
  EXPECT_EQ(ReadWholeFile(library), "first");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
            2);
}

TEST_P(WriteTest, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  EXPECT_FALSE(Write(fs::path(), {"x"}));
  EXPECT_FALSE(Write(dir.path(), {"x"}));  // a directory is never replaced
  EXPECT_TRUE(fs::is_directory(dir.path()));
  const auto folder = dir.File("folder");
  fs::create_directory(folder);
  EXPECT_FALSE(Write(folder, {"x"}));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_FALSE(Write(dir.File("no/such/folder.txt"), {"x"}));
  EXPECT_TRUE(Temporaries(dir.path()).empty());

  const auto file = dir.Write("report.txt", "good");
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(Write(file, {"bad"}));
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(ReadWholeFile(file), "good");
}

// The new file is plain data, 0666 less the umask, whatever stood at its name: a
// set-user-ID program there lends it none of its bits, nor does the target of a
// symbolic link, which is left as it was.
TEST_P(WriteTest, NewFileIsPlainDataWhateverStoodAtItsName) {
  TempDir dir;
  const mode_t old_mask = ::umask(022);
  const auto program = dir.Write("program", "#!/bin/sh\n");
  fs::permissions(program, static_cast<fs::perms>(04755));
  const auto link = dir.File("阅卷结果20261208.txt");
  fs::create_symlink(program, link);
  const auto plain = dir.Write("plain.txt", "old");
  fs::permissions(plain, static_cast<fs::perms>(06777));

  const bool via_link = Write(link, {"report"});
  const bool over_plain = Write(plain, {"new"});
  const bool fresh = Write(dir.File("fresh.txt"), {"x"});
  ::umask(old_mask);
  ASSERT_TRUE(via_link && over_plain && fresh);
  for (const auto& path : {link, plain, dir.File("fresh.txt")}) {
    EXPECT_FALSE(fs::is_symlink(path)) << path;
    EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0644)) << path;
  }
  EXPECT_EQ(ReadWholeFile(link), "report");
  EXPECT_EQ(ReadWholeFile(program), "#!/bin/sh\n");
  EXPECT_EQ(fs::status(program).permissions(), static_cast<fs::perms>(04755));
}

// A writer killed halfway leaves at most a named temporary, which the next write into
// the folder removes; temporaries of writers still at work, and files that only look
// similar, stay.
TEST_P(WriteTest, TemporariesOfDeadWritersAreRemovedByTheNextWrite) {
  TempDir dir;
  const auto report = dir.File("阅卷结果20261208.txt");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A file size limit of 1 MiB: the kernel kills the writer (SIGXFSZ) in the middle
    // of its 2 MiB.
    const rlimit limit{1u << 20, 1u << 20};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string big(2u << 20, 'x');
    posix_io::WriteWholeFile(report, {big}, ExistingFile::kReplace, GetParam());
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ)
      << "the writer was not killed while writing";
  EXPECT_FALSE(PathExists(report));
  // A named temporary stays behind; an unnamed one goes with its writer.
  EXPECT_EQ(Temporaries(dir.path()).size(),
            GetParam() == TemporaryFile::kNamed ? 1u : 0u);

  // An older day's leftover, a temporary of a live writer (it holds the lock), and
  // names that are not temporaries.
  dir.Write("阅卷结果20261201.txt.vantry-tmp-Ab3dE9", "stale");
  const auto live = dir.Write("阅卷结果20261208.xlsx.vantry-tmp-LIVE01", "live");
  const int live_fd = ::open(live.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(live_fd, LOCK_EX), 0);
  const std::vector<std::string> kept = {"阅卷结果20261208.txt.backup",
                                         "阅卷结果20261208.txt.vantry-tmp-abc",
                                         ".vantry-tmp-abcdef", "notes.vantry-tmp-abc+ef"};
  for (const std::string& name : kept) dir.Write(name, "teacher's");

  ASSERT_TRUE(Write(report, {"report"}));
  ::close(live_fd);
  EXPECT_EQ(Temporaries(dir.path()),
            std::vector<std::string>({"阅卷结果20261208.xlsx.vantry-tmp-LIVE01"}))
      << "only the live writer's temporary is left";
  for (const std::string& name : kept) EXPECT_TRUE(PathExists(dir.File(name))) << name;
  EXPECT_EQ(ReadWholeFile(report), "report");
}

INSTANTIATE_TEST_SUITE_P(BothTemporaries, WriteTest,
                         ::testing::Values(TemporaryFile::kUnnamedWherePossible,
                                           TemporaryFile::kNamed),
                         [](const auto& info) {
                           return info.param == TemporaryFile::kNamed ? "Named"
                                                                      : "Unnamed";
                         });

int FileCount(const TempDir& dir) {
  return static_cast<int>(
      std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
}

TEST(PosixFileIoTest, WriteThroughTemporaryReplacesTheFileOnlyWhenTheWriterSucceeds) {
  TempDir dir;
  const fs::path target = dir.Write("成绩.xlsx", "old");
  fs::path seen;
  // The writer gets a fresh file beside the target, may replace it by name, and is
  // safe from the cleaner of a report written meanwhile.
  EXPECT_TRUE(WriteThroughTemporary(target, [&](const fs::path& temp) {
    seen = temp;
    EXPECT_EQ(temp.parent_path(), target.parent_path());
    EXPECT_TRUE(posix_io::IsTemporaryName(temp.filename().string())) << temp;
    EXPECT_TRUE(WriteWholeFile(dir.File("阅卷结果.txt"), {"report"}));
    EXPECT_TRUE(PathExists(temp));
    EXPECT_EQ(ReadWholeFile(target), "old");
    fs::remove(temp);
    std::ofstream(temp, std::ios::binary) << "new";
    return true;
  }));
  EXPECT_EQ(ReadWholeFile(target), "new");
  EXPECT_FALSE(PathExists(seen));
  EXPECT_EQ(FileCount(dir), 2);

  // A writer that fails, or throws, leaves the old file and no temporary.
  EXPECT_FALSE(WriteThroughTemporary(target, [](const fs::path& temp) {
    std::ofstream(temp, std::ios::binary) << "half";
    return false;
  }));
  EXPECT_THROW(WriteThroughTemporary(target,
                                     [](const fs::path& temp) -> bool {
                                       std::ofstream(temp, std::ios::binary) << "half";
                                       throw std::runtime_error("out of memory");
                                     }),
               std::runtime_error);
  EXPECT_EQ(ReadWholeFile(target), "new");
  EXPECT_EQ(FileCount(dir), 2);
}

TEST(PosixFileIoTest, WriteThroughTemporaryDoesNotWriteWhereNothingCanBePut) {
  TempDir dir;
  fs::create_directory(dir.File("folder.xlsx"));
  bool called = false;
  const auto writer = [&](const fs::path&) { return called = true; };
  EXPECT_FALSE(WriteThroughTemporary(dir.File("folder.xlsx"), writer));
  EXPECT_FALSE(WriteThroughTemporary(dir.File("missing/book.xlsx"), writer));
  EXPECT_FALSE(WriteThroughTemporary("", writer));
  EXPECT_FALSE(called);
  EXPECT_EQ(FileCount(dir), 1);
}

TEST(PosixFileIoTest, TemporaryNamesHaveOneExactPattern) {
  EXPECT_TRUE(posix_io::IsTemporaryName("a.vantry-tmp-Ab3dE9"));
  EXPECT_TRUE(posix_io::IsTemporaryName("阅卷结果20261208.txt.vantry-tmp-000000"));
  EXPECT_FALSE(posix_io::IsTemporaryName(".vantry-tmp-Ab3dE9"));
  EXPECT_FALSE(posix_io::IsTemporaryName("a.vantry-tmp-Ab3dE"));
  EXPECT_FALSE(posix_io::IsTemporaryName("a.vantry-tmp-Ab3dE9x"));
  EXPECT_FALSE(posix_io::IsTemporaryName("a.vantry-tmp-Ab3d.9"));
  EXPECT_FALSE(posix_io::IsTemporaryName("a.txt.Ab3dE9"));
}

}  // namespace
}  // namespace vantry
