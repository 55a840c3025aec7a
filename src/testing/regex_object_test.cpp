#include "testing/regex_object.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(RegexObjectTest, ReplacesEveryMatchOrOnlyTheFirst) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a+", "baaac a d"));
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.Replace("-"), "b-c - d");

  ASSERT_TRUE(regex.Create("a+", "baaac a d", {.global = false}));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.Replace("-"), "b-c a d");
}

TEST(RegexObjectTest, ReplacementReferences) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\w+)@(\\w+)", "x joe@host y"));
  EXPECT_EQ(regex.Replace("$2 at $1"), "x host at joe y");
  EXPECT_EQ(regex.Replace("[$&]"), "x [joe@host] y");
  EXPECT_EQ(regex.Replace("<$`>"), "x <x > y");
  EXPECT_EQ(regex.Replace("<$'>"), "x < y> y");
  EXPECT_EQ(regex.Replace("$$1"), "x $1 y");
  // $3 names no group, $0 is not a reference, a lone $ is itself.
  EXPECT_EQ(regex.Replace("$3$0$"), "x $3$0$ y");
  // $10 without a tenth group is group 1 followed by "0".
  EXPECT_EQ(regex.Replace("$10"), "x joe0 y");

  // An unset group gives nothing.
  ASSERT_TRUE(regex.Create("(a)|(b)", "b"));
  EXPECT_EQ(regex.Replace("[$1|$2]"), "[|b]");
}

TEST(RegexObjectTest, EmptyMatchesAdvanceOneCharacter) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("x*", "axb"));
  EXPECT_EQ(regex.MatchCount(), 4);  // "" at 0, "x", "" before b, "" at the end
  EXPECT_EQ(regex.Replace("-"), "-a--b-");
  ASSERT_TRUE(regex.Create("", Gbk("甲乙")));
  EXPECT_EQ(regex.Replace("|"), Gbk("|甲|乙|"));
}

TEST(RegexObjectTest, SecondCreateReplacesEverythingOfTheFirst) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)(b)", "ab ab ab"));
  ASSERT_EQ(regex.MatchCount(), 3);
  ASSERT_TRUE(regex.Create("z", "xyz"));
  EXPECT_EQ(regex.GetPattern(), "z");
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.MatchText(2), "");
  EXPECT_EQ(regex.Replace("Z"), "xyZ");
}

TEST(RegexObjectTest, QuoteMacroStandsForADoubleQuote) {
  const std::string pattern = Gbk("#引号abc#引号");
  RegexObject regex;
  ASSERT_TRUE(regex.Create(pattern, "x\"abc\"y", {.quote_macro = true}));
  EXPECT_EQ(regex.GetPattern(), "\"abc\"");
  EXPECT_EQ(regex.MatchText(1), "\"abc\"");
  // Without the flag the token is matched as it stands.
  ASSERT_TRUE(regex.Create(pattern, "x\"abc\"y"));
  EXPECT_EQ(regex.GetPattern(), pattern);
  EXPECT_EQ(regex.MatchCount(), 0);
  ASSERT_TRUE(regex.Create(pattern, Gbk("(#引号abc#引号)")));
  EXPECT_EQ(regex.MatchText(1), pattern);
}

TEST(RegexObjectTest, SubMatchesAndTheirCount) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\d+)-(\\d+)(x)?", "10-20 3-4x"));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.SubMatchCount(), 3);
  EXPECT_EQ(regex.SubMatchText(1, 1), "10");
  EXPECT_EQ(regex.SubMatchText(1, 2), "20");
  EXPECT_EQ(regex.SubMatchText(2, 3), "x");
  int offset = 99;
  EXPECT_EQ(regex.SubMatchText(1, 3, &offset), "");  // did not take part
  EXPECT_EQ(offset, -1);
  EXPECT_EQ(regex.SubMatchText(1, 4, &offset), "");
  EXPECT_EQ(offset, -1);
  EXPECT_EQ(regex.SubMatchText(1, 0), "");
  EXPECT_EQ(regex.SubMatchText(3, 1), "");
  EXPECT_EQ(regex.MatchText(0), "");
  EXPECT_EQ(regex.MatchText(3, &offset), "");
  EXPECT_EQ(offset, -1);

  ASSERT_TRUE(regex.Create("(a)", "bbb"));
  EXPECT_EQ(regex.SubMatchCount(), 0);  // no first match to count on
}

TEST(RegexObjectTest, OffsetsCountGbkBytes) {
  // Two-byte characters and a byte that is not GBK stand before the matches.
  const std::string subject = Gbk("成绩：") + "\xFF" + Gbk("甲95分 乙80分");
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\d+)" + Gbk("分"), subject));
  ASSERT_EQ(regex.MatchCount(), 2);
  int offset = -5;
  EXPECT_EQ(regex.MatchText(1, &offset), Gbk("95分"));
  EXPECT_EQ(offset, 9);  // 成绩： is 6 bytes, 0xFF one, 甲 two
  EXPECT_EQ(subject.substr(9, 4), Gbk("95分"));
  EXPECT_EQ(regex.SubMatchText(2, 1, &offset), "80");
  EXPECT_EQ(static_cast<size_t>(offset), subject.find("80"));
  EXPECT_EQ(regex.MatchText(2, &offset), Gbk("80分"));
  EXPECT_EQ(static_cast<size_t>(offset), subject.find("80"));
}

TEST(RegexObjectTest, IgnoresCaseByDefaultAsciiOnly) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("abc", "xABCx"));
  EXPECT_EQ(regex.MatchText(1), "ABC");
  ASSERT_TRUE(regex.Create("abc", "xABCx", {.case_sensitive = true}));
  EXPECT_EQ(regex.MatchCount(), 0);
  // Full-width letters are characters of their own, not cases of each other.
  ASSERT_TRUE(regex.Create(Gbk("ａ"), Gbk("Ａ")));
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObjectTest, ClassesDotAndAnchorsFollowTheScriptDialect) {
  RegexObject regex;
  // \s is ASCII white space only: not the full-width space.
  ASSERT_TRUE(regex.Create("\\s", std::string(" \t\n\v\f\r") + Gbk("　")));
  EXPECT_EQ(regex.MatchCount(), 6);
  // \v is the vertical tab alone; an escaped backslash before v is not an escape of v.
  ASSERT_TRUE(regex.Create("\\v", "\n\v\f\r"));
  EXPECT_EQ(regex.MatchCount(), 1);
  ASSERT_TRUE(regex.Create("\\\\v", "a\\vb"));
  EXPECT_EQ(regex.MatchText(1), "\\v");
  // . is anything but a line feed.
  ASSERT_TRUE(regex.Create(".+", "ab\r\ncd"));
  EXPECT_EQ(regex.MatchText(1), "ab\r");
  EXPECT_EQ(regex.MatchText(2), "cd");
  // Multi-line moves ^ and $ to every line; otherwise they are the subject's ends.
  ASSERT_TRUE(regex.Create("^\\w$", "a\nb\n"));
  EXPECT_EQ(regex.MatchCount(), 2);
  ASSERT_TRUE(regex.Create("^\\w$", "a\nb\n", {.multi_line = false}));
  EXPECT_EQ(regex.MatchCount(), 0);
  ASSERT_TRUE(regex.Create("^\\w$", "b", {.multi_line = false}));
  EXPECT_EQ(regex.MatchCount(), 1);
  // \uhhhh names a character.
  ASSERT_TRUE(regex.Create("\\u7532", Gbk("乙甲")));
  EXPECT_EQ(regex.MatchText(1), Gbk("甲"));
}

TEST(RegexObjectTest, BadPatternOrNoCreateGivesEmptyResults) {
  RegexObject fresh;
  EXPECT_EQ(fresh.GetPattern(), "");
  EXPECT_EQ(fresh.Replace("x"), "");
  EXPECT_EQ(fresh.MatchCount(), 0);
  EXPECT_EQ(fresh.SubMatchCount(), 0);
  int offset = 7;
  EXPECT_EQ(fresh.MatchText(1, &offset), "");
  EXPECT_EQ(offset, -1);

  RegexObject regex;
  ASSERT_TRUE(regex.Create("a", "aaa"));
  EXPECT_FALSE(regex.Create("(a", "aaa"));
  EXPECT_EQ(regex.GetPattern(), "(a");
  EXPECT_EQ(regex.Replace("b"), "");
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.SubMatchText(1, 1), "");
}

TEST(RegexObjectTest, ExponentialBacktrackingFailsInsteadOfHanging) {
  RegexObject regex;
  EXPECT_FALSE(regex.Create("(a+)+c", std::string(40, 'a') + "bc"));
  EXPECT_EQ(regex.Replace(""), "");
}

TEST(RegexObjectTest, CopiesShareMatchesAndKeepTheirOwnSubject) {
  RegexObject original;
  ASSERT_TRUE(original.Create("(b)", "abcb"));
  RegexObject copy(original);
  EXPECT_EQ(copy.GetPattern(), "(b)");
  EXPECT_EQ(copy.MatchCount(), 2);
  EXPECT_EQ(copy.SubMatchText(2, 1), "b");
  EXPECT_EQ(copy.Replace("[$1]"), "a[b]c[b]");

  // A later Create on the original leaves the copy as it was.
  ASSERT_TRUE(original.Create("x", "xx"));
  EXPECT_EQ(copy.Replace("-"), "a-c-");
  RegexObject assigned;
  assigned = original;
  EXPECT_EQ(assigned.Replace("y"), "yy");
  assigned = copy;
  EXPECT_EQ(assigned.MatchCount(), 2);
  EXPECT_EQ(original.MatchCount(), 2);
  EXPECT_EQ(original.Replace("-"), "--");
}

TEST(RegexObjectTest, BytesOutsideMatchesComeBackUnchanged) {
  // Every byte value except NUL, in pairs and alone, valid GBK or not.
  std::string subject;
  for (int lead = 1; lead < 256; ++lead) {
    subject.push_back(static_cast<char>(lead));
    subject.push_back(static_cast<char>(256 - lead));
  }
  subject += "\xC4";  // a lone lead byte at the end
  RegexObject regex;
  ASSERT_TRUE(regex.Create("QQQ", subject));
  EXPECT_EQ(regex.Replace("x"), subject);
  // Escaped bytes can be matched and keep their offsets.
  ASSERT_TRUE(regex.Create(std::string("\x80", 1), Gbk("甲") + "\x80\x80"));
  int offset = 0;
  EXPECT_EQ(regex.MatchText(1, &offset), "\x80");
  EXPECT_EQ(offset, 2);
  EXPECT_EQ(regex.Replace(""), Gbk("甲"));
}

}  // namespace
}  // namespace vantry
