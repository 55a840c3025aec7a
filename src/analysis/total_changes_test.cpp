#include "analysis/total_changes.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "grading/report.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

// A class with these names and one question each scoring the total.
GradedClass MakeClass(const std::vector<std::pair<std::string, int32_t>>& papers,
                      std::deque<GbkText>& names) {
  GradedClass graded;
  PaperRecord record;
  for (const auto& [name, total] : papers) {
    record.Clear();
    record.name = names.emplace_back(Gbk(name));
    record.has_answer = true;
    QuestionRecord& q = record.questions.emplace_back();
    q.question = 1;
    q.raw_score = q.shown_score = record.total = total;
    graded.Add(record);
  }
  return graded;
}

TEST(TotalChangesTest, ReadsTheOldReportFromTheEndOfEachLine) {
  std::deque<GbkText> names;
  // 张 3 is a name ending in a number; 丁 is on two papers; 戊 only in the old report;
  // 己's name was broken over two lines; 庚 stands on two lines of the old report.
  const GradedClass graded = MakeClass({{"甲", 8},
                                        {"乙 ", 5},
                                        {"张 3", 7},
                                        {"丁", 1},
                                        {"丁", 2},
                                        {"己\r\n己", 4},
                                        {"庚", 6},
                                        {"辛", 0}},
                                       names);
  const GbkText old = Gbk(
      "甲 5 3  8\r\n乙  2 0  2\r\n张 3 4 3  7\r\n丁 1  1\r\n戊 9  9\r\n己\r\n己 3  3\r\n"
      "庚 1  1\r\n庚 2  2\r\n辛  0");
  const TotalChanges changes = CompareWithReplacedReport(graded, old);
  EXPECT_EQ(changes.papers_matched, 5);  // 甲, 乙, 张 3, 己, 辛
  ASSERT_EQ(changes.changed.size(), 2u);
  EXPECT_EQ(changes.changed[0].paper, 1u);
  EXPECT_EQ(changes.changed[0].before, 2);
  EXPECT_EQ(changes.changed[0].after, 5);
  EXPECT_EQ(changes.changed[1].paper, 5u);
  EXPECT_EQ(changes.changed[1].before, 3);

  // Garbage and an empty report change nothing.
  EXPECT_TRUE(CompareWithReplacedReport(graded, ""_gbk).changed.empty());
  EXPECT_TRUE(
      CompareWithReplacedReport(graded, "\r\n  x\r\n 99999999999"_gbk).changed.empty());
}

TEST(TotalChangesTest, ReportLinesReadBackAsWritten) {
  PaperRecord record;
  GbkText report;
  const GbkText name = Gbk("张 3 2");
  record.name = name;
  for (int32_t score : {4, -1, 0}) {
    QuestionRecord& q = record.questions.emplace_back();
    q.shown_score = score;
    record.total += score;
  }
  AppendReportLine(report, record);
  AppendReportLine(report, Gbk("乙"), ""_gbk, 0);
  const auto totals =
      ReadReportTotals(report, [&](GbkView n) { return n == name || n == Gbk("乙"); });
  ASSERT_EQ(totals.size(), 2u);  // the empty line after the last is none
  EXPECT_EQ(totals[0].name, name);
  EXPECT_EQ(totals[0].total, 3);
  EXPECT_EQ(totals[1].name, Gbk("乙"));
  EXPECT_EQ(totals[1].total, 0);
}

}  // namespace
}  // namespace vantry
