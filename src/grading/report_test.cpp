#include "grading/report.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>

#include "platform/clock.h"
#include "platform/file_io.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::TempDir;

// A clock standing still at noon of the given day.
FixedClock DayClock(int year, int month, int day) {
  return FixedClock(LocalDateTime{.year = year, .month = month, .day = day, .hour = 12});
}

TEST(ReportLineTest, NameScoresTwoSpacesAndTotal) {
  GbkText report;
  AppendReportLine(report, Gbk("甲"), "5 3 "_gbk, 8);
  AppendReportLine(report, Gbk("乙"), ""_gbk, 0);
  AppendReportLine(report, Gbk("丙"), "-2 "_gbk, -2);
  EXPECT_EQ(report, Gbk("甲 5 3  8\r\n乙  0\r\n丙 -2  -2\r\n"));
}

TEST(WriteReportTest, WritesTheDatedFileWithoutTheLastLineBreak) {
  TempDir dir;
  GbkText report;
  AppendReportLine(report, Gbk("甲"), "5 3 "_gbk, 8);
  AppendReportLine(report, Gbk("乙"), "4 "_gbk, 4);
  const ReportResult result = WriteReport(report, dir.path(), DayClock(2026, 12, 8));
  EXPECT_TRUE(result.written);
  EXPECT_EQ(result.path, dir.File("阅卷结果20261208.txt"));
  EXPECT_EQ(result.file_name, Gbk("阅卷结果20261208.txt"));
  EXPECT_EQ(ReadWholeFile(result.path), Gbk("甲 5 3  8\r\n乙 4  4").bytes());
  EXPECT_EQ(ReportFileName(DayClock(2027, 3, 5)), Gbk("阅卷结果20270305.txt"));
}

TEST(WriteReportTest, BlankLinesInsideNamesAreRemoved) {
  TempDir dir;
  GbkText report;
  AppendReportLine(report, Gbk("丙\r\n\r\n  \r\n丁"), "1 "_gbk, 1);
  AppendReportLine(report, Gbk("戊\r\n己"), "2 "_gbk, 2);
  const ReportResult result = WriteReport(report, dir.path(), DayClock(2026, 12, 8));
  EXPECT_EQ(ReadWholeFile(result.path), Gbk("丙\r\n丁 1  1\r\n戊\r\n己 2  2").bytes());
}

TEST(WriteReportTest, ReplacesTheSameDaysFileAndAddsAnotherDays) {
  TempDir dir;
  GbkText first = Gbk("甲 5  5\r\n");
  ASSERT_TRUE(WriteReport(first, dir.path(), DayClock(2026, 12, 8)).written);
  GbkText second = Gbk("乙 3  3\r\n");
  ASSERT_TRUE(WriteReport(second, dir.path(), DayClock(2026, 12, 8)).written);
  EXPECT_EQ(GbkText(ReadWholeFile(dir.File("阅卷结果20261208.txt"))), Gbk("乙 3  3"));
  GbkText third = Gbk("丙 1  1\r\n");
  ASSERT_TRUE(WriteReport(third, dir.path(), DayClock(2026, 12, 9)).written);
  EXPECT_EQ(GbkText(ReadWholeFile(dir.File("阅卷结果20261208.txt"))), Gbk("乙 3  3"));
  EXPECT_EQ(GbkText(ReadWholeFile(dir.File("阅卷结果20261209.txt"))), Gbk("丙 1  1"));

  // A run without papers leaves an empty file under the day's name.
  GbkText none;
  EXPECT_TRUE(WriteReport(none, dir.path(), DayClock(2026, 12, 9)).written);
  EXPECT_TRUE(PathExists(dir.File("阅卷结果20261209.txt")));
  EXPECT_EQ(ReadWholeFile(dir.File("阅卷结果20261209.txt")), "");
}

TEST(WriteReportTest, FailureIsReportedAndLeavesWhatStoodThere) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("阅卷结果20261208.txt"));
  GbkText report = Gbk("甲 5  5\r\n");
  const ReportResult blocked = WriteReport(report, dir.path(), DayClock(2026, 12, 8));
  EXPECT_FALSE(blocked.written);
  EXPECT_EQ(blocked.file_name, Gbk("阅卷结果20261208.txt"));
  EXPECT_TRUE(std::filesystem::is_directory(blocked.path));

  GbkText again = Gbk("甲 5  5\r\n");
  EXPECT_FALSE(
      WriteReport(again, dir.File("no such folder"), DayClock(2026, 12, 8)).written);
}

ReportResult Saved() {
  return {.path = "/x/阅卷结果20261208.txt",
          .file_name = Gbk("阅卷结果20261208.txt"),
          .written = Status(),
          .dated = {},
          .replaced = {}};
}

// A run that started on 2025-12-08 at 08:00 and took `taken` milliseconds.
RunTimes Took(int64_t taken) {
  FixedClock clock(LocalDateTime{.year = 2025, .month = 12, .day = 8, .hour = 8});
  const LocalDateTime started = clock.Now();
  clock.Advance(std::chrono::milliseconds{taken});
  return {.started = started, .ended = clock.Now()};
}

TEST(SummaryTextTest, PapersSecondsAndAverage) {
  EXPECT_EQ(SummaryText(3, Took(1000), Saved()),
            Gbk("共有试卷：3 份\r\n批卷用时：1 秒\r\n平均每份用时：0.333 秒\r\n"
                "阅卷结果已保存在‘阅卷结果20261208.txt’！"));
  const auto average = [](int papers, int64_t taken) {
    const GbkText text = SummaryText(papers, Took(taken), Saved());
    const GbkText head = Gbk("平均每份用时：");
    const size_t at = text.find(head) + head.size();
    return text.substr(at, text.find(' ', at) - at);
  };
  EXPECT_EQ(average(2, 3000), "1.5"_gbk);
  EXPECT_EQ(average(2, 4000), "2"_gbk);
  EXPECT_EQ(average(3, 2000), "0.667"_gbk);
  // Whole seconds: 1999 ms is 1 second.
  EXPECT_NE(SummaryText(1, Took(1999), Saved()).find(Gbk("用时：1 秒")),
            std::string::npos);
}

TEST(SummaryTextTest, NoPapersAverageZero) {
  EXPECT_EQ(SummaryText(0, Took(1000), Saved()),
            Gbk("共有试卷：0 份\r\n批卷用时：1 秒\r\n平均每份用时：0 秒\r\n"
                "阅卷结果已保存在‘阅卷结果20261208.txt’！"));
}

TEST(SummaryTextTest, UnwrittenReportIsNotCalledSaved) {
  ReportResult failed = Saved();
  failed.written = Failure{"无法写入这个文件"};
  EXPECT_EQ(
      SummaryText(1, Took(1000), failed),
      Gbk("共有试卷：1 份\r\n批卷用时：1 秒\r\n平均每份用时：1 秒\r\n"
          "阅卷结果未能保存到‘阅卷结果20261208.txt’！请检查程序所在文件夹是否可写。"));
}

}  // namespace
}  // namespace vantry
