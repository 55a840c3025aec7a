// The seam through which the logic reaches the main window and the process.
#ifndef VANTRY_APP_CONTROLS_CONTROL_ACCESS_H_
#define VANTRY_APP_CONTROLS_CONTROL_ACCESS_H_

#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// Controls are addressed by their fixed names (control_names.h); texts are GbkText.
// The window binds this to its widgets; InMemoryControls holds the texts in memory for
// the batch grader and the tests. All calls run on the window's thread.
class ControlAccess {
 public:
  virtual ~ControlAccess() = default;

  // Replaces an edit box's whole content, or the caption of any other control.
  virtual void SetControlText(std::string_view name, const GbkText& text) = 0;
  // Edit boxes only: caret to the end, scroll it into view, insert `text` there.
  virtual void AppendControlText(std::string_view name, const GbkText& text) = 0;
  // The control's text at this moment, including what the user typed; never cached.
  virtual GbkText GetControlText(std::string_view name) = 0;

  // Shows a task-modal box owned by the main window, with one OK button and no icon,
  // and returns when the user has dismissed it.
  virtual void ShowMessageBox(const GbkText& text, const GbkText& caption) = 0;

  // Ends the process at once with `exit_code`, saving nothing. The window's binding
  // does not return; a test binding records the code and returns, and the caller then
  // returns without doing anything further.
  virtual void EndProcess(int exit_code) = 0;
};

}  // namespace vantry

#endif  // VANTRY_APP_CONTROLS_CONTROL_ACCESS_H_
