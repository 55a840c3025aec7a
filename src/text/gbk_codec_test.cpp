#include "text/gbk_codec.h"

#include <gtest/gtest.h>

namespace vantry {
namespace {

TEST(GbkCodecTest, ConvertsBothWays) {
  const std::string gbk = "\xD6\xD0\xCE\xC4 ok";  // 中文 ok
  EXPECT_EQ(GbkToUtf8(gbk), "中文 ok");
  EXPECT_EQ(Utf8ToGbk("中文 ok"), gbk);
  EXPECT_EQ(GbkToUtf16(gbk), u"中文 ok");
  EXPECT_EQ(Utf16ToGbk(u"中文 ok"), gbk);
  EXPECT_EQ(Utf8ToGbk("＜姓名＞，"), "\xA3\xBC\xD0\xD5\xC3\xFB\xA3\xBE\xA3\xAC");
}

TEST(GbkCodecTest, InvalidBytesShowAsReplacementCharacter) {
  EXPECT_EQ(GbkToUtf8("a\xFF"
                      "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(GbkToUtf8("a\x81"), "a\xEF\xBF\xBD");
  EXPECT_FALSE(IsValidGbk("a\x81"));
  // Every byte of 0x80 or more starts a two-byte character, also the single 0x80.
  EXPECT_FALSE(IsValidGbk("\x80 "));
  EXPECT_EQ(GbkToUtf8("\x80"), "\xEF\xBF\xBD");
  EXPECT_TRUE(IsValidGbk("\xD6\xD0"));
}

TEST(GbkCodecTest, EscapeModeIsLosslessForEveryBytePair) {
  // Every byte and every two-byte sequence comes back unchanged.
  std::string all;
  for (int lead = 0x01; lead <= 0xFF; ++lead) {
    for (int trail = 0x01; trail <= 0xFF; trail += 3) {
      all.push_back(static_cast<char>(lead));
      all.push_back(static_cast<char>(trail));
    }
  }
  EXPECT_EQ(Utf32ToGbk(GbkToUtf32(all, InvalidGbk::kEscape)), all);
  EXPECT_EQ(Utf16ToGbk(GbkToUtf16(all, InvalidGbk::kEscape)), all);
  // A UTF-8 name pasted into a GBK text, and a lone high byte before a CR.
  const std::string mixed = "\xE5\xBC\xA0\xE4\xB8\x89\r\n\x80\xFE\r\n";
  EXPECT_EQ(Utf32ToGbk(GbkToUtf32(mixed, InvalidGbk::kEscape)), mixed);
}

TEST(GbkCodecTest, UnmappableAndMalformedInputBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToGbk("a\xC3"), "a?");
  EXPECT_EQ(Utf8ToGbk("\xF0\x9F\x98\x80"), "?");  // an emoji has no GBK form
  EXPECT_EQ(Utf8ToGbk("\xED\xB2\x80"), "???");    // an encoded surrogate is malformed
  EXPECT_EQ(Utf16ToGbk(std::u16string(1, char16_t{0xD800})), "?");
}

}  // namespace
}  // namespace vantry
