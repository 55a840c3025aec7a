// The main window's controls held as named texts, for running without a window.
#ifndef VANTRY_CONTROLS_IN_MEMORY_CONTROLS_H_
#define VANTRY_CONTROLS_IN_MEMORY_CONTROLS_H_

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/control_access.h"

namespace vantry {

// Every control of the window (control_table.h) with its text at creation. Unknown names
// are ignored on writes and read as empty text. Message boxes are recorded and return at
// once; EndProcess records the code. Optionally records every call in order.
class InMemoryControls : public ControlAccess {
 public:
  struct MessageBox {
    GbkText text;
    GbkText caption;
  };
  // One recorded call: "set", "append" or "get", the control's name and the text.
  struct Event {
    std::string kind;
    std::string name;
    GbkText text;
    bool operator==(const Event&) const = default;
  };

  InMemoryControls();

  void SetControlText(std::string_view name, const GbkText& text) override;
  void AppendControlText(std::string_view name, const GbkText& text) override;
  GbkText GetControlText(std::string_view name) override;
  void ShowMessageBox(const GbkText& text, const GbkText& caption) override;
  void EndProcess(int exit_code) override;

  // True when `name` is one of the window's controls.
  bool Has(std::string_view name) const;

  void set_recording(bool on) { recording_ = on; }
  const std::vector<Event>& events() const { return events_; }
  const std::vector<MessageBox>& message_boxes() const { return message_boxes_; }
  std::optional<int> exit_code() const { return exit_code_; }
  // Called when a message box is shown, before it is recorded (a test can act "while
  // the box is up").
  void set_on_message_box(std::function<void(const MessageBox&)> hook) {
    on_message_box_ = std::move(hook);
  }

 private:
  std::map<std::string, GbkText, std::less<>> texts_;
  bool recording_ = false;
  std::vector<Event> events_;
  std::vector<MessageBox> message_boxes_;
  std::optional<int> exit_code_;
  std::function<void(const MessageBox&)> on_message_box_;
};

}  // namespace vantry

#endif  // VANTRY_CONTROLS_IN_MEMORY_CONTROLS_H_
