// The main window's twenty-one controls: one table for the window, the in-memory
// controls and the tests.
#ifndef VANTRY_CONTROLS_CONTROL_TABLE_H_
#define VANTRY_CONTROLS_CONTROL_TABLE_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vantry::controls {

enum class ControlKind {
  kGroupBox,
  kMultiLineEdit,  // vertical scroll bar, lines separated by CRLF
  kSingleLineEdit,
  kLabel,
  kTransparentLabel,  // drawn without a background
  kButton,
  kPicture,
};

enum class FontFace {
  kDefaultGui,  // no font of its own: the program's default GUI font
  kYaHei,       // 微软雅黑, or another CJK face where it is missing
  kDefault,     // the default face at the given size and weight
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

struct ControlEntry {
  std::string_view name;
  ControlKind kind;
  // The parent control's name; empty for the window itself.
  std::string_view parent;
  // Relative to the parent's client area, in pixels; never changes.
  Rect geometry;
  // The text at creation, in UTF-8.
  std::string_view initial_text;
  FontFace face = FontFace::kDefaultGui;
  // Character height in pixels; 0 with kDefaultGui.
  int pixel_size = 0;
  bool bold = false;
  // Fixed colours, kept whatever the skin says; none: the skin's.
  std::optional<Rgb> text_color;
  std::optional<Rgb> background;
};

// Every control in creation order, which is also the order Tab moves the focus in.
std::span<const ControlEntry> ControlTable();

// The entry of `name`, or nullptr for a name that is not a control of the window.
const ControlEntry* FindControl(std::string_view name);

}  // namespace vantry::controls

#endif  // VANTRY_CONTROLS_CONTROL_TABLE_H_
