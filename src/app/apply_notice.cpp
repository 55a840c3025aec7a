#include "app/apply_notice.h"

#include "controls/control_names.h"
#include "text/gbk_codec.h"

namespace vantry {

bool ApplyNotice(const Notice& notice, ControlAccess& controls) {
  static const GbkText kUpdateCaption = Utf8ToGbk(controls::kUpdateCaption);
  controls.SetControlText(controls::kAnnouncement, notice.announcement);
  if (notice.update.empty()) return true;
  controls.ShowMessageBox(notice.update, kUpdateCaption);
  controls.EndProcess(0);
  return false;
}

}  // namespace vantry
