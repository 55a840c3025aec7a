#include "grading/answer_sheet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using ::testing::IsEmpty;
using testing::TempDir;

GbkText Record(std::string_view name, std::string_view answer) {
  return Gbk("<姓名>\t") + Gbk(name) + Gbk("\t</姓名>\r\n<答题文本>\t") + Gbk(answer) +
         Gbk("\t</答题文本>\r\n");
}

// The fields of a sheet, copied out of their views.
struct Fields {
  std::vector<GbkText> names;
  std::vector<GbkText> answers;
};

Fields ParseAnswerSheet(GbkView text) {
  const LoadedAnswerSheet sheet{GbkText(text)};
  return {{sheet.names().begin(), sheet.names().end()},
          {sheet.answers().begin(), sheet.answers().end()}};
}

TEST(AnswerSheetTest, TwoRecordsGiveTwoPapers) {
  const Fields sheet = ParseAnswerSheet(Record("甲", "x\ty") + Record("乙", "z"));
  EXPECT_THAT(sheet.names, ElementsAre(Gbk("甲"), Gbk("乙")));
  EXPECT_THAT(sheet.answers, ElementsAre("x\ty"_gbk, "z"_gbk));
}

TEST(AnswerSheetTest, FieldsPairByPositionAndKeepLineBreaks) {
  const GbkText text = Gbk("<答题文本>\tA1\t</答题文本><姓名>\t张\r\n三\t</姓名>") +
                       Gbk("<姓名>\t李四\t</姓名>");
  const Fields sheet = ParseAnswerSheet(text);
  EXPECT_THAT(sheet.names, ElementsAre(Gbk("张\r\n三"), Gbk("李四")));
  EXPECT_THAT(sheet.answers, ElementsAre("A1"_gbk));
}

TEST(AnswerSheetTest, TagsNeedTheirTabsAndCase) {
  EXPECT_THAT(ParseAnswerSheet(Gbk("<姓名>\t\t</姓名>")).names, ElementsAre(""_gbk));
  EXPECT_THAT(ParseAnswerSheet(Gbk("<姓名>\t</姓名>")).names, IsEmpty());
  EXPECT_THAT(ParseAnswerSheet(Gbk("<姓名>甲</姓名>")).names, IsEmpty());
}

TEST(AnswerSheetTest, NulEndsTheSheetAndMissingFilesAreEmpty) {
  TempDir dir;
  EXPECT_EQ(ReadAnswerSheetText(dir.path()), ""_gbk);
  dir.Write("学生答题文本.txt",
            Record("甲", "1") + GbkView(std::string_view("\0", 1)) + Record("乙", "2"));
  const Fields sheet = ParseAnswerSheet(ReadAnswerSheetText(dir.path()));
  EXPECT_THAT(sheet.names, ElementsAre(Gbk("甲")));
  // A sheet saved as UTF-8 reads as its GBK twin; one holding a character GBK lacks
  // yields nothing.
  dir.Write("学生答题文本.txt", "<姓名>\t甲\t</姓名>");
  EXPECT_THAT(ParseAnswerSheet(ReadAnswerSheetText(dir.path())).names,
              ElementsAre(Gbk("甲")));
  dir.Write("学生答题文本.txt", "<姓名>\t甲😀\t</姓名>");
  EXPECT_THAT(ParseAnswerSheet(ReadAnswerSheetText(dir.path())).names, IsEmpty());
}

std::vector<GbkView> Questions(GbkView answer) {
  std::vector<GbkView> pieces = {"stale"_gbk};
  SplitQuestionAnswers(answer, pieces);
  return pieces;
}

TEST(AnswerSheetTest, AnswersCutIntoQuestions) {
  EXPECT_THAT(Questions("x\t\ty"_gbk), ElementsAre("x"_gbk, ""_gbk, "y"_gbk));
  EXPECT_THAT(Questions("x\t"_gbk), ElementsAre("x"_gbk));
  EXPECT_THAT(Questions("\tx"_gbk), ElementsAre(""_gbk, "x"_gbk));
  EXPECT_THAT(Questions("\t\t"_gbk), ElementsAre(""_gbk, ""_gbk));
  EXPECT_THAT(Questions(""_gbk), IsEmpty());
  EXPECT_THAT(Questions(Gbk("第一\r\n行\t二")),
              ElementsAre(Gbk("第一\r\n行"), Gbk("二")));
  // A TAB behind a lead byte is that character's second byte, not a separator.
  EXPECT_THAT(Questions(GbkView("\x81\tx\ty")), ElementsAre(GbkView("\x81\tx"), "y"_gbk));
}

TEST(AnswerSheetTest, FieldsAreViewsIntoTheSheet) {
  const GbkText text = Record("甲", "x\ty") + Gbk("<姓名>\t乙\r\n\t</姓名>") +
                       Gbk("<姓名>\t\t</姓名><答题文本>\t\t</答题文本>");
  const LoadedAnswerSheet loaded(text);
  EXPECT_THAT(loaded.names(), ElementsAre(Gbk("甲"), Gbk("乙\r\n"), ""_gbk));
  EXPECT_THAT(loaded.answers(), ElementsAre("x\ty"_gbk, ""_gbk));
  EXPECT_THAT(LoadedAnswerSheet(""_gbk).names(), IsEmpty());
}

}  // namespace
}  // namespace vantry
