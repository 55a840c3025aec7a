// The workbook read back by openpyxl (check_workbook.py) for what the batch grader
// cannot produce: a class without papers, explanations over several sheets.
#include "export/workbook.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_io.h"
#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::TempDir;
using testing::TestClass;

// openpyxl reads the workbook on the build host. A Windows build's tests run under
// Wine, where the checker cannot be started with its exit status; there the test
// vantry_workbook_check reads the workbooks of vantry-grade.exe instead.
#ifdef _WIN32
#define SKIP_WITHOUT_CHECKER() \
  GTEST_SKIP() << "the workbook checker runs on the build host"
testing::CommandResult CheckWorkbook(const std::string&, const std::filesystem::path&,
                                     const std::string& = "") {
  return {};
}
#else
#define SKIP_WITHOUT_CHECKER()
// `more`: further arguments, already quoted for the shell.
testing::CommandResult CheckWorkbook(const std::string& mode,
                                     const std::filesystem::path& book,
                                     const std::string& more = "") {
  return testing::RunShellCommand(testing::ShellQuote(VANTRY_PYTHON) + " " +
                                  testing::ShellQuote(VANTRY_CHECK_WORKBOOK) + " " +
                                  mode + " " + testing::ShellQuote(book.string()) + " " +
                                  more);
}
#endif

TEST(WorkbookTest, AClassWithoutPapersHasEverySheetAndEmptyStatistics) {
  TempDir dir;
  const ProgramState state =
      testing::StateWithRules({Gbk("<关键词>甲</关键词>")}, {"5"_gbk});
  TestClass empty(state);
  const auto path = dir.File("阅卷结果20261208.xlsx");
  ASSERT_TRUE(WriteWorkbook(empty.graded(), ComputeClassStatistics(empty.graded(), state),
                            path, {}));
  SKIP_WITHOUT_CHECKER();
  const testing::CommandResult r = CheckWorkbook("--empty", path);
  EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
}

TEST(WorkbookTest, EverySheetThatGrowsContinuesOnFurtherSheets) {
  TempDir dir;
  const ProgramState state =
      testing::StateWithRules({Gbk("<关键词>甲</关键词>"), Gbk("<关键词>乙</关键词>")});
  TestClass c(state);
  for (int i = 0; i < 5; ++i) c.Add(std::to_string(i), Gbk("甲\t乙"));
  // 5 papers, 2 questions and 10 rows of explanations, 3 to a sheet under the
  // header; 分数段 and 阅卷信息 do not grow with the class.
  const auto path = dir.File("book.xlsx");
  ASSERT_TRUE(WriteWorkbook(c.graded(), ComputeClassStatistics(c.graded(), state), path,
                            {}, {.max_rows_per_sheet = 4}));
  SKIP_WITHOUT_CHECKER();
  const testing::CommandResult r = CheckWorkbook("--sheets", path);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "成绩 4\n成绩2 3\n需要复核 1\n小题分析 4\n小题分析2 4\n得分点 3\n分数段 1\n"
            "评分依据 4\n评分依据2 4\n评分依据3 4\n评分依据4 2\n阅卷信息 7\n");
}

TEST(WorkbookTest, MoreQuestionsThanColumnsStillGiveAWorkbook) {
  TempDir dir;
  const ProgramState state = testing::StateWithRules({Gbk("<关键词>甲</关键词>")});
  TestClass c(state);
  c.Add("a", Gbk("甲") + GbkText(16400, '\t') + "x"_gbk);  // 16,401 questions
  const auto path = dir.File("book.xlsx");
  ASSERT_TRUE(
      WriteWorkbook(c.graded(), ComputeClassStatistics(c.graded(), state), path, {}));
  SKIP_WITHOUT_CHECKER();
  const testing::CommandResult r = CheckWorkbook("--sheets", path);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  // 成绩: header, the paper, a gap and the note that the columns ran out.
  EXPECT_TRUE(r.out.starts_with("成绩 4\n需要复核 1\n小题分析 16407\n"))
      << r.out.substr(0, 80);
  EXPECT_NE(r.out.find("\n评分依据 16402\n"), std::string::npos);
}

TEST(WorkbookTest, AnAnswerLongerThanACellIsCutSayingWhereTheWholeOneIs) {
  TempDir dir;
  const ProgramState state = testing::StateWithRules({Gbk("<关键词>甲</关键词>")});
  TestClass c(state);
  GbkText answer;
  for (int i = 0; i < 33000; ++i) answer += Gbk("乙");
  c.Add("a", answer);
  const auto path = dir.File("book.xlsx");
  ASSERT_TRUE(
      WriteWorkbook(c.graded(), ComputeClassStatistics(c.graded(), state), path, {}));
  SKIP_WITHOUT_CHECKER();
  const testing::CommandResult r = CheckWorkbook("--cell", path, "评分依据 E2");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("乙乙乙"));
  EXPECT_TRUE(
      r.out.ends_with("乙……（答案共 33000 字，一格放不下，这里只列出前 32567 字；"
                      "全文见学生答题文本.txt 第 1 份试卷（a）的第 1 题）"))
      << r.out.substr(r.out.size() - 200);
}

TEST(WorkbookTest, NamesThatLookLikeExcelEscapesShowAsTheyStand) {
  TempDir dir;
  const ProgramState state = testing::StateWithRules({Gbk("<关键词>甲</关键词>")});
  TestClass c(state);
  // A control character is written as _x0001_: its underscore must not end "_x0041".
  const std::vector<std::string> names = {"_x0041_",   "_x00e9__x0042_", "a_x0041",
                                          "_xZZZZ_",   "__x0041__",      "_x005F_",
                                          "_x0041\x01"};
  for (const std::string& name : names) c.Add(name, Gbk("甲"));
  const auto path = dir.File("book.xlsx");
  ASSERT_TRUE(
      WriteWorkbook(c.graded(), ComputeClassStatistics(c.graded(), state), path, {}));
  SKIP_WITHOUT_CHECKER();
  const testing::CommandResult r = CheckWorkbook("--texts", path);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  for (const std::string& name : names) {
    EXPECT_NE(r.out.find("\n" + name + "\n"), std::string::npos) << name << "\n" << r.out;
  }
}

// The workbook records the moment it is given as its creation time, so the same run
// written again later gives the same bytes (the library's own clock made every
// workbook differ, whatever --jobs was).
TEST(WorkbookTest, TheSameRunGivesTheSameBytesLater) {
  TempDir dir;
  const ProgramState state = testing::StateWithRules({Gbk("<关键词>甲</关键词>")});
  TestClass c(state);
  c.Add("a", Gbk("甲")).Add("b", Gbk("乙"));
  const ClassStatistics stats = ComputeClassStatistics(c.graded(), state);
  const LocalDateTime dated{.year = 2026, .month = 12, .day = 8, .hour = 9, .minute = 30};
  ASSERT_TRUE(
      WriteWorkbook(c.graded(), stats, dir.File("a.xlsx"), {}, {.created = dated}));
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  ASSERT_TRUE(
      WriteWorkbook(c.graded(), stats, dir.File("b.xlsx"), {}, {.created = dated}));
  EXPECT_EQ(ReadWholeFile(dir.File("a.xlsx")), ReadWholeFile(dir.File("b.xlsx")));
}

}  // namespace
}  // namespace vantry
