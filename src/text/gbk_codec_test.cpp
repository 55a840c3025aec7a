#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <string>

#ifdef VANTRY_HAVE_ICONV
#include <iconv.h>
#endif

namespace vantry {
namespace {

TEST(GbkCodecTest, ConvertsBothWays) {
  const GbkText gbk("\xD6\xD0\xCE\xC4 ok");  // 中文 ok
  EXPECT_EQ(GbkToUtf8(gbk), "中文 ok");
  EXPECT_EQ(Utf8ToGbk("中文 ok"), gbk);
  EXPECT_EQ(GbkToUtf16(gbk), u"中文 ok");
  EXPECT_EQ(Utf16ToGbk(u"中文 ok"), gbk);
  EXPECT_EQ(Utf8ToGbk("＜姓名＞，"), GbkView("\xA3\xBC\xD0\xD5\xC3\xFB\xA3\xBE\xA3\xAC"));
}

TEST(GbkCodecTest, InvalidBytesShowAsReplacementCharacter) {
  EXPECT_EQ(GbkToUtf8(GbkView("a\xFF"
                              "b")),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(GbkToUtf8(GbkView("a\x81")), "a\xEF\xBF\xBD");
  EXPECT_FALSE(IsValidGbk(GbkView("a\x81")));
  // Every byte of 0x80 or more starts a two-byte character, also the single 0x80.
  EXPECT_FALSE(IsValidGbk(GbkView("\x80 ")));
  EXPECT_EQ(GbkToUtf8(GbkView("\x80")), "\xEF\xBF\xBD");
  EXPECT_TRUE(IsValidGbk(GbkView("\xD6\xD0")));
}

TEST(GbkCodecTest, EscapeModeIsLosslessForEveryBytePair) {
  // Every byte and every two-byte sequence comes back unchanged.
  GbkText all;
  for (int lead = 0x01; lead <= 0xFF; ++lead) {
    for (int trail = 0x01; trail <= 0xFF; trail += 3) {
      all.push_back(static_cast<char>(lead));
      all.push_back(static_cast<char>(trail));
    }
  }
  EXPECT_EQ(Utf32ToGbk(GbkToUtf32(all, InvalidGbk::kEscape)), all);
  EXPECT_EQ(Utf16ToGbk(GbkToUtf16(all, InvalidGbk::kEscape)), all);
  // A UTF-8 name pasted into a GBK text, and a lone high byte before a CR.
  const GbkText mixed("\xE5\xBC\xA0\xE4\xB8\x89\r\n\x80\xFE\r\n");
  EXPECT_EQ(Utf32ToGbk(GbkToUtf32(mixed, InvalidGbk::kEscape)), mixed);
}

TEST(GbkCodecTest, UnmappableAndMalformedInputBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToGbk("a\xC3"), "a?"_gbk);
  EXPECT_EQ(Utf8ToGbk("\xF0\x9F\x98\x80"), "?"_gbk);  // an emoji has no GBK form
  EXPECT_EQ(Utf8ToGbk("\xED\xB2\x80"), "???"_gbk);    // an encoded surrogate is malformed
  EXPECT_EQ(Utf16ToGbk(std::u16string(1, char16_t{0xD800})), "?"_gbk);
}

#ifdef VANTRY_HAVE_ICONV

// The system converter's character for one byte pair; 0 when it has none.
char32_t IconvPair(iconv_t cd, unsigned char lead, unsigned char trail) {
  char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  char out[8];
  char* in_ptr = in;
  char* out_ptr = out;
  size_t in_left = sizeof in;
  size_t out_left = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1) ||
      in_left != 0 || sizeof out - out_left != 4) {
    return 0;
  }
  char32_t c = 0;
  for (int i = 3; i >= 0; --i) c = (c << 8) | static_cast<unsigned char>(out[i]);
  return c;
}

TEST(GbkCodecTest, GeneratedTableDecodesAsTheSystemConverter) {
  iconv_t cd = iconv_open("UTF-32LE", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-32LE", "GBK");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "the system has no CP936 converter";
  int characters = 0;
  int mismatches = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      const char32_t expected = IconvPair(cd, lead, trail);
      const GbkText pair(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      const std::u32string decoded = GbkToUtf32(pair);
      // A pair the converter lacks decodes as U+FFFD and then the trail byte alone.
      const bool same = expected != 0 && expected < 0x10000
                            ? decoded == std::u32string(1, expected)
                            : !decoded.empty() && decoded[0] == 0xFFFD;
      if (expected != 0) ++characters;
      if (!same && ++mismatches <= 5) {
        ADD_FAILURE() << std::hex << "pair " << lead << " " << trail << ": converter U+"
                      << static_cast<unsigned>(expected) << ", codec U+"
                      << (decoded.empty() ? 0u : static_cast<unsigned>(decoded[0]));
      }
    }
  }
  iconv_close(cd);
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(characters, 21000);  // GBK has 21,886 two-byte characters
}

#endif  // VANTRY_HAVE_ICONV

}  // namespace
}  // namespace vantry
