// The seam through which the logic reaches the main window and the process.
#ifndef VANTRY_CONTROLS_CONTROL_ACCESS_H_
#define VANTRY_CONTROLS_CONTROL_ACCESS_H_

#include <string_view>

#include "controls/control_names.h"
#include "controls/scoring_box_reader.h"
#include "text/gbk_text.h"

namespace vantry {

// Controls are addressed by their fixed names (control_table.h); texts are GbkText.
// The window binds this to its widgets; InMemoryControls holds the texts in memory for
// the tests. All calls run on the window's thread. The scoring boxes read through
// GetControlText unless a binding knows a cheaper way to the same current text.
class ControlAccess : public ScoringBoxReader {
 public:
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

  GbkText PointsPerHitText() override { return GetControlText(controls::kPointsPerHit); }
  GbkText OrderKeysText() override { return GetControlText(controls::kOrderKeys); }
};

}  // namespace vantry

#endif  // VANTRY_CONTROLS_CONTROL_ACCESS_H_
