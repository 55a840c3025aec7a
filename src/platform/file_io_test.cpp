#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "testing/file_read_problem.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;
using testing::ProblemOf;
using testing::TempDir;

TEST(FileIoTest, ReadTellsMissingFolderAndFileApart) {
  TempDir dir;
  const fs::path file = dir.Write("a.txt", std::string("x\0y", 3));
  const FileRead read = ReadWholeFileWithStatus(file);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->bytes, std::string("x\0y", 3));
  EXPECT_EQ(read->size, 3u);
  EXPECT_EQ(ProblemOf(ReadWholeFileWithStatus(dir.Write("empty.txt", ""))), std::nullopt);
  EXPECT_EQ(ProblemOf(ReadWholeFileWithStatus(dir.File("missing.txt"))),
            FileReadProblem::kMissing);
  EXPECT_EQ(ProblemOf(ReadWholeFileWithStatus(fs::path())), FileReadProblem::kMissing);
  EXPECT_EQ(ProblemOf(ReadWholeFileWithStatus(dir.path())),
            FileReadProblem::kNotRegularFile);
  EXPECT_EQ(ReadWholeFile(dir.path()), "");
  EXPECT_EQ(ReadWholeFile(dir.File("missing.txt")), "");
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
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
            1);
  EXPECT_FALSE(WriteWholeFile(fs::path(), {"x"}));
  EXPECT_FALSE(WriteWholeFile(dir.path(), {"x"}));  // a directory is never replaced
  EXPECT_TRUE(fs::is_directory(dir.path()));
  EXPECT_FALSE(WriteWholeFile(dir.File("no/such/folder.txt"), {"x"}));
}

TEST(FileIoTest, KeepingAnExistingFileWritesOnlyWhereNothingStands) {
  TempDir dir;
  const auto file = dir.File("SkinH_EL.dll");
  EXPECT_TRUE(WriteWholeFile(file, {"first"}, ExistingFile::kKeep));
  EXPECT_FALSE(WriteWholeFile(file, {"second"}, ExistingFile::kKeep));
  EXPECT_EQ(ReadWholeFile(file), "first");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
            1);
}

TEST(FileIoTest, RunDirectoryIsTheProgramsFolderNotTheWorkingDirectory) {
  TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const fs::path run = RunDirectory();
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(run / fs::path("vantry_text_test")));
  EXPECT_NE(run, dir.path());
  EXPECT_EQ(PathInDirectory(run, "参数设置.txt").filename().string(), "参数设置.txt");
}

}  // namespace
}  // namespace vantry
