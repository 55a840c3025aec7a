#include "app/skin/skin_format.h"

#include <gtest/gtest.h>

namespace vantry::skin {
namespace {

TEST(SkinFormatTest, NeedsTheMagicBytes) {
  EXPECT_FALSE(ParseSkin(""));
  EXPECT_FALSE(ParseSkin(".SH"));
  EXPECT_FALSE(ParseSkin("SHE.\nwindow=#000000\n"));
  EXPECT_FALSE(ParseSkin(" .SHE\n"));
  const auto bare = ParseSkin(".SHE");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->window, SkinDescription().window);
}

TEST(SkinFormatTest, ReadsKeysWithLfOrCrlfSkippingCommentsAndUnknownKeys) {
  const auto skin = ParseSkin(
      ".SHE\r\n# a comment\r\nname = Harbour Blue "
      "\r\nwindow=#A0b1C2\r\n\r\nfrobnicate=1\n"
      "text=#010203\nradius=7\nfont_family=WenQuanYi Micro Hei,Noto Sans CJK SC\n"
      "font_pixel_size=14\nno equals sign here\nhighlight=#ffffff");
  ASSERT_TRUE(skin);
  EXPECT_EQ(skin->name, "Harbour Blue");
  EXPECT_EQ(skin->window, (Rgb{0xA0, 0xB1, 0xC2}));
  EXPECT_EQ(skin->text, (Rgb{1, 2, 3}));
  EXPECT_EQ(skin->highlight, (Rgb{255, 255, 255}));  // last line without a line break
  EXPECT_EQ(skin->radius, 7);
  EXPECT_EQ(skin->font_family, "WenQuanYi Micro Hei,Noto Sans CJK SC");
  EXPECT_EQ(skin->font_pixel_size, 14);
  EXPECT_EQ(skin->border, SkinDescription().border);  // not given: the default
}

TEST(SkinFormatTest, MalformedValuesKeepTheirDefaults) {
  const SkinDescription defaults;
  const auto skin = ParseSkin(
      ".SHE\nwindow=#12345\nbase=red\ntext=#12345g\nradius=13\nfont_pixel_size=3\n"
      "border=#1234567\nbutton_top=123456\n");
  ASSERT_TRUE(skin);
  EXPECT_EQ(skin->window, defaults.window);
  EXPECT_EQ(skin->base, defaults.base);
  EXPECT_EQ(skin->text, defaults.text);
  EXPECT_EQ(skin->radius, defaults.radius);
  EXPECT_EQ(skin->font_pixel_size, defaults.font_pixel_size);
  EXPECT_EQ(skin->border, defaults.border);
  EXPECT_EQ(skin->button_top, defaults.button_top);
  EXPECT_EQ(ParseSkin(".SHE\nradius=-1\n")->radius, defaults.radius);
  EXPECT_EQ(ParseSkin(".SHE\nradius=0\n")->radius, 0);
  EXPECT_EQ(ParseSkin(".SHE\nfont_pixel_size=0\n")->font_pixel_size, 0);
}

TEST(SkinFormatTest, ParsesColours) {
  EXPECT_EQ(ParseColour("#000000"), (Rgb{0, 0, 0}));
  EXPECT_EQ(ParseColour("#fF0080"), (Rgb{255, 0, 128}));
  EXPECT_FALSE(ParseColour(""));
  EXPECT_FALSE(ParseColour("#fff"));
  EXPECT_FALSE(ParseColour("ff0080"));
  EXPECT_FALSE(ParseColour("#ff008g"));
  EXPECT_FALSE(ParseColour("#ff0080 "));
}

}  // namespace
}  // namespace vantry::skin
