#include "app/skin/skin_format.h"

#include <charconv>
#include <utility>

namespace vantry::skin {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<int> ParseInt(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < low || value > high) return std::nullopt;
  return value;
}

// Sets the member that `key` names; false for an unknown key or a malformed value.
bool Assign(SkinDescription& skin, std::string_view key, std::string_view value) {
  const std::pair<std::string_view, Rgb SkinDescription::*> colours[] = {
      {"window", &SkinDescription::window},
      {"window_text", &SkinDescription::window_text},
      {"base", &SkinDescription::base},
      {"alternate_base", &SkinDescription::alternate_base},
      {"text", &SkinDescription::text},
      {"button_top", &SkinDescription::button_top},
      {"button_bottom", &SkinDescription::button_bottom},
      {"button_hover_top", &SkinDescription::button_hover_top},
      {"button_hover_bottom", &SkinDescription::button_hover_bottom},
      {"button_pressed", &SkinDescription::button_pressed},
      {"button_text", &SkinDescription::button_text},
      {"button_border", &SkinDescription::button_border},
      {"border", &SkinDescription::border},
      {"group_title", &SkinDescription::group_title},
      {"highlight", &SkinDescription::highlight},
      {"highlighted_text", &SkinDescription::highlighted_text},
  };
  for (const auto& [name, member] : colours) {
    if (key != name) continue;
    const auto colour = ParseColour(value);
    if (!colour) return false;
    skin.*member = *colour;
    return true;
  }
  if (key == "name") {
    skin.name = std::string(value);
    return true;
  }
  if (key == "font_family") {
    skin.font_family = std::string(value);
    return true;
  }
  if (key == "radius") {
    const auto radius = ParseInt(value, 0, 12);
    if (radius) skin.radius = *radius;
    return radius.has_value();
  }
  if (key == "font_pixel_size") {
    const auto size = ParseInt(value, 0, 32);
    if (!size || (*size != 0 && *size < 6)) return false;
    skin.font_pixel_size = *size;
    return true;
  }
  return false;
}

}  // namespace

std::optional<Rgb> ParseColour(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  int digits[6];
  for (int i = 0; i < 6; ++i) {
    digits[i] = HexDigit(text[i + 1]);
    if (digits[i] < 0) return std::nullopt;
  }
  return Rgb{static_cast<std::uint8_t>(digits[0] * 16 + digits[1]),
             static_cast<std::uint8_t>(digits[2] * 16 + digits[3]),
             static_cast<std::uint8_t>(digits[4] * 16 + digits[5])};
}

std::optional<SkinDescription> ParseSkin(std::string_view block) {
  if (!block.starts_with(kSkinMagic)) return std::nullopt;
  block.remove_prefix(kSkinMagic.size());
  SkinDescription skin;
  while (!block.empty()) {
    const size_t end = block.find('\n');
    const std::string_view line = Trim(block.substr(0, end));
    block.remove_prefix(end == std::string_view::npos ? block.size() : end + 1);
    if (line.empty() || line.front() == '#') continue;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    Assign(skin, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
  }
  return skin;
}

}  // namespace vantry::skin
