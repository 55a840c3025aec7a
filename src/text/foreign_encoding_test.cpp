#include "text/foreign_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using testing::Gbk;

const std::string kSheet =
    "<姓名>\t王小明\t</姓名>\r\n<答题文本>\t光合作用在叶绿体中进行。\t</答题文本>\r\n";

std::string Utf16Le(std::string_view utf8) {
  std::string out;
  for (char16_t c : GbkToUtf16(Utf8ToGbk(utf8))) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

TEST(DetectForeignEncodingTest, GbkAsciiAndEmptyAreNotForeign) {
  EXPECT_EQ(DetectForeignEncoding(Gbk(kSheet)), ForeignEncoding::kNone);
  EXPECT_EQ(DetectForeignEncoding("<name>\tx\t</name>"), ForeignEncoding::kNone);
  EXPECT_EQ(DetectForeignEncoding(""), ForeignEncoding::kNone);
}

TEST(DetectForeignEncodingTest, RecognisesUtf8WithAndWithoutMark) {
  EXPECT_EQ(DetectForeignEncoding(kSheet), ForeignEncoding::kUtf8);
  EXPECT_EQ(DetectForeignEncoding("\xEF\xBB\xBF" + kSheet), ForeignEncoding::kUtf8);
  EXPECT_EQ(DetectForeignEncoding("\xEF\xBB\xBFplain"), ForeignEncoding::kUtf8);
  // Overlong forms and surrogates are not UTF-8.
  EXPECT_EQ(DetectForeignEncoding("a\xC0\xAF"), ForeignEncoding::kNone);
  EXPECT_EQ(DetectForeignEncoding("a\xED\xA0\x80"), ForeignEncoding::kNone);
  // A character cut by the end of a whole file is not UTF-8 either.
  EXPECT_EQ(DetectForeignEncoding(kSheet + "\xE5\x85"), ForeignEncoding::kNone);
}

TEST(DetectForeignEncodingTest, LongUtf8FileCutInsideACharacterIsStillUtf8) {
  std::string big;
  while (big.size() <= 64 * 1024 + 10) big += "光合作用";
  big.insert(0, "x");  // shifts characters so the 64 KiB sample ends inside one
  EXPECT_EQ(DetectForeignEncoding(big), ForeignEncoding::kUtf8);
}

TEST(DetectForeignEncodingTest, RecognisesUtf16ByMarkOrNuls) {
  EXPECT_EQ(DetectForeignEncoding("\xFF\xFE" + Utf16Le(kSheet)), ForeignEncoding::kUtf16);
  EXPECT_EQ(DetectForeignEncoding(Utf16Le(kSheet)), ForeignEncoding::kUtf16);
  EXPECT_EQ(DetectForeignEncoding(Gbk(kSheet) + std::string(1, '\0')),
            ForeignEncoding::kNone);
}

}  // namespace
}  // namespace vantry
