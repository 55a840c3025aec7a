#include "platform/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/utf8_path.h"

namespace vantry {
namespace {

TEST(Utf8TextTest, ConvertsToAndFromUtf16) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"", u""},
      {"a\t\r\n", u"a\t\r\n"},
      {"期末考试 ３", u"期末考试 ３"},
      {"\xC2\xA9\xE2\x82\xAC", u"\u00A9\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},  // a surrogate pair
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
}

TEST(Utf8TextTest, MalformedInputBecomesReplacementCharacters) {
  // Each byte that does not begin a well-formed sequence is one U+FFFD.
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");                    // cut off
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // a surrogate
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80x"), u"\uFFFD\uFFFD\uFFFD\uFFFDx");
  EXPECT_EQ(Utf8ToUtf16("\xD6\xD0"), u"\uFFFD\uFFFD");  // GBK bytes are not UTF-8
  // Lone surrogates in UTF-16, leading or trailing.
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD83D, u'x'}), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'x', 0xDE00}), "x\xEF\xBF\xBD");
}

TEST(Utf8TextTest, PathsKeepTheirUtf8NamesWhole) {
  for (const char* name : {"阅卷结果20261208.txt", "期末考试/学生答题文本.txt", "ｅ€™"}) {
    EXPECT_EQ(PathToUtf8(PathFromUtf8(name)), name);
  }
  EXPECT_EQ(PathToUtf8(PathFromUtf8("期末考试") / PathFromUtf8("参数设置.txt")).size(),
            std::string("期末考试/参数设置.txt").size());
}

}  // namespace
}  // namespace vantry
