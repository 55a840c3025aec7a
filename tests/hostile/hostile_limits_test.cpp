// vantry-grade at the limits a hostile file or a hostile moment reaches: fields that
// nest into each other, texts past 2 GiB, files larger than memory, names swapped for
// FIFOs, keywords built to make a naive search quadratic, a grader killed while it
// writes. Every paper is graded or a clear message says why not; nothing aborts,
// hangs or leaves litter.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "exam_folder.h"
#include "platform/file_io.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using testing::Gbk;
using testing::GradeCommand;
using testing::Record;
using testing::ReportName;
using testing::ShellQuote;
using testing::TempDir;

// Runs the grader in `dir`, given up after `seconds` (exit code 124 then).
CommandResult Grade(const fs::path& dir, int seconds = 300) {
  return testing::RunShellCommand(
      "timeout " + std::to_string(seconds) + " " + GradeCommand(dir), dir);
}

// The last CRLF-separated line of a report's bytes.
GbkText LastLine(std::string_view report) {
  const size_t at = report.rfind("\r\n");
  return GbkText(at == std::string_view::npos ? report : report.substr(at + 2));
}

const char kParameters[] = "<综合题><分值>10</分值><关键词>光合</关键词></综合题>";

// Name end tags without their TAB: every name runs on to the one end tag of the last
// record, so the names nest into each other and hold 97 MiB together (more than the
// four times the sheet plus 64 MiB that once ended the collection early). Every paper
// is graded.
TEST(HostileLimitsTest, NamesNestedIntoEachOtherAreAllGraded) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(kParameters));
  constexpr int kRecords = 2000;
  std::string sheet;
  for (int i = 0; i < kRecords; ++i) {
    const GbkText end = i + 1 < kRecords ? Gbk("</姓名>") : Gbk("\t</姓名>");
    sheet += (Gbk("<姓名>\t学生") + GbkText(std::to_string(1000 + i)) + end +
              Gbk("<答题文本>\t光合\t</答题文本>\r\n"))
                 .bytes();
  }
  dir.Write("学生答题文本.txt", sheet);
  const CommandResult r = Grade(dir.path());
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("共有试卷：" + std::to_string(kRecords) + " 份"),
            std::string::npos)
      << r.out;
  const std::string report = ReadWholeFile(dir.File(ReportName()));
  EXPECT_GT(report.size(), 4 * sheet.size() + (64u << 20));
  EXPECT_EQ(LastLine(report), Gbk("学生2999 2  2"));
}

// 4,101 keyword start tags nested before the group that scores: the groups are views
// into the rule, so the last one is still seen and the answer gets its 2 points.
TEST(HostileLimitsTest, NestedKeywordGroupsKeepTheGroupThatScores) {
  TempDir dir;
  std::string rule = "<综合题><分值>10</分值>";
  for (int i = 0; i < 4101; ++i) rule += "<关键词>";
  rule += "不会出现</关键词><关键词>光合</关键词></综合题>";
  dir.Write("参数设置.txt", Gbk(rule));
  dir.Write("学生答题文本.txt", Record(Gbk("甲"), Gbk("光合作用")));
  const CommandResult r = Grade(dir.path());
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(GbkText(ReadWholeFile(dir.File(ReportName()))), Gbk("甲 2  2"));
}

// 300,000 stacked name start tags and as many answers: the counts agree, but every
// name runs to the one end tag, 315 GB of names together, more than any report could
// hold. The run does not start, says where the names run on, and writes nothing.
TEST(HostileLimitsTest, NamesTooLongForMemoryAreRefusedWithAMessage) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(kParameters));
  dir.Write(ReportName(), "earlier report");
  constexpr int kRecords = 300000;
  std::string sheet = "\r\n";
  for (int i = 0; i < kRecords; ++i) sheet += Gbk("<姓名>\t").bytes();
  sheet += Gbk("甲\t</姓名>").bytes();
  for (int i = 0; i < kRecords; ++i)
    sheet += Gbk("<答题文本>\t光合\t</答题文本>").bytes();
  dir.Write("学生答题文本.txt", sheet);
  const CommandResult r = Grade(dir.path(), 120);
  EXPECT_EQ(r.exit_code, 3) << r.err;
  EXPECT_NE(r.err.find("300000 个姓名合计"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("在第 2 行"), std::string::npos) << r.err;
  EXPECT_EQ(ReadWholeFile(dir.File(ReportName())), "earlier report");
}

// A sheet of two records, the second starting beyond 2 GiB: both are graded. Made on
// disk (a NUL would end the sheet, so the gap is spaces, not a hole).
TEST(HostileLimitsTest, SheetPastTwoGibGradesEveryRecord) {
  TempDir dir;
  constexpr uint64_t kGap = (uint64_t{1} << 31) + (1 << 20);
  const uint64_t disk = fs::space(dir.path()).available;
  const uint64_t memory = AvailableMemoryBytes();
  if (disk < kGap + (uint64_t{1} << 30) || memory < 2 * kGap + (uint64_t{1} << 30)) {
    GTEST_SKIP() << "needs 3 GiB of free disk and 5 GiB of free memory; here "
                 << (disk >> 20) << " MiB of disk, " << (memory >> 20)
                 << " MiB of memory";
  }
  dir.Write("参数设置.txt", Gbk(kParameters));
  {
    std::ofstream sheet(dir.File("学生答题文本.txt"), std::ios::binary);
    sheet << Record(Gbk("甲"), Gbk("光合"));
    const std::string spaces(1 << 20, ' ');
    for (uint64_t written = 0; written < kGap; written += spaces.size()) sheet << spaces;
    sheet << Record(Gbk("乙"), Gbk("光合作用"));
    ASSERT_TRUE(sheet.good());
  }
  const CommandResult r = Grade(dir.path());
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("共有试卷：2 份"), std::string::npos) << r.out;
  EXPECT_EQ(GbkText(ReadWholeFile(dir.File(ReportName()))), Gbk("甲 2  2\r\n乙 2  2"));
}

// A FIFO with no writer where an exam file belongs: opened without blocking and
// recognised as no file, so the run ends.
TEST(HostileLimitsTest, FifoInPlaceOfAnExamFileNeverBlocks) {
  for (const char* fifo : {"学生答题文本.txt", "参数设置.txt"}) {
    TempDir dir;
    dir.Write("参数设置.txt", Gbk(kParameters));
    dir.Write("学生答题文本.txt", Record(Gbk("甲"), Gbk("光合")));
    fs::remove(dir.File(fifo));
    ASSERT_EQ(::mkfifo(dir.File(fifo).c_str(), 0600), 0);
    const CommandResult r = Grade(dir.path(), 30);
    EXPECT_NE(r.exit_code, 124) << fifo << ": the grader blocked on the FIFO";
    EXPECT_GE(r.exit_code, 0) << fifo << ": the grader died";
  }
}

// A keyword "a…ab" of 200,000 bytes against answers of 400,000 "a": a search that
// compares the whole keyword at every position where its first bytes match takes
// seconds per paper (minutes for the sheet); a linear one grades the 50 papers at once.
TEST(HostileLimitsTest, LongKeywordAgainstLongAnswersIsGradedPromptly) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk("<综合题><分值>10</分值><关键词>") +
                                GbkText(199999, 'a') + "b"_gbk +
                                Gbk("</关键词><关键词>aa</关键词></综合题>"));
  std::string sheet;
  for (int i = 0; i < 50; ++i) {
    sheet += Record(GbkText("s" + std::to_string(i)), GbkText(400000, 'a'));
  }
  dir.Write("学生答题文本.txt", sheet);
  const CommandResult r = Grade(dir.path(), 60);
  ASSERT_EQ(r.exit_code, 0) << (r.exit_code == 124 ? "not done in 60 s" : r.err);
  EXPECT_EQ(LastLine(ReadWholeFile(dir.File(ReportName()))), "s49 2  2"_gbk);
}

// A grader killed while it writes the report (here by a file size limit, SIGXFSZ)
// leaves the earlier report whole, and after the next run no temporary file is left,
// not even one an older grader left on another day. Today's report name was a symbolic
// link to a set-user-ID program: the new report is a plain file of mode 0666 less the
// umask, and the program is untouched.
TEST(HostileLimitsTest, KilledGraderLeavesNoLitterAndTheReportIsPlainData) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(kParameters));
  std::string sheet;
  for (int i = 0; i < 2000; ++i)
    sheet += Record(GbkText("s" + std::to_string(i)), Gbk("光合"));
  dir.Write("学生答题文本.txt", sheet);
  const fs::path program = dir.Write("program", "#!/bin/sh\n");
  fs::permissions(program, static_cast<fs::perms>(04755));
  fs::create_symlink(program, dir.File(ReportName()));
  dir.Write("阅卷结果20240101.txt.vantry-tmp-Zx81Qa", "left by a grader killed then");

  const CommandResult killed = testing::RunShellCommand(
      "ulimit -f 8; exec " + GradeCommand(dir.path()), dir.path());
  EXPECT_EQ(killed.exit_code, 128 + SIGXFSZ)
      << "not killed while writing: " << killed.err;
  EXPECT_TRUE(fs::is_symlink(dir.File(ReportName())));
  EXPECT_EQ(ReadWholeFile(program), "#!/bin/sh\n");

  const CommandResult r =
      testing::RunShellCommand("umask 022; " + GradeCommand(dir.path()), dir.path());
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // Only the exam, the program and the run's outputs (report, workbook, page, record).
  const std::regex output("(阅卷结果|阅卷分析)[0-9]{8}\\.(txt|xlsx|html|json)");
  const std::set<std::string> exam = {"参数设置.txt", "学生答题文本.txt", "program"};
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(exam.count(name) == 1 || std::regex_match(name, output))
        << name << " is left behind";
  }
  const fs::path report = dir.File(ReportName());
  ASSERT_FALSE(fs::is_symlink(report));
  EXPECT_EQ(fs::status(report).permissions(), static_cast<fs::perms>(0644));
  EXPECT_EQ(LastLine(ReadWholeFile(report)), "s1999 2  2"_gbk);
  EXPECT_EQ(ReadWholeFile(program), "#!/bin/sh\n");
  EXPECT_EQ(fs::status(program).permissions(), static_cast<fs::perms>(04755));
}

}  // namespace
}  // namespace vantry
