#include "text/file_io.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <filesystem>

#include "testing/test_support.h"
#include "text/utf8_path.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(FileIoTest, ReadsWholeFilesAndNothingForMissingOnes) {
  TempDir dir;
  EXPECT_EQ(ReadWholeFile(dir.Write("a.txt", std::string("x\0y", 3))),
            std::string("x\0y", 3));
  EXPECT_EQ(ReadWholeFile(dir.Write("empty.txt", "")), "");
  EXPECT_EQ(ReadWholeFile(dir.File("missing.txt")), "");
  EXPECT_EQ(ReadWholeFile(dir.path()), "");
  EXPECT_EQ(ReadWholeFile(fs::path()), "");
}

TEST(FileIoTest, ReadsALargeFile) {
  TempDir dir;
  std::string big(100 << 20, 'z');
  big[12345678] = 'q';
  const auto file = dir.Write("big.txt", big);
  const std::string read = ReadWholeFile(file);
  EXPECT_EQ(read.size(), big.size());
  EXPECT_TRUE(read == big);
}

TEST(FileIoTest, WriteReplacesAndLeavesNoTemporaryFile) {
  TempDir dir;
  const auto file = dir.File("阅卷结果.txt");
  ASSERT_TRUE(WriteWholeFile(file, {"ab", "", "cd"}));
  EXPECT_EQ(ReadWholeFile(file), "abcd");
  ASSERT_TRUE(WriteWholeFile(file, {}));
  EXPECT_EQ(ReadWholeFile(file), "");
  EXPECT_TRUE(PathExists(file));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
            1);
}

TEST(FileIoTest, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  EXPECT_FALSE(WriteWholeFile(fs::path(), {"x"}));
  EXPECT_FALSE(WriteWholeFile(dir.path(), {"x"}));  // a directory is never replaced
  EXPECT_TRUE(fs::is_directory(dir.path()));
  EXPECT_FALSE(WriteWholeFile(dir.File("no/such/folder.txt"), {"x"}));

  const auto file = dir.Write("report.txt", "good");
#ifdef _WIN32
  // Another program holds the old report open without delete sharing (an editor, a
  // virus scanner): it can be neither replaced nor removed, and stays whole.
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteWholeFile(file, {"bad"}));
  CloseHandle(held);
  EXPECT_EQ(ReadWholeFile(file), "good");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
            1);  // no temporary file left behind
  EXPECT_TRUE(WriteWholeFile(file, {"new"}));
  EXPECT_EQ(ReadWholeFile(file), "new");
#else
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(WriteWholeFile(file, {"bad"}));
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(ReadWholeFile(file), "good");
#endif
}

TEST(FileIoTest, RunDirectoryIsTheProgramsFolderNotTheWorkingDirectory) {
  TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const fs::path run = RunDirectory();
  fs::current_path(before);
#ifdef _WIN32
  EXPECT_TRUE(fs::exists(run / "vantry_text_test.exe"));
#else
  EXPECT_TRUE(fs::exists(run / "vantry_text_test"));
#endif
  EXPECT_NE(run, dir.path());
  EXPECT_EQ(PathToUtf8(PathInDirectory(run, "参数设置.txt").filename()), "参数设置.txt");
}

}  // namespace
}  // namespace vantry
