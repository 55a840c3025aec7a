// Showing what the start-up notice said.
#ifndef VANTRY_APP_APPLY_NOTICE_H_
#define VANTRY_APP_APPLY_NOTICE_H_

#include "controls/control_access.h"
#include "net/notice.h"

namespace vantry {

// Sets the announcement label to the notice's announcement (empty when there is none).
// When the notice carries an update message, shows it in a box captioned "软件更新提示"
// and then ends the process with exit code 0. False when the process was ended (seen
// only with bindings whose EndProcess returns).
bool ApplyNotice(const Notice& notice, ControlAccess& controls);

}  // namespace vantry

#endif  // VANTRY_APP_APPLY_NOTICE_H_
