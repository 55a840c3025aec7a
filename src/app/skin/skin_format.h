// The skin format read by the skin library: a ".SHE" block of "key=value" lines.
#ifndef VANTRY_APP_SKIN_SKIN_FORMAT_H_
#define VANTRY_APP_SKIN_SKIN_FORMAT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantry::skin {

// Every skin block starts with these four bytes.
inline constexpr std::string_view kSkinMagic = ".SHE";

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// What a skin decides about the look of the program. Keys of the block are the member
// names; a key that is missing or malformed keeps the value below.
struct SkinDescription {
  std::string name;
  Rgb window{0xEC, 0xEF, 0xF2};
  Rgb window_text{0x1E, 0x29, 0x33};
  Rgb base{0xFF, 0xFF, 0xFF};
  Rgb alternate_base{0xF5, 0xF7, 0xF9};
  Rgb text{0x11, 0x11, 0x11};
  Rgb button_top{0xFB, 0xFC, 0xFD};
  Rgb button_bottom{0xDD, 0xE3, 0xE9};
  Rgb button_hover_top{0xFF, 0xFF, 0xFF};
  Rgb button_hover_bottom{0xE8, 0xEE, 0xF3};
  Rgb button_pressed{0xC9, 0xD3, 0xDC};
  Rgb button_text{0x1E, 0x29, 0x33};
  Rgb button_border{0x8C, 0x9A, 0xA7};
  Rgb border{0xB4, 0xBF, 0xC9};
  Rgb group_title{0x2A, 0x55, 0x75};
  Rgb highlight{0x2F, 0x7C, 0xB8};
  Rgb highlighted_text{0xFF, 0xFF, 0xFF};
  // Corner radius of buttons, group boxes and edit boxes, in pixels (0 to 12).
  int radius = 4;
  // Comma-separated font families for controls without a font of their own; empty keeps
  // the system's default.
  std::string font_family;
  // Pixel height of that font (6 to 32); 0 keeps the system's default.
  int font_pixel_size = 0;
};

// Reads a skin block. Nothing when the block does not start with kSkinMagic. Lines are
// "key=value" separated by LF or CRLF; blank lines, lines starting with '#' and unknown
// keys are skipped. Colours are "#rrggbb".
std::optional<SkinDescription> ParseSkin(std::string_view block);

// "#rrggbb" (either letter case) as a colour; nothing for anything else.
std::optional<Rgb> ParseColour(std::string_view text);

}  // namespace vantry::skin

#endif  // VANTRY_APP_SKIN_SKIN_FORMAT_H_
