// The analysis page against a hostile answer sheet: whatever one paper or the whole
// class holds, the page stays small enough for a browser to open, says what it left
// out and points to the workbook, which holds everything.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "exam_folder.h"
#include "platform/file_io.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;
using testing::Gbk;
using testing::Record;
using testing::TempDir;

// The page the grader leaves in `dir`.
std::string GradeAndReadPage(const TempDir& dir) {
  const testing::CommandResult r =
      testing::RunShellCommand("timeout 300 " + testing::GradeCommand(dir.path()));
  EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    if (entry.path().extension() == ".html") return ReadWholeFile(entry.path());
  }
  ADD_FAILURE() << "no page written";
  return {};
}

// One answer of 100,000 TABs among 31 papers made every row 100,000 cells wide: a
// 160 MB page no browser opened. The page now shows the first 100 questions.
TEST(HostilePageTest, OneAnswerOfAHundredThousandTabsLeavesAPageThatOpens) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk("<综合题><分值>10</分值><关键词>光合</关键词></综合题>"));
  std::string sheet;
  for (int i = 0; i < 30; ++i)
    sheet += Record(Gbk("学生") + GbkText(std::to_string(i)), Gbk("光合作用\t细胞"));
  sheet += Record(Gbk("捣乱"), Gbk("光合") + GbkText(100000, '\t') + "x"_gbk);
  dir.Write("学生答题文本.txt", sheet);
  const std::string page = GradeAndReadPage(dir);
  EXPECT_LT(page.size(), 2u << 20);
  EXPECT_NE(page.find("题目太多，这里只列出前 100 题的得分和说明"), std::string::npos);
  EXPECT_NE(page.find("共 100001 道题，本页只列出前 100 道"), std::string::npos);
}

// A class larger than a page lists (1,048,576 papers made a 154 MB page): the page
// summarises and points to the workbook.
TEST(HostilePageTest, AClassTooLargeToListIsSummarisedAndPointsToTheWorkbook) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk("<综合题><分值>10</分值><关键词>光合</关键词></综合题>"));
  std::string sheet;
  for (int i = 0; i < 20001; ++i)
    sheet += Record(GbkText(std::to_string(i)), Gbk("光合"));
  dir.Write("学生答题文本.txt", sheet);
  const std::string page = GradeAndReadPage(dir);
  EXPECT_LT(page.size(), 1u << 20);
  EXPECT_NE(page.find("这次有 20001 份试卷，逐个学生的成绩放不进这一页"),
            std::string::npos);
  EXPECT_NE(page.find("见成绩表“阅卷结果"), std::string::npos);
}

}  // namespace
}  // namespace vantry
