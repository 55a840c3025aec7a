#include "text/answer_content.h"

#include <gtest/gtest.h>

#include "text/gbk_codec.h"

namespace vantry {
namespace {

TEST(AnswerContentTest, WhiteSpaceIsNotContent) {
  const struct {
    GbkText text;
    bool content;
  } cases[] = {
      {""_gbk, false},
      {" \t\r\n\v\f"_gbk, false},
      {Utf8ToGbk("　 　"), false},  // full-width spaces
      {Utf8ToGbk(" 无 "), true},
      {GbkView("\xB0\xA1\xA1"), true},  // 啊 and a lone A1: the A1 of 啊 is no space
      {GbkView("\x81"), true},          // a lead byte cut off is still something written
  };
  for (const auto& c : cases) EXPECT_EQ(HasContent(c.text), c.content) << c.text.bytes();
}

TEST(AnswerContentTest, DigestIgnoresWhiteSpaceOnly) {
  const auto digest = [](std::string_view utf8) {
    return ContentDigest(Utf8ToGbk(utf8), kEmptyContentDigest);
  };
  EXPECT_EQ(digest("遵义会议 召开\r\n于1935年"), digest("遵义会议召开　于 1935 年"));
  EXPECT_EQ(digest(" \r\n"), kEmptyContentDigest);
  EXPECT_NE(digest("遵义会议"), digest("遵义会"));
  EXPECT_NE(digest("ab"), digest("ba"));
  const auto answers = [](GbkView first, GbkView second) {
    return EndOfAnswerDigest(ContentDigest(
        second, EndOfAnswerDigest(ContentDigest(first, kEmptyContentDigest))));
  };
  EXPECT_NE(answers("ab"_gbk, ""_gbk), answers("a"_gbk, "b"_gbk));
  EXPECT_EQ(answers("a b"_gbk, ""_gbk), answers("ab "_gbk, " "_gbk));
}

TEST(AnswerContentTest, SameContentLeavesWhiteSpaceAside) {
  const auto same = [](std::string_view a, std::string_view b) {
    return SameContent(Utf8ToGbk(a), Utf8ToGbk(b));
  };
  EXPECT_TRUE(same(" 遵义 会议\r\n", "遵义会议　"));
  EXPECT_TRUE(same("", " \t"));
  EXPECT_FALSE(same("遵义会议", "遵义会"));
  EXPECT_FALSE(same("a", ""));
  EXPECT_FALSE(SameContent(GbkView("\xB0\xA1\xA1"), GbkView("\xB0\xA1")));
  // A full-width space is two bytes A1 A1, but the trail byte of 啊 followed by A1 is
  // not one: 啊 then a lone A1 keeps both bytes.
  EXPECT_NE(ContentDigest(GbkView("\xB0\xA1\xA1"), kEmptyContentDigest),
            ContentDigest(GbkView("\xB0\xA1"), kEmptyContentDigest));
}

}  // namespace
}  // namespace vantry
