#include "export/run_outputs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "grading/batch_run.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::TempDir;
using testing::TestClass;

class RunOutputsTest : public ::testing::Test {
 protected:
  RunOutputsTest()
      : state_(testing::StateWithRules(
            {Gbk("<关键词>光合</关键词><关键词>叶绿体</关键词>")}, {"10"_gbk})),
        class_(state_) {
    class_.Add(Gbk("甲"), Gbk("光合\t多余")).Add(Gbk("乙"), Gbk("叶绿体"));
    options_.directory = dir_.path();
  }

  // The summary lines of the outputs of the class (UTF-8); `failed` says whether
  // something was not done.
  std::vector<std::string> Run(const std::optional<GbkText>& replaced = std::nullopt,
                               bool* failed = nullptr) {
    return RunThrough(MakeRunOutputs(state_, options_), replaced, failed);
  }
  // The same through outputs made earlier.
  std::vector<std::string> RunThrough(
      const ExtraOutputs& outputs, const std::optional<GbkText>& replaced = std::nullopt,
      bool* failed = nullptr) {
    const LocalDateTime now = clock_.Now();
    const GbkText points = "2"_gbk, order;
    const OutputNotes notes = outputs({.graded = class_.graded(),
                                       .dated = now,
                                       .points_per_hit = points,
                                       .order_keys = order,
                                       .replaced_report = replaced});
    if (failed != nullptr) *failed = notes.failed;
    std::vector<std::string> lines;
    for (const GbkText& line : notes.lines) lines.push_back(GbkToUtf8(line));
    return lines;
  }

  TempDir dir_;
  FixedClock clock_{LocalDateTime{.year = 2027, .month = 3, .day = 5, .hour = 23}};
  ProgramState state_;
  TestClass class_;
  RunOutputOptions options_;
};

TEST_F(RunOutputsTest, WritesTheDatedWorkbookAndTheRecordAndExplains) {
  options_.json_path = dir_.File("记录.json");
  std::string explained;
  options_.explain = [&](std::string_view text) { explained += text; };
  // One line per file written, in order: the workbook, the page, the record.
  bool failed = true;
  EXPECT_EQ(Run(std::nullopt, &failed),
            (std::vector<std::string>{
                "成绩表已保存在‘阅卷结果20270305.xlsx’！",
                "分析页已保存在‘阅卷分析20270305.html’！",
                "JSON 记录已保存在‘" + options_.json_path.string() + "’！"}));
  EXPECT_FALSE(failed);
  EXPECT_TRUE(ReadWholeFile(dir_.File("阅卷结果20270305.xlsx")).starts_with("PK"));
  EXPECT_TRUE(ReadWholeFile(dir_.File("记录.json")).starts_with("{\"format\":"));
  // Each question's explanation, then its answer.
  EXPECT_EQ(explained,
            "甲  总分 2，名次 1\n"
            "  第1题 2分（满分10）：得分点1「光合」+2；未命中得分点2「叶绿体」\n"
            "    答案：光合\n"
            "  第2题 0分（未设满分）：参数设置里没有这道题的评分规则，记 0 分\n"
            "    答案：多余\n"
            "乙  总分 2，名次 1\n"
            "  第1题 2分（满分10）：得分点2「叶绿体」+2；未命中得分点1「光合」\n"
            "    答案：叶绿体\n"
            "  第2题 0分（未设满分）：未作答，记 0 分\n");

  options_.workbook = false;
  options_.page = false;
  options_.json_path.clear();
  std::filesystem::remove(dir_.File("阅卷结果20270305.xlsx"));
  EXPECT_TRUE(Run().empty());
  EXPECT_FALSE(PathExists(dir_.File("阅卷结果20270305.xlsx")));
}

TEST_F(RunOutputsTest, WhatTheTeacherChangedIsKeptAndTheRegradeSaysWhoseTotalsChanged) {
  options_.page = false;
  EXPECT_EQ(Run().at(0), "成绩表已保存在‘阅卷结果20270305.xlsx’！");
  // The program's own workbook is replaced…
  EXPECT_EQ(Run().at(0), "成绩表已保存在‘阅卷结果20270305.xlsx’！");
  // …one saved again by Excel is kept, the new one written beside it.
  dir_.Write("阅卷结果20270305.xlsx", "notes the teacher typed");
  bool failed = true;
  EXPECT_EQ(Run(std::nullopt, &failed).at(0),
            "‘阅卷结果20270305.xlsx’在程序写出后被改动过，已保留；新的成绩表保存在"
            "‘阅卷结果20270305(2).xlsx’！");
  EXPECT_FALSE(failed);
  EXPECT_EQ(ReadWholeFile(dir_.File("阅卷结果20270305.xlsx")), "notes the teacher typed");
  EXPECT_TRUE(ReadWholeFile(dir_.File("阅卷结果20270305(2).xlsx")).starts_with("PK"));

  // The report this run replaced had 甲 at 5 and 乙 at 2: one total changed.
  options_.workbook = false;
  EXPECT_EQ(
      Run(Gbk("甲 5 0  5\r\n乙 2  2")),
      (std::vector<std::string>{"与今天早先的结果相比，1 名学生的总分变了：甲 5 → 2"}));
  EXPECT_EQ(Run(Gbk("甲 2 0  2\r\n乙 2  2")),
            (std::vector<std::string>{"与今天早先的结果相比，总分都没有变化。"}));
  EXPECT_TRUE(Run(Gbk("别人 2  2")).empty());
}

TEST_F(RunOutputsTest, EachOutputNotWrittenIsOneLineAndTheOthersAreStillWritten) {
  std::filesystem::create_directory(dir_.File("阅卷结果20270305.xlsx"));
  options_.json_path = dir_.File("missing/记录.json");
  bool failed = false;
  EXPECT_EQ(Run(std::nullopt, &failed),
            (std::vector<std::string>{
                "成绩表未能保存到‘阅卷结果20270305.xlsx’！（这个名字已被一个文件夹占用）",
                "分析页已保存在‘阅卷分析20270305.html’！",
                "JSON 记录未能保存到‘" + options_.json_path.string() + "’！"}));
  EXPECT_TRUE(failed);

  options_.json_path = dir_.File("记录.json");
  EXPECT_EQ(Run(std::nullopt, &failed).size(), 3u);
  EXPECT_TRUE(failed);
  EXPECT_TRUE(PathExists(dir_.File("记录.json")));
}

TEST_F(RunOutputsTest, PageCheckedAgainstTheMarksGivenOrLyingBeside) {
  const std::string page = "阅卷分析20270305.html";
  // The page is written when it is the only output asked for.
  options_.workbook = false;
  EXPECT_EQ(Run(), (std::vector<std::string>{"分析页已保存在‘" + page + "’！"}));
  EXPECT_FALSE(PathExists(dir_.File("阅卷结果20270305.xlsx")));
  EXPECT_EQ(ReadWholeFile(dir_.File(page)).find("id=\"check\""), std::string::npos);

  // A sheet beside the exam that cannot be used: one line, and the page names it.
  dir_.Write("教师评分.csv", Gbk("姓名,第1题\r\n甲,x\r\n"));
  bool failed = false;
  EXPECT_EQ(Run(std::nullopt, &failed),
            (std::vector<std::string>{"分析页已保存在‘" + page + "’！",
                                      "教师评分.csv 第2行：第1题的“x”不是整数或半分（如 "
                                      "6 或 6.5）；没有与教师评分核对"}));
  EXPECT_TRUE(failed);
  EXPECT_NE(
      ReadWholeFile(dir_.File(page)).find("第1题的“x”不是整数或半分（如 6 或 6.5）"),
      std::string::npos);

  // Marks given read first win over the sheet beside; the check is also told as text.
  std::string told;
  options_.marks =
      TeacherMarksSheet{"给定.csv", ParseTeacherMarks("姓名,第1题\n甲,2\n乙,0\n")};
  options_.check_report = [&told](std::string_view text) { told = text; };
  options_.page = false;
  std::filesystem::remove(dir_.File(page));
  // The check's one-line verdict closes the summary.
  EXPECT_EQ(Run(),
            (std::vector<std::string>{
                "与教师评分核对：规则平均比您多给 1.0 分；2 份中 1 份相差超过 1 分，"
                "等级都相同；r = —，加权 kappa = 0.00（按 0–2 分计）。结论：需要修改"
                "关键词；只比对了 2 份，仅供参考"}));
  EXPECT_TRUE(told.starts_with("与教师评分核对（给定.csv）：比对 2 份试卷\n")) << told;
  EXPECT_FALSE(PathExists(dir_.File(page)));
}

// The sheet beside the exam is read when the outputs are made, before the run takes its
// first clock reading: however long a large sheet takes to read, that time is not
// counted as grading time. A sheet changed during the run is not seen.
TEST_F(RunOutputsTest, SheetBesideTheExamIsReadBeforeTheRun) {
  options_.workbook = false;
  dir_.Write("教师评分.csv", Gbk("姓名,第1题\r\n甲,x\r\n"));
  ExtraOutputs outputs = MakeRunOutputs(state_, options_);
  dir_.Write("教师评分.csv", Gbk("姓名,第1题\r\n甲,2\r\n"));
  EXPECT_EQ(RunThrough(outputs),
            (std::vector<std::string>{"分析页已保存在‘阅卷分析20270305.html’！",
                                      "教师评分.csv 第2行：第1题的“x”不是整数或半分（如 "
                                      "6 或 6.5）；没有与教师评分核对"}));
}

// A clock a day later at every reading: a run crosses midnight between any two steps.
class DayPerReadingClock : public Clock {
 public:
  LocalDateTime Now() const override {
    const LocalDateTime now = clock_.Now();
    clock_.Advance(std::chrono::hours{24});
    return now;
  }

 private:
  mutable FixedClock clock_{LocalDateTime{.year = 2027, .month = 2, .day = 27}};
};

TEST_F(RunOutputsTest, EveryOutputOfARunAcrossMidnightCarriesTheReportsDate) {
  dir_.Write("学生答题文本.txt",
             Gbk("<姓名>\t甲\t</姓名>\r\n<答题文本>\t光合\t</答题文本>\r\n"));
  const DayPerReadingClock clock;
  BatchOptions batch;
  batch.directory = dir_.path();
  batch.clock = &clock;
  batch.extra_outputs = MakeRunOutputs(state_, options_);
  const RunOutcome outcome = GradeBatch(state_, batch);
  ASSERT_TRUE(outcome.report.written);
  // 阅卷结果yyyyMMdd.txt: the day the report was named for.
  const std::string report = GbkToUtf8(outcome.report.file_name);
  const std::string date = report.substr(report.size() - 12, 8);
  EXPECT_TRUE(PathExists(dir_.File("阅卷结果" + date + ".xlsx"))) << report;
  const std::string shown_date = "2027年" + std::to_string(std::stoi(date.substr(4, 2))) +
                                 "月" + std::to_string(std::stoi(date.substr(6, 2))) +
                                 "日";
  EXPECT_NE(ReadWholeFile(dir_.File("阅卷分析" + date + ".html")).find(shown_date),
            std::string::npos)
      << report;
}

}  // namespace
}  // namespace vantry
