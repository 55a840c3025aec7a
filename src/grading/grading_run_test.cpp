#include "grading/grading_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/control_names.h"
#include "controls/in_memory_controls.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "platform/message_pump.h"
#include "testing/rule_texts.h"
#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using ::testing::IsEmpty;
using testing::TempDir;
using Event = InMemoryControls::Event;

// Writes an answer sheet of (name, answer) records, given in UTF-8.
void WriteSheet(
    const TempDir& dir,
    std::initializer_list<std::pair<std::string_view, std::string_view>> papers) {
  std::string utf8 = "期中考试\r\n";
  for (const auto& [name, answer] : papers) {
    utf8 += "<姓名>\t" + std::string(name) + "\t</姓名>\r\n";
    utf8 += "<答题文本>\t" + std::string(answer) + "\t</答题文本>\r\n";
  }
  dir.Write("学生答题文本.txt", Gbk(utf8));
}

// Rules with the given keyword groups per question and the given maxima.
ProgramState Rules(std::initializer_list<std::vector<std::string_view>> questions,
                   std::initializer_list<std::string_view> maxima) {
  std::vector<GbkText> rules;
  for (const auto& groups : questions) {
    std::string rule;
    for (std::string_view g : groups) rule += "<关键词>" + std::string(g) + "</关键词>";
    rules.push_back(Gbk(rule));
  }
  std::vector<GbkText> gbk_maxima;
  for (std::string_view m : maxima) gbk_maxima.push_back(Gbk(m));
  return testing::StateWithRules(rules, gbk_maxima);
}

struct Harness {
  TempDir dir;
  InMemoryControls controls;
  FixedClock clock{LocalDateTime{.year = 2026, .month = 12, .day = 8, .hour = 9}};
  RunOutcome outcome;
  std::vector<std::pair<int64_t, int64_t>> progress;

  void Grade(const ProgramState& state) {
    GradingOptions options;
    options.directory = dir.path();
    options.pause_ms = 0;
    options.clock = &clock;
    options.on_progress = [this](int64_t graded, int64_t total) {
      progress.emplace_back(graded, total);
    };
    outcome = RunGrading(state, controls, options);
  }
  GbkText Text(std::string_view name) { return controls.GetControlText(name); }
  GbkText Report() const {
    return GbkText(ReadWholeFile(dir.File("阅卷结果20261208.txt")));
  }
  // The writes to one control, in order.
  std::vector<std::string> Writes(std::string_view name) const {
    std::vector<std::string> texts;
    for (const Event& e : controls.events()) {
      if (e.name == name && e.kind != "get")
        texts.push_back(e.kind + ":" + e.text.bytes());
    }
    return texts;
  }
};

const std::string kRule = "小题=========================================\r\n";

TEST(RunGradingTest, ShowsEachStepInOrder) {
  Harness run;
  WriteSheet(run.dir, {{"王小明", "光合作用在叶绿体中进行\t细胞膜"}});
  const ProgramState state = Rules({{"光合作用", "叶绿体"}, {"细胞膜"}}, {"10", "6"});
  run.controls.set_recording(true);
  run.Grade(state);

  std::vector<Event> writes;
  for (const Event& e : run.controls.events()) {
    if (e.kind != "get") writes.push_back(e);
  }
  const std::string answer(controls::kStudentAnswer), points(controls::kMatchedPoints),
      name(controls::kStudentName), score(controls::kScore);
  EXPECT_THAT(
      writes,
      ElementsAre(
          Event{"set", std::string(controls::kGradeButton), Gbk("正在进行")},
          Event{"set", std::string(controls::kRemaining), "1"_gbk},
          Event{"set", points, ""_gbk}, Event{"set", answer, ""_gbk},
          Event{"set", name, ""_gbk}, Event{"set", score, ""_gbk},
          Event{"set", name, Gbk("王小明")},
          Event{"append", answer, Gbk("第1" + kRule + "光合作用在叶绿体中进行\r\n\r\n")},
          Event{"append", points, Gbk("第 1 题得分：4 分\r\n")},
          Event{"set", score, "4"_gbk},
          Event{"append", answer, Gbk("第2" + kRule + "细胞膜\r\n\r\n")},
          Event{"append", points, Gbk("第 2 题得分：2 分\r\n")},
          Event{"set", score, "6"_gbk}));

  EXPECT_EQ(run.Text(controls::kStudentAnswer),
            Gbk("第1" + kRule + "光合作用在叶绿体中进行\r\n\r\n第2" + kRule +
                "细胞膜\r\n\r\n"));
  EXPECT_EQ(run.Text(controls::kMatchedPoints),
            Gbk("第 1 题得分：4 分\r\n第 2 题得分：2 分\r\n"));
  EXPECT_EQ(run.Text(controls::kScore), "6"_gbk);
  EXPECT_EQ(run.Text(controls::kRemaining), "1"_gbk);
  EXPECT_EQ(run.Text(controls::kGradeButton), Gbk("正在进行"));
  EXPECT_EQ(run.Report(), Gbk("王小明 4 2  6"));
  EXPECT_EQ(run.outcome.paper_count, 1);
  EXPECT_TRUE(run.outcome.report.written);
}

TEST(RunGradingTest, SummaryBoxThenEndOfProcess) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "光合作用"}});
  std::optional<int> exit_code_while_box_shown = -99;
  run.controls.set_on_message_box([&](const InMemoryControls::MessageBox&) {
    exit_code_while_box_shown = run.controls.exit_code();
  });
  run.Grade(Rules({{"光合作用"}}, {"10"}));
  ASSERT_EQ(run.controls.message_boxes().size(), 1u);
  const auto& box = run.controls.message_boxes()[0];
  EXPECT_EQ(box.caption, Gbk("提示信息"));
  EXPECT_EQ(box.text, run.outcome.summary);
  // The clock stands still, so the run took 0 seconds.
  EXPECT_EQ(box.text, Gbk("共有试卷：1 份\r\n批卷用时：0 秒\r\n平均每份用时：0 秒\r\n"
                          "阅卷结果已保存在‘阅卷结果20261208.txt’！"));
  EXPECT_EQ(exit_code_while_box_shown, std::nullopt);
  EXPECT_EQ(run.controls.exit_code(), 0);
}

TEST(RunGradingTest, CapLowersOnlyAndTextWithoutNumberCapsAtZero) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "甲乙丙丁\t甲乙丙丁\t甲乙"}});
  run.Grade(Rules({{"甲", "乙", "丙", "丁"}, {"甲", "乙", "丙", "丁"}, {"甲", "乙"}},
                  {"5", "十分", "１０分"}));
  EXPECT_EQ(run.Text(controls::kMatchedPoints),
            Gbk("第 1 题得分：5 分\r\n第 2 题得分：0 分\r\n第 3 题得分：4 分\r\n"));
  EXPECT_EQ(run.Text(controls::kScore), "9"_gbk);
  EXPECT_EQ(run.Report(), Gbk("甲 5 0 4  9"));
}

// A cap far below zero: the total shown after each question is the exact sum held at
// the 32-bit limits, so it comes back from the lower limit as later scores add up.
TEST(RunGradingTest, TotalIsTheExactSumHeldAtTheLimits) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "甲\t甲\t甲乙\t甲乙\t甲乙"}});
  run.controls.set_recording(true);
  run.Grade(Rules({{"甲"}, {"甲"}, {"甲", "乙"}, {"甲", "乙"}, {"甲", "乙"}},
                  {"-2147483648", "-10", "10", "10", "10"}));
  // Exact sums: limit, limit - 10, limit - 6, limit - 2, limit + 2.
  EXPECT_THAT(run.Writes(controls::kScore),
              ElementsAre("set:", "set:-2147483648", "set:-2147483648", "set:-2147483648",
                          "set:-2147483648", "set:-2147483646"));
  EXPECT_EQ(run.Report(), Gbk("甲 -2147483648 -10 4 4 4  -2147483646"));
}

TEST(RunGradingTest, QuestionsBeyondTheRulesOrMaximaScoreUncappedOrZero) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "甲乙\t甲乙\t甲乙"}});
  // Question 2 has a rule but no maximum; question 3 has neither.
  run.Grade(Rules({{"甲"}, {"甲", "乙"}}, {"1"}));
  EXPECT_EQ(run.Report(), Gbk("甲 1 4 0  5"));
}

TEST(RunGradingTest, EmptyAnswerHasNoQuestions) {
  Harness run;
  WriteSheet(run.dir, {{"甲", ""}});
  run.controls.set_recording(true);
  run.Grade(Rules({{"光合作用"}}, {"10"}));
  EXPECT_THAT(run.Writes(controls::kStudentAnswer), ElementsAre("set:"));
  EXPECT_THAT(run.Writes(controls::kMatchedPoints), ElementsAre("set:"));
  EXPECT_EQ(run.Text(controls::kScore), ""_gbk);
  EXPECT_EQ(run.Report(), Gbk("甲  0"));
}

TEST(RunGradingTest, TwoPapersCountDownAndEachStartsAfresh) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "光合作用\t细胞膜"}, {"乙", "没有\r\n写对"}});
  run.controls.set_recording(true);
  run.Grade(Rules({{"光合作用"}, {"细胞膜"}}, {"10", "10"}));
  EXPECT_THAT(run.Writes(controls::kRemaining), ElementsAre("set:2", "set:1"));
  EXPECT_THAT(run.Writes(controls::kScore),
              ElementsAre("set:", "set:2", "set:4", "set:", "set:0"));
  EXPECT_EQ(run.Text(controls::kStudentName), Gbk("乙"));
  // The second paper's answer, line break included, is all that remains shown.
  EXPECT_EQ(run.Text(controls::kStudentAnswer),
            Gbk("第1" + kRule + "没有\r\n写对\r\n\r\n"));
  EXPECT_EQ(run.Report(), Gbk("甲 2 2  4\r\n乙 0  0"));
  EXPECT_THAT(run.progress, ElementsAre(std::pair<int64_t, int64_t>(1, 2),
                                        std::pair<int64_t, int64_t>(2, 2)));
}

TEST(RunGradingTest, ExamThatCannotBeGradedIsSaidAndNothingRuns) {
  struct Case {
    const char* what;
    std::optional<GbkText> sheet;
    ParametersLoad load;
    std::string says;
  };
  const GbkText record = Gbk("<姓名>\t甲\t</姓名><答题文本>\t光合作用\t</答题文本>");
  const auto load_of = [](ForeignEncoding encoding = ForeignEncoding::kNone,
                          std::optional<CharacterOutsideGbk> outside = std::nullopt) {
    ParametersFile load;
    load.encoding = encoding;
    load.outside_gbk = std::move(outside);
    return ParametersLoad(std::move(load));
  };
  const ParametersLoad loaded = load_of();
  const Case cases[] = {
      {"no sheet", std::nullopt, loaded, "没有找到学生答题文件“学生答题文本.txt”"},
      {"names without answers", record + Gbk("<姓名>\t乙\t</姓名><姓名>\t丙\t</姓名>"),
       loaded, "姓名 3 个，答题文本 1 个"},
      {"parameters missing at start-up", record, FailedRead(FileReadProblem::kMissing),
       "没有找到评分参数文件“参数设置.txt”"},
      {"parameters not GBK", record, load_of(ForeignEncoding::kUtf16), "是以 UTF-16"},
      {"parameters with a character outside GBK", record,
       load_of(ForeignEncoding::kUtf8,
               CharacterOutsideGbk{3, 5, "\xF0\x9F\x98\x80", 0x1F600}),
       // The box is GBK: the character shows as "?", its place and code point tell it.
       "其中第 3 行第 5 个字“?”（U+1F600）是 GBK（ANSI）编码里没有的字符"},
  };
  for (const Case& c : cases) {
    Harness run;
    if (c.sheet) run.dir.Write("学生答题文本.txt", *c.sheet);
    run.controls.set_recording(true);
    GradingOptions options;
    options.directory = run.dir.path();
    options.parameters_load = c.load;
    options.pause_ms = 0;
    options.clock = &run.clock;
    const RunOutcome outcome =
        RunGrading(Rules({{"光合作用"}}, {"10"}), run.controls, options);
    ASSERT_FALSE(outcome.checked.ok()) << c.what;
    ASSERT_EQ(run.controls.message_boxes().size(), 1u) << c.what;
    EXPECT_EQ(run.controls.message_boxes()[0].caption, Gbk("提示信息"));
    EXPECT_NE(GbkToUtf8(run.controls.message_boxes()[0].text).find(c.says),
              std::string::npos)
        << c.what << ": " << GbkToUtf8(run.controls.message_boxes()[0].text);
    // Nothing shown, nothing written, and the program goes on.
    EXPECT_THAT(run.controls.events(), IsEmpty()) << c.what;
    EXPECT_EQ(run.controls.exit_code(), std::nullopt) << c.what;
    EXPECT_FALSE(PathExists(run.dir.File("阅卷结果20261208.txt"))) << c.what;
  }
}

TEST(RunGradingTest, UnwritableReportIsSaidInTheSummary) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "光合作用"}});
  std::filesystem::create_directory(run.dir.File("阅卷结果20261208.txt"));
  run.Grade(Rules({{"光合作用"}}, {"10"}));
  EXPECT_FALSE(run.outcome.report.written);
  EXPECT_NE(run.outcome.summary.find(Gbk("阅卷结果未能保存到‘阅卷结果20261208.txt’！")),
            std::string::npos);
  EXPECT_EQ(run.controls.exit_code(), 0);
}

TEST(RunGradingTest, ScoringBoxesAreTheControlsAtTheTime) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "叶绿体产生氧气"}});
  run.controls.SetControlText(controls::kPointsPerHit, "3"_gbk);
  run.controls.SetControlText(controls::kOrderKeys, "1-1,1-2"_gbk);
  run.Grade(Rules({{"叶绿体", "氧气"}}, {"100"}));
  EXPECT_EQ(run.Report(), Gbk("甲 6  6"));
}

TEST(RunGradingTest, TypingWhileAQuestionsRulesAreReadCountsFromThatQuestion) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "光合作用\t细胞膜"}});
  // The teacher types 5 into the points box once question 2 is shown: reading that
  // question's keyword groups runs the window's events, so question 2 is worth 5 a
  // hit while question 1 was worth 2.
  bool typed = false;
  ScopedMessagePump pump([&] {
    if (!typed &&
        run.controls.GetControlText(controls::kStudentAnswer).find(Gbk("第2小题")) !=
            std::string::npos) {
      run.controls.SetControlText(controls::kPointsPerHit, "5"_gbk);
      typed = true;
    }
  });
  run.Grade(Rules({{"光合作用"}, {"细胞膜"}}, {"10", "10"}));
  EXPECT_TRUE(typed);
  EXPECT_EQ(run.Report(), Gbk("甲 2 5  7"));
}

TEST(RunGradingTest, PauseCountsInTheTimeTaken) {
  Harness run;
  WriteSheet(run.dir, {{"甲", "光合作用"}});
  GradingOptions options;
  options.directory = run.dir.path();
  options.pause_ms = 1000;  // the window's pause; the system clock measures it
  const RunOutcome outcome =
      RunGrading(Rules({{"光合作用"}}, {"10"}), run.controls, options);
  EXPECT_NE(outcome.summary.find(Gbk("批卷用时：1 秒")), std::string::npos);
}

}  // namespace
}  // namespace vantry
