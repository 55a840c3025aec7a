// The announcement and update notice fetched at start-up.
#ifndef VANTRY_NET_NOTICE_H_
#define VANTRY_NET_NOTICE_H_

#include <cstddef>
#include <string_view>

#include "app/controls/control_access.h"

namespace vantry {

// The notice is a small text; a longer body is cut to this many bytes.
inline constexpr size_t kNoticeBodyLimit = 1 << 20;

// Fetches "http://" + notice_host + "/info.txt" (notice_host is a host name, optionally
// with ":port"; empty makes no request, as if the request had failed) and reads the
// text up to its first NUL byte. Sets the announcement label to the text between
// "<公告>" and "</公告>" (empty when there is none). When the text between "<更新>"
// and "</更新>" is not empty, shows it in a box captioned "软件更新提示" and then ends
// the process with exit code 0; FetchNotice returns right after EndProcess (for the
// bindings where it returns). Failures of the request show nothing.
void FetchNotice(ControlAccess& controls, std::string_view notice_host);

}  // namespace vantry

#endif  // VANTRY_NET_NOTICE_H_
