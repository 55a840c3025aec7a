#include "analysis/rule_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using Kind = RuleEdit::Kind;

RuleEdit Edit(Kind kind, int group, std::string_view utf8_wording = "",
              int alternative = 0) {
  return {.kind = kind,
          .group = group,
          .alternative = alternative,
          .wording = Gbk(utf8_wording)};
}

TEST(RuleEditTest, EditsChangeOnlyTheirGroupAndEveryOtherByteStays) {
  // Question 1 as a teacher's editor leaves it (CRLF, spaces, an ASCII comma the loader
  // reads full-width, text outside the groups), question 2 untouched, bytes after a NUL.
  const GbkText q1 =
      Gbk("<分值>10</分值> <关键词>光合作用|光合,作用</关键词>\r\n"
          "  <关键词>叶绿体</关键词>注");
  const GbkText q2 = Gbk("<分值>6</分值><关键词>细胞膜</关键词>");
  const GbkText file = Gbk("说明\r\n<综合题>") + q1 + Gbk("</综合题>\r\n<综合题>") + q2 +
                       Gbk("</综合题>\r\n") + GbkText(1, '\0') + GbkView("\xFF tail");
  const auto with_q1 = [&](GbkView edited_q1) {
    return Gbk("说明\r\n<综合题>") + edited_q1 + Gbk("</综合题>\r\n<综合题>") + q2 +
           Gbk("</综合题>\r\n") + GbkText(1, '\0') + GbkView("\xFF tail");
  };
  const struct {
    RuleEdit edit;
    std::string q1_after;  // UTF-8
  } cases[] = {
      {Edit(Kind::kAddWording, 2, "叶绿素"),
       "<分值>10</分值> <关键词>光合作用|光合,作用</关键词>\r\n  "
       "<关键词>叶绿体|叶绿素</关键词>注"},
      {Edit(Kind::kAddGroup, 3, "氧气"),
       "<分值>10</分值> <关键词>光合作用|光合,作用</关键词>\r\n  "
       "<关键词>叶绿体</关键词><关键词>氧气</关键词>注"},
      // The wording as the scorer saw it, with the loader's full-width comma.
      {Edit(Kind::kDropWording, 1, "光合，作用", 2),
       "<分值>10</分值> <关键词>光合作用</关键词>\r\n  <关键词>叶绿体</关键词>注"},
      {Edit(Kind::kDropGroup, 1), "<分值>10</分值> \r\n  <关键词>叶绿体</关键词>注"},
  };
  for (const auto& c : cases) {
    std::vector<std::vector<RuleEdit>> edits = {{c.edit}};
    const auto out = ApplyRuleEdits(file, edits);
    ASSERT_TRUE(out) << c.q1_after;
    EXPECT_EQ(*out, with_q1(Gbk(c.q1_after))) << c.q1_after;
  }
  // Nothing to do: the very bytes.
  EXPECT_EQ(ApplyRuleEdits(file, std::vector<std::vector<RuleEdit>>{{}, {}}), file);
}

TEST(RuleEditTest, RulesThatCannotReadBackAsTheEditAreLeftAlone) {
  const GbkText rule = Gbk("<关键词>叶绿体</关键词>");
  EXPECT_FALSE(ApplyRuleEdit(rule, Edit(Kind::kAddWording, 1, "a|b")));
  EXPECT_FALSE(ApplyRuleEdit(rule, Edit(Kind::kAddWording, 1, "</关键词>")));
  EXPECT_FALSE(ApplyRuleEdit(rule, Edit(Kind::kAddWording, 2, "氧气")));
  EXPECT_FALSE(ApplyRuleEdit(rule, Edit(Kind::kAddGroup, 5, "氧气")));
  EXPECT_FALSE(ApplyRuleEdit(rule, Edit(Kind::kDropWording, 1, "氧气", 1)));
  // A group holding another's start tag, and a rule block holding another.
  EXPECT_FALSE(ApplyRuleEdit(Gbk("<关键词>a<关键词>b</关键词>"),
                             Edit(Kind::kAddGroup, 2, "氧气")));
  const GbkText nested =
      Gbk("<综合题><关键词>a</关键词><综合题><关键词>b</关键词></综合题>");
  EXPECT_FALSE(ApplyRuleEdits(
      nested, std::vector<std::vector<RuleEdit>>{{Edit(Kind::kAddWording, 1, "c")}}));
}

}  // namespace
}  // namespace vantry
