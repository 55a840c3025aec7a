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
  EXPECT_EQ(DetectForeignEncoding(Gbk(kSheet).bytes()), ForeignEncoding::kNone);
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

TEST(DetectForeignEncodingTest, DecisionDoesNotDependOnWhereASampleWouldEnd) {
  // ASCII up to the 64 KiB edge, then GBK: a sample cut inside the first GBK character
  // looked like UTF-8 cut short.
  for (const size_t ascii : {size_t{65535}, size_t{65536}, size_t{200000}}) {
    const std::string gbk = std::string(ascii, 'a') + Gbk("姓名,第1题\r\n").bytes();
    EXPECT_EQ(DetectForeignEncoding(gbk), ForeignEncoding::kNone) << ascii;
    EXPECT_EQ(DetectForeignEncoding(std::string(ascii, 'a') + "姓名"),
              ForeignEncoding::kUtf8)
        << ascii;
  }
  // UTF-8 for 64 KiB, GBK after: not UTF-8.
  std::string mixed;
  while (mixed.size() < 70000) mixed += "光合作用";
  EXPECT_EQ(DetectForeignEncoding(mixed + Gbk("叶绿体").bytes()), ForeignEncoding::kNone);
}

TEST(DetectForeignEncodingTest, Utf8MarkBeforeGbkTextIsGbk) {
  EXPECT_EQ(DetectForeignEncoding((GbkView("\xEF\xBB\xBF") + Gbk(kSheet)).bytes()),
            ForeignEncoding::kNone);
}

TEST(ReadAsGbkTest, ReadsEachKindOfFileAsItsGbkTwin) {
  const std::string gbk = Gbk(kSheet).bytes();
  struct Case {
    const char* what;
    std::string bytes;
    ForeignEncoding encoding;
    std::string text;
  };
  const Case cases[] = {
      {"GBK", gbk, ForeignEncoding::kNone, gbk},
      {"ASCII", "<a>\tb", ForeignEncoding::kNone, "<a>\tb"},
      {"empty", "", ForeignEncoding::kNone, ""},
      {"UTF-8", kSheet, ForeignEncoding::kUtf8, gbk},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + kSheet, ForeignEncoding::kUtf8, gbk},
      {"ASCII with the UTF-8 mark",
       "\xEF\xBB\xBF"
       "ab",
       ForeignEncoding::kUtf8, "ab"},
      {"GBK after a stray UTF-8 mark", "\xEF\xBB\xBF" + gbk, ForeignEncoding::kNone, gbk},
      // NULs stay: the readers cut there.
      {"UTF-8 with NUL", std::string("甲\r\n乙\0丙丁戊己庚辛", 27),
       ForeignEncoding::kUtf8,
       (Gbk("甲\r\n乙") + GbkView(std::string_view("\0", 1)) + Gbk("丙丁戊己庚辛"))
           .bytes()},
      // Two-byte UTF-8 characters that GBK holds in two bytes as well.
      {"Greek and Cyrillic", "αБ·", ForeignEncoding::kUtf8, Gbk("αБ·").bytes()},
  };
  for (const Case& c : cases) {
    const GbkReading reading = ReadAsGbk(c.bytes);
    EXPECT_EQ(reading.encoding, c.encoding) << c.what;
    EXPECT_TRUE(reading.readable()) << c.what;
    EXPECT_EQ(reading.text.bytes(), c.text) << c.what;
  }
}

TEST(ReadAsGbkTest, NamesTheLineOfTheFirstCharacterGbkLacks) {
  const GbkReading reading =
      ReadAsGbk("\xEF\xBB\xBF第一行\r\n第二行\n第三行有\xF0\xA0\x80\x80和€\n");
  EXPECT_EQ(reading.encoding, ForeignEncoding::kUtf8);
  EXPECT_FALSE(reading.readable());
  EXPECT_EQ(reading.text, ""_gbk);
  ASSERT_TRUE(reading.outside_gbk.has_value());
  EXPECT_EQ(reading.outside_gbk->line, 3);
  EXPECT_EQ(reading.outside_gbk->column, 5);
  EXPECT_EQ(reading.outside_gbk->character, "\xF0\xA0\x80\x80");  // U+20000
  EXPECT_EQ(reading.outside_gbk->code_point, 0x20000u);
  // The euro sign is the single byte 0x80 in Windows' table, which GBK text here does
  // not hold either.
  EXPECT_EQ(ReadAsGbk("价格€").outside_gbk->character, "€");

  const GbkReading utf16 = ReadAsGbk("\xFF\xFE<\0a\0");
  EXPECT_EQ(utf16.encoding, ForeignEncoding::kUtf16);
  EXPECT_FALSE(utf16.readable());
}

TEST(DetectForeignEncodingTest, RecognisesUtf16ByMarkOrNuls) {
  EXPECT_EQ(DetectForeignEncoding("\xFF\xFE" + Utf16Le(kSheet)), ForeignEncoding::kUtf16);
  EXPECT_EQ(DetectForeignEncoding(Utf16Le(kSheet)), ForeignEncoding::kUtf16);
  EXPECT_EQ(DetectForeignEncoding(Gbk(kSheet).bytes() + std::string(1, '\0')),
            ForeignEncoding::kNone);
}

}  // namespace
}  // namespace vantry
