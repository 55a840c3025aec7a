#include "testing/regex_object.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(RegexObjectTest, ReplacesEveryMatchOrOnlyTheFirst) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a+"_gbk, "baaac a d"_gbk));
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.Replace("-"_gbk), "b-c - d"_gbk);

  ASSERT_TRUE(regex.Create("a+"_gbk, "baaac a d"_gbk, {.global = false}));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.Replace("-"_gbk), "b-c a d"_gbk);
}

TEST(RegexObjectTest, ReplacementReferences) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\w+)@(\\w+)"_gbk, "x joe@host y"_gbk));
  EXPECT_EQ(regex.Replace("$2 at $1"_gbk), "x host at joe y"_gbk);
  EXPECT_EQ(regex.Replace("[$&]"_gbk), "x [joe@host] y"_gbk);
  EXPECT_EQ(regex.Replace("<$`>"_gbk), "x <x > y"_gbk);
  EXPECT_EQ(regex.Replace("<$'>"_gbk), "x < y> y"_gbk);
  EXPECT_EQ(regex.Replace("$$1"_gbk), "x $1 y"_gbk);
  // $3 names no group, $0 is not a reference, a lone $ is itself.
  EXPECT_EQ(regex.Replace("$3$0$"_gbk), "x $3$0$ y"_gbk);
  // $10 without a tenth group is group 1 followed by "0".
  EXPECT_EQ(regex.Replace("$10"_gbk), "x joe0 y"_gbk);

  // An unset group gives nothing.
  ASSERT_TRUE(regex.Create("(a)|(b)"_gbk, "b"_gbk));
  EXPECT_EQ(regex.Replace("[$1|$2]"_gbk), "[|b]"_gbk);
}

TEST(RegexObjectTest, EmptyMatchesAdvanceOneCharacter) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("x*"_gbk, "axb"_gbk));
  EXPECT_EQ(regex.MatchCount(), 4);  // "" at 0, "x", "" before b, "" at the end
  EXPECT_EQ(regex.Replace("-"_gbk), "-a--b-"_gbk);
  ASSERT_TRUE(regex.Create(""_gbk, Gbk("甲乙")));
  EXPECT_EQ(regex.Replace("|"_gbk), Gbk("|甲|乙|"));
}

TEST(RegexObjectTest, SecondCreateReplacesEverythingOfTheFirst) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)(b)"_gbk, "ab ab ab"_gbk));
  ASSERT_EQ(regex.MatchCount(), 3);
  ASSERT_TRUE(regex.Create("z"_gbk, "xyz"_gbk));
  EXPECT_EQ(regex.GetPattern(), "z"_gbk);
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.MatchText(2), ""_gbk);
  EXPECT_EQ(regex.Replace("Z"_gbk), "xyZ"_gbk);
}

TEST(RegexObjectTest, QuoteMacroStandsForADoubleQuote) {
  const GbkText pattern = Gbk("#引号abc#引号");
  RegexObject regex;
  ASSERT_TRUE(regex.Create(pattern, "x\"abc\"y"_gbk, {.quote_macro = true}));
  EXPECT_EQ(regex.GetPattern(), "\"abc\""_gbk);
  EXPECT_EQ(regex.MatchText(1), "\"abc\""_gbk);
  // Without the flag the token is matched as it stands.
  ASSERT_TRUE(regex.Create(pattern, "x\"abc\"y"_gbk));
  EXPECT_EQ(regex.GetPattern(), pattern);
  EXPECT_EQ(regex.MatchCount(), 0);
  ASSERT_TRUE(regex.Create(pattern, Gbk("(#引号abc#引号)")));
  EXPECT_EQ(regex.MatchText(1), pattern);
}

TEST(RegexObjectTest, SubMatchesAndTheirCount) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\d+)-(\\d+)(x)?"_gbk, "10-20 3-4x"_gbk));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.SubMatchCount(), 3);
  EXPECT_EQ(regex.SubMatchText(1, 1), "10"_gbk);
  EXPECT_EQ(regex.SubMatchText(1, 2), "20"_gbk);
  EXPECT_EQ(regex.SubMatchText(2, 3), "x"_gbk);
  int offset = 99;
  EXPECT_EQ(regex.SubMatchText(1, 3, &offset), ""_gbk);  // did not take part
  EXPECT_EQ(offset, -1);
  EXPECT_EQ(regex.SubMatchText(1, 4, &offset), ""_gbk);
  EXPECT_EQ(offset, -1);
  EXPECT_EQ(regex.SubMatchText(1, 0), ""_gbk);
  EXPECT_EQ(regex.SubMatchText(3, 1), ""_gbk);
  EXPECT_EQ(regex.MatchText(0), ""_gbk);
  EXPECT_EQ(regex.MatchText(3, &offset), ""_gbk);
  EXPECT_EQ(offset, -1);

  ASSERT_TRUE(regex.Create("(a)"_gbk, "bbb"_gbk));
  EXPECT_EQ(regex.SubMatchCount(), 0);  // no first match to count on
}

TEST(RegexObjectTest, OffsetsCountGbkBytes) {
  // Two-byte characters and a byte that is not GBK stand before the matches.
  const GbkText subject = Gbk("成绩：") + GbkView("\xFF") + Gbk("甲95分 乙80分");
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\d+)"_gbk + Gbk("分"), subject));
  ASSERT_EQ(regex.MatchCount(), 2);
  int offset = -5;
  EXPECT_EQ(regex.MatchText(1, &offset), Gbk("95分"));
  EXPECT_EQ(offset, 9);  // 成绩： is 6 bytes, 0xFF one, 甲 two
  EXPECT_EQ(subject.substr(9, 4), Gbk("95分"));
  EXPECT_EQ(regex.SubMatchText(2, 1, &offset), "80"_gbk);
  EXPECT_EQ(static_cast<size_t>(offset), subject.find("80"_gbk));
  EXPECT_EQ(regex.MatchText(2, &offset), Gbk("80分"));
  EXPECT_EQ(static_cast<size_t>(offset), subject.find("80"_gbk));
}

TEST(RegexObjectTest, IgnoresCaseByDefaultAsciiOnly) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("abc"_gbk, "xABCx"_gbk));
  EXPECT_EQ(regex.MatchText(1), "ABC"_gbk);
  ASSERT_TRUE(regex.Create("abc"_gbk, "xABCx"_gbk, {.case_sensitive = true}));
  EXPECT_EQ(regex.MatchCount(), 0);
  // Full-width letters are characters of their own, not cases of each other.
  ASSERT_TRUE(regex.Create(Gbk("ａ"), Gbk("Ａ")));
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObjectTest, ClassesDotAndAnchorsFollowTheScriptDialect) {
  RegexObject regex;
  // \s is ASCII white space only: not the full-width space.
  ASSERT_TRUE(regex.Create("\\s"_gbk, " \t\n\v\f\r"_gbk + Gbk("　")));
  EXPECT_EQ(regex.MatchCount(), 6);
  // \v is the vertical tab alone; an escaped backslash before v is not an escape of v.
  ASSERT_TRUE(regex.Create("\\v"_gbk, "\n\v\f\r"_gbk));
  EXPECT_EQ(regex.MatchCount(), 1);
  ASSERT_TRUE(regex.Create("\\\\v"_gbk, "a\\vb"_gbk));
  EXPECT_EQ(regex.MatchText(1), "\\v"_gbk);
  // . is anything but a line feed.
  ASSERT_TRUE(regex.Create(".+"_gbk, "ab\r\ncd"_gbk));
  EXPECT_EQ(regex.MatchText(1), "ab\r"_gbk);
  EXPECT_EQ(regex.MatchText(2), "cd"_gbk);
  // Multi-line moves ^ and $ to every line; otherwise they are the subject's ends.
  ASSERT_TRUE(regex.Create("^\\w$"_gbk, "a\nb\n"_gbk));
  EXPECT_EQ(regex.MatchCount(), 2);
  ASSERT_TRUE(regex.Create("^\\w$"_gbk, "a\nb\n"_gbk, {.multi_line = false}));
  EXPECT_EQ(regex.MatchCount(), 0);
  ASSERT_TRUE(regex.Create("^\\w$"_gbk, "b"_gbk, {.multi_line = false}));
  EXPECT_EQ(regex.MatchCount(), 1);
  // \uhhhh names a character.
  ASSERT_TRUE(regex.Create("\\u7532"_gbk, Gbk("乙甲")));
  EXPECT_EQ(regex.MatchText(1), Gbk("甲"));
}

TEST(RegexObjectTest, BadPatternOrNoCreateGivesEmptyResults) {
  RegexObject fresh;
  EXPECT_EQ(fresh.GetPattern(), ""_gbk);
  EXPECT_EQ(fresh.Replace("x"_gbk), ""_gbk);
  EXPECT_EQ(fresh.MatchCount(), 0);
  EXPECT_EQ(fresh.SubMatchCount(), 0);
  int offset = 7;
  EXPECT_EQ(fresh.MatchText(1, &offset), ""_gbk);
  EXPECT_EQ(offset, -1);

  RegexObject regex;
  ASSERT_TRUE(regex.Create("a"_gbk, "aaa"_gbk));
  EXPECT_FALSE(regex.Create("(a"_gbk, "aaa"_gbk));
  EXPECT_EQ(regex.GetPattern(), "(a"_gbk);
  EXPECT_EQ(regex.Replace("b"_gbk), ""_gbk);
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.MatchText(1), ""_gbk);
  EXPECT_EQ(regex.SubMatchText(1, 1), ""_gbk);
}

TEST(RegexObjectTest, ExponentialBacktrackingFailsInsteadOfHanging) {
  RegexObject regex;
  EXPECT_FALSE(regex.Create("(a+)+c"_gbk, GbkText(std::string(40, 'a')) + "bc"_gbk));
  EXPECT_EQ(regex.Replace(""_gbk), ""_gbk);
}

TEST(RegexObjectTest, CopiesShareMatchesAndKeepTheirOwnSubject) {
  RegexObject original;
  ASSERT_TRUE(original.Create("(b)"_gbk, "abcb"_gbk));
  RegexObject copy(original);
  EXPECT_EQ(copy.GetPattern(), "(b)"_gbk);
  EXPECT_EQ(copy.MatchCount(), 2);
  EXPECT_EQ(copy.SubMatchText(2, 1), "b"_gbk);
  EXPECT_EQ(copy.Replace("[$1]"_gbk), "a[b]c[b]"_gbk);

  // A later Create on the original leaves the copy as it was.
  ASSERT_TRUE(original.Create("x"_gbk, "xx"_gbk));
  EXPECT_EQ(copy.Replace("-"_gbk), "a-c-"_gbk);
  RegexObject assigned;
  assigned = original;
  EXPECT_EQ(assigned.Replace("y"_gbk), "yy"_gbk);
  assigned = copy;
  EXPECT_EQ(assigned.MatchCount(), 2);
  EXPECT_EQ(original.MatchCount(), 2);
  EXPECT_EQ(original.Replace("-"_gbk), "--"_gbk);
}

TEST(RegexObjectTest, BytesOutsideMatchesComeBackUnchanged) {
  // Every byte value except NUL, in pairs and alone, valid GBK or not.
  GbkText subject;
  for (int lead = 1; lead < 256; ++lead) {
    subject.push_back(static_cast<char>(lead));
    subject.push_back(static_cast<char>(256 - lead));
  }
  subject += GbkView("\xC4");  // a lone lead byte at the end
  RegexObject regex;
  ASSERT_TRUE(regex.Create("QQQ"_gbk, subject));
  EXPECT_EQ(regex.Replace("x"_gbk), subject);
  // Escaped bytes can be matched and keep their offsets.
  ASSERT_TRUE(regex.Create(GbkView("\x80"), Gbk("甲") + GbkView("\x80\x80")));
  int offset = 0;
  EXPECT_EQ(regex.MatchText(1, &offset), GbkView("\x80"));
  EXPECT_EQ(offset, 2);
  EXPECT_EQ(regex.Replace(""_gbk), Gbk("甲"));
}

}  // namespace
}  // namespace vantry
