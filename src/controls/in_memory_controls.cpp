#include "controls/in_memory_controls.h"

#include "controls/control_table.h"
#include "text/gbk_codec.h"

namespace vantry {

InMemoryControls::InMemoryControls() {
  for (const controls::ControlEntry& entry : controls::ControlTable()) {
    texts_.emplace(std::string(entry.name), Utf8ToGbk(entry.initial_text));
  }
}

bool InMemoryControls::Has(std::string_view name) const { return texts_.contains(name); }

void InMemoryControls::SetControlText(std::string_view name, const GbkText& text) {
  if (recording_) events_.push_back({"set", std::string(name), text});
  if (auto it = texts_.find(name); it != texts_.end()) it->second = text;
}

void InMemoryControls::AppendControlText(std::string_view name, const GbkText& text) {
  if (recording_) events_.push_back({"append", std::string(name), text});
  if (auto it = texts_.find(name); it != texts_.end()) it->second += text;
}

GbkText InMemoryControls::GetControlText(std::string_view name) {
  auto it = texts_.find(name);
  GbkText text = it == texts_.end() ? GbkText() : it->second;
  if (recording_) events_.push_back({"get", std::string(name), text});
  return text;
}

void InMemoryControls::ShowMessageBox(const GbkText& text, const GbkText& caption) {
  MessageBox box{text, caption};
  if (on_message_box_) on_message_box_(box);
  message_boxes_.push_back(std::move(box));
}

void InMemoryControls::EndProcess(int exit_code) { exit_code_ = exit_code; }

}  // namespace vantry
