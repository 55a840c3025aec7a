#include "net/notice.h"

#include <algorithm>
#include <string>

#include "net/http_request.h"
#include "net/marker_text.h"
#include "text/gbk_codec.h"
#include "text/text_slices.h"

namespace vantry {
namespace {

struct NoticeTags {
  GbkText announcement_start = Utf8ToGbk("<公告>");
  GbkText announcement_end = Utf8ToGbk("</公告>");
  GbkText update_start = Utf8ToGbk("<更新>");
  GbkText update_end = Utf8ToGbk("</更新>");
};

const NoticeTags& Tags() {
  static const NoticeTags tags;
  return tags;
}

}  // namespace

Notice ParseNotice(std::string_view body) {
  const GbkText notice = TextUpToNul(body);
  const NoticeTags& tags = Tags();
  return Notice{
      .announcement = TextBetween(notice, tags.announcement_start, tags.announcement_end),
      .update = TextBetween(notice, tags.update_start, tags.update_end),
  };
}

Notice FetchNotice(std::string_view notice_host, const NoticeOptions& options) {
  if (notice_host.empty()) return {};
  HttpLimits limits;
  limits.max_body_bytes = kNoticeBodyLimit;
  // The window waits for the notice; a server that trickles must not hold it long.
  limits.total_timeout = options.total_timeout;
  limits.connect_timeout = std::min(limits.connect_timeout, options.total_timeout);
  const GbkText url = ConcatTexts("http://"_gbk, GbkView(notice_host), "/info.txt"_gbk);
  return ParseNotice(HttpRequest(url, {.limits = limits}).body);
}

}  // namespace vantry
