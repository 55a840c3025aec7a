// The announcement and update notice fetched at start-up.
#ifndef VANTRY_NET_NOTICE_H_
#define VANTRY_NET_NOTICE_H_

#include <chrono>
#include <cstddef>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// The notice is a small text; a longer body is cut to this many bytes.
inline constexpr size_t kNoticeBodyLimit = 1 << 20;

// What a notice said. Both texts are empty when the request failed.
struct Notice {
  // The text between "<公告>" and "</公告>", for the announcement label.
  GbkText announcement;
  // The text between "<更新>" and "</更新>"; when it is not empty the program shows it
  // in a box captioned "软件更新提示" and then ends.
  GbkText update;
};

struct NoticeOptions {
  // The whole exchange, connection and redirects included.
  std::chrono::milliseconds total_timeout{60'000};
};

// The fields of a notice body: the text up to its first NUL byte, then the first
// field of each kind (empty when it has none).
Notice ParseNotice(std::string_view body);

// Fetches "http://" + notice_host + "/info.txt" (a host name, optionally with ":port";
// empty makes no request, as if the request had failed), keeping at most
// kNoticeBodyLimit bytes, and parses it. A failed request gives an empty notice.
Notice FetchNotice(std::string_view notice_host, const NoticeOptions& options = {});

}  // namespace vantry

#endif  // VANTRY_NET_NOTICE_H_
