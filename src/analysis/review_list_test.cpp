#include "analysis/review_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using testing::TestClass;

TEST(ReviewListTest, FindsWhatNeedsASecondLook) {
  // Question 1 has keywords, question 2 none, question 3 a cap of 0.
  const ProgramState state = testing::StateWithRules(
      {Gbk("<关键词>遵义会议</关键词>"), Gbk(""), Gbk("<关键词>长征</关键词>")},
      {"4"_gbk, "4"_gbk, "0"_gbk});
  TestClass c(state);
  c.Add(Gbk("甲"), Gbk("遵义会议召开\t写了\t长征"))
      .Add(Gbk("乙"), Gbk(" 遵义会议 召开\r\n\t写了 \t长征"))  // 甲's, spaced out
      .Add(Gbk("丙"), Gbk(" \t　\t"))                          // blank
      .Add(Gbk("丁"), Gbk("红军到了陕北\t写了\t长征"))         // content scored 0
      .Add(Gbk("戊"), Gbk("遵义会议"))                         // one answer of three
      .Add(Gbk("己"), std::nullopt)                            // no answer field
      .Add(Gbk("庚"), Gbk("遵义会议召开\t\t长征"))             // empty question 2
      .Add(Gbk("辛"), Gbk("写了\t遵义会议召开\t长征"));        // 甲's, moved
  const ClassStatistics statistics = ComputeClassStatistics(c.graded(), state);
  const ReviewList list = FindPapersToReview(c.graded(), statistics, nullptr);

  ASSERT_EQ(list.identical.count, 1);
  EXPECT_THAT(list.identical.entries[0], ElementsAre(0u, 1u));
  EXPECT_THAT(list.blank.entries, ElementsAre(2u, 5u));
  // 丁's question 1 only: question 2 has no keywords, question 3 is worth 0, 辛's
  // question 1 has no keyword either.
  ASSERT_EQ(list.zero_with_content.count, 2);
  EXPECT_EQ(list.zero_with_content.entries[0].paper, 3u);
  EXPECT_EQ(list.zero_with_content.entries[0].question, 1);
  EXPECT_EQ(list.zero_with_content.entries[1].paper, 7u);
  EXPECT_EQ(list.usual_answers, 3u);
  EXPECT_THAT(list.fewer_answers.entries, ElementsAre(4u, 6u));
  EXPECT_EQ(list.unknown_names.count, 0);
}

TEST(ReviewListTest, NamesWithoutPaperGetTheNearestNameOfAPaperWithoutMarks) {
  const ProgramState state =
      testing::StateWithRules({Gbk("<关键词>甲</关键词>")}, {"4"_gbk});
  TestClass c(state);
  for (const char* name : {"张浩然", "李华", "王小明", "欧阳一二三", "赵"})
    c.Add(Gbk(name), Gbk("甲"));
  MarksRead read = ParseTeacherMarks(
      Gbk("姓名,第1题\n张浩燃,4\n李华,4\n王晓明,3\n欧阳一二,2\n钱,1\n孙小小,1\n")
          .bytes());
  ASSERT_TRUE(read.ok());
  const MarksComparison comparison = CompareWithTeacher(c.graded(), *read);
  const ReviewList list = FindPapersToReview(
      c.graded(), ComputeClassStatistics(c.graded(), state), &comparison);
  ASSERT_EQ(list.unknown_names.count, 5);
  const auto suggested = [&](size_t n) {
    return list.unknown_names.entries[n].nearest_paper;
  };
  EXPECT_EQ(list.unknown_names.entries[0].name, Gbk("张浩燃"));
  EXPECT_EQ(suggested(0), 0u);            // one character off
  EXPECT_EQ(suggested(1), 2u);            // 王晓明 for 王小明
  EXPECT_EQ(suggested(2), 3u);            // two off in a name of five
  EXPECT_EQ(suggested(3), std::nullopt);  // 钱: one character is too short to guess
  EXPECT_EQ(suggested(4), std::nullopt);  // 孙小小: nothing near; 李华 has marks
}

TEST(ReviewListTest, NameDistanceCountsCharactersNotBytes) {
  EXPECT_EQ(NameDistance(Gbk("张浩燃"), Gbk("张浩然"), 3), 1);
  EXPECT_EQ(NameDistance(Gbk("张浩然"), Gbk("张然"), 3), 1);
  EXPECT_EQ(NameDistance(Gbk("ab"), Gbk("张"), 3), 2);
  EXPECT_EQ(NameDistance(Gbk("王小明"), Gbk("李华"), 1), 2);  // above the limit
  EXPECT_EQ(NameDistance(""_gbk, ""_gbk, 0), 0);
}

}  // namespace
}  // namespace vantry
