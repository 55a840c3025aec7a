#include "scoring/parameters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::Gbk;
using ::testing::IsEmpty;
using testing::TempDir;

ProgramState Load(const TempDir& dir) {
  ProgramState state;
  // What the lists hold is the test; a file that could not be loaded leaves them empty.
  [[maybe_unused]] const ParametersLoad load = LoadParameters(state, dir.path());
  return state;
}

TEST(LoadParametersTest, ReadsRulesAndMaximaOfTheExample) {
  TempDir dir;
  dir.Write(
      "参数设置.txt",
      Gbk("<综合题><分值>10</分值><关键词>光合作用|光合</关键词><关键词>叶绿体</关键词>"
          "</综合题>\r\n<综合题><分值>6</分值><关键词>细胞膜</关键词></综合题>"));
  const ProgramState state = Load(dir);
  EXPECT_THAT(
      state.rule_list(),
      ElementsAre(
          Gbk("<分值>10</分值><关键词>光合作用|光合</关键词><关键词>叶绿体</关键词>"),
          Gbk("<分值>6</分值><关键词>细胞膜</关键词>")));
  EXPECT_THAT(state.max_score_list(), ElementsAre("10"_gbk, "6"_gbk));
  EXPECT_EQ(state.Cap(1), 10);
  EXPECT_EQ(state.Cap(3), std::nullopt);
  EXPECT_EQ(state.Rule(0), std::nullopt);
}

TEST(LoadParametersTest, CommasBecomeFullWidthAndNulEndsTheText) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk("<综合题>a,b</综合题><分值>5</分值>").bytes() +
                                std::string("\0", 1) + Gbk("<分值>9</分值>").bytes());
  const ProgramState state = Load(dir);
  EXPECT_THAT(state.rule_list(), ElementsAre("a"_gbk + Gbk("，") + "b"_gbk));
  EXPECT_THAT(state.max_score_list(), ElementsAre("5"_gbk));
  EXPECT_EQ(state.parameters_text(), Gbk("<综合题>a，b</综合题><分值>5</分值>"));
}

TEST(LoadParametersTest, Utf8FileReadsAsItsGbkTwin) {
  const std::string utf8 =
      "<综合题><分值>10</分值><关键词>光合作用,光合</关键词></综合题>";
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(utf8));
  const ProgramState gbk = Load(dir);
  for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
    dir.Write("参数设置.txt", bytes);
    ProgramState state;
    EXPECT_EQ(LoadParameters(state, dir.path())->encoding, ForeignEncoding::kUtf8);
    EXPECT_EQ(state.parameters_text(), gbk.parameters_text());
    EXPECT_THAT(state.rule_list(), ElementsAreArray(gbk.rule_list()));
  }
}

TEST(LoadParametersTest, MissingEmptyOrForeignFilesLeaveEmptyLists) {
  TempDir dir;
  ProgramState missing;
  missing.SetParametersText(Gbk("<综合题>kept</综合题>"));
  const ParametersLoad none = LoadParameters(missing, dir.path());
  ASSERT_FALSE(none.ok());
  EXPECT_EQ(none.failure().problem, FileReadProblem::kMissing);
  EXPECT_THAT(missing.rule_list(), ElementsAre("kept"_gbk));  // nothing is read at all

  dir.Write("参数设置.txt", "");
  EXPECT_THAT(Load(dir).rule_list(), IsEmpty());
  // UTF-16, and UTF-8 holding a character GBK lacks (on line 2), are not read.
  dir.Write("参数设置.txt", "\xFF\xFE<\0");
  EXPECT_THAT(Load(dir).rule_list(), IsEmpty());
  dir.Write("参数设置.txt", "<综合题>光合</综合题>\r\n<综合题>\xF0\x9F\x98\x80</综合题>");
  ProgramState outside;
  const ParametersLoad load = LoadParameters(outside, dir.path());
  ASSERT_TRUE(load.ok());
  EXPECT_EQ(load->encoding, ForeignEncoding::kUtf8);
  ASSERT_TRUE(load->outside_gbk.has_value());
  EXPECT_EQ(load->outside_gbk->line, 2);
  EXPECT_THAT(outside.rule_list(), IsEmpty());

  // A folder of that name is there but cannot be read: the lists are emptied.
  TempDir folder;
  std::filesystem::create_directory(folder.File("参数设置.txt"));
  ProgramState unreadable;
  unreadable.SetParametersText(Gbk("<综合题>old</综合题>"));
  const ParametersLoad folder_load = LoadParameters(unreadable, folder.path());
  ASSERT_FALSE(folder_load.ok());
  EXPECT_EQ(folder_load.failure().problem, FileReadProblem::kNotRegularFile);
  EXPECT_THAT(unreadable.rule_list(), IsEmpty());
}

TEST(LoadParametersTest, UnclosedBlockSwallowsTheNextOne) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk("<综合题>A<综合题>B</综合题><综合题></综合题><综合题>C"));
  EXPECT_THAT(Load(dir).rule_list(), ElementsAre(Gbk("A<综合题>B"), "B"_gbk, ""_gbk));
}

TEST(SubstitutePairsTest, AppliesPairsInOrder) {
  EXPECT_EQ(SubstitutePairs("abc"_gbk, {{"a"_gbk, "b"_gbk}, {"b"_gbk, "c"_gbk}}),
            "ccc"_gbk);
  EXPECT_EQ(SubstitutePairs("abc"_gbk, {{""_gbk, "x"_gbk}}), "abc"_gbk);
  EXPECT_EQ(SubstitutePairs("aaa"_gbk, {{"a"_gbk, "b"_gbk}}, 0), "bbb"_gbk);
  EXPECT_EQ(SubstitutePairs("aaa"_gbk, {{"a"_gbk, "b"_gbk}}, 2), "abb"_gbk);
  EXPECT_EQ(SubstitutePairs("aAa"_gbk, {{"a"_gbk, "b"_gbk}}, 1, false, 2), "bba"_gbk);
}

}  // namespace
}  // namespace vantry
