// file_io.h on Windows: wide-character names, replacing a report that another program
// holds open, leftovers of writers that died.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "testing/file_read_problem.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;
using testing::ProblemOf;
using testing::TempDir;

size_t FileCount(const fs::path& dir) {
  return static_cast<size_t>(
      std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(FileIoWindowsTest, ReadsAndWritesUnderChineseNames) {
  TempDir dir;
  const fs::path folder = dir.File("期末考试");
  fs::create_directory(folder);
  const fs::path report = PathInDirectory(folder, "阅卷结果20261208.txt");
  ASSERT_TRUE(WriteWholeFile(report, {"ab", "", std::string("c\0d", 3)}));
  EXPECT_EQ(ReadWholeFile(report), std::string("abc\0d", 5));
  EXPECT_EQ(PathToUtf8(report.filename()), "阅卷结果20261208.txt");
  ASSERT_TRUE(WriteWholeFile(report, {}));
  EXPECT_EQ(ProblemOf(ReadWholeFileWithStatus(report)), std::nullopt);
  EXPECT_EQ(ReadWholeFile(report), "");
  EXPECT_EQ(FileCount(folder), 1u);  // no temporary left

  EXPECT_EQ(ProblemOf(ReadWholeFileWithStatus(folder)), FileReadProblem::kNotRegularFile);
  EXPECT_EQ(ProblemOf(ReadWholeFileWithStatus(dir.File("无.txt"))),
            FileReadProblem::kMissing);
  EXPECT_FALSE(WriteWholeFile(folder, {"x"}));  // a folder is never replaced
  EXPECT_FALSE(WriteWholeFile(dir.File("无此文件夹/x.txt"), {"x"}));
}

TEST(FileIoWindowsTest, ReportHeldOpenWithoutDeleteSharingStaysWhole) {
  TempDir dir;
  const fs::path report = dir.Write("阅卷结果.txt", "good");
  // An editor or a virus scanner: others may read, nobody may delete or rename.
  HANDLE held = CreateFileW(report.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteWholeFile(report, {"bad"}));
  CloseHandle(held);
  EXPECT_EQ(ReadWholeFile(report), "good");
  EXPECT_EQ(FileCount(dir.path()), 1u);
  EXPECT_TRUE(WriteWholeFile(report, {"new"}));  // once it is let go
  EXPECT_EQ(ReadWholeFile(report), "new");
}

TEST(FileIoWindowsTest, KeepingAnExistingFileWritesOnlyWhereNothingStands) {
  TempDir dir;
  const fs::path file = dir.File("SkinH_EL.dll");
  EXPECT_TRUE(WriteWholeFile(file, {"first"}, ExistingFile::kKeep));
  EXPECT_FALSE(WriteWholeFile(file, {"second"}, ExistingFile::kKeep));
  EXPECT_EQ(ReadWholeFile(file), "first");
  EXPECT_EQ(FileCount(dir.path()), 1u);
}

TEST(FileIoWindowsTest, TemporariesOfDeadWritersAreRemovedByTheNextWrite) {
  TempDir dir;
  dir.Write("阅卷结果20261201.txt.vantry-tmp-Ab3dE9", "stale");
  // A writer still at work holds its temporary open without sharing.
  const fs::path live = dir.Write("阅卷结果20261208.xlsx.vantry-tmp-LIVE01", "live");
  HANDLE held =
      CreateFileW(live.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string kept[] = {"阅卷结果20261208.txt.backup",
                              "阅卷结果20261208.txt.vantry-tmp-abc", ".vantry-tmp-abcdef",
                              "notes.vantry-tmp-abc+ef"};
  for (const std::string& name : kept) dir.Write(name, "teacher's");

  ASSERT_TRUE(WriteWholeFile(dir.File("阅卷结果20261208.txt"), {"report"}));
  CloseHandle(held);
  EXPECT_FALSE(PathExists(dir.File("阅卷结果20261201.txt.vantry-tmp-Ab3dE9")));
  EXPECT_TRUE(PathExists(live));
  for (const std::string& name : kept) EXPECT_TRUE(PathExists(dir.File(name))) << name;
}

TEST(FileIoWindowsTest, TemporaryBeingWrittenByNameOutlivesTheCleanersOfOtherWrites) {
  TempDir dir;
  const fs::path book = dir.File("阅卷结果.xlsx");
  // A library writes the temporary by its name and closes it; the page is written
  // into the same folder meanwhile, and its write removes dead writers' temporaries.
  ASSERT_TRUE(WriteThroughTemporary(book, [&](const fs::path& temporary) {
    std::ofstream(temporary, std::ios::binary) << "PK";
    return WriteWholeFile(dir.File("阅卷分析.html"), {"<p>"}) && PathExists(temporary);
  }));
  EXPECT_EQ(ReadWholeFile(book), "PK");
  EXPECT_EQ(ReadWholeFile(dir.File("阅卷分析.html")), "<p>");
  EXPECT_EQ(FileCount(dir.path()), 2u);
}

TEST(FileIoWindowsTest, RunDirectoryIsTheProgramsFolderNotTheWorkingDirectory) {
  TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const fs::path run = RunDirectory();
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(run / "vantry_text_test.exe"));
  EXPECT_NE(run, dir.path());
}

}  // namespace
}  // namespace vantry
