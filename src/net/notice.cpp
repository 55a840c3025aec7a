#include "net/notice.h"

#include <chrono>
#include <string>

#include "app/controls/control_names.h"
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
  GbkText update_caption = Utf8ToGbk(controls::kUpdateCaption);
};

const NoticeTags& Tags() {
  static const NoticeTags tags;
  return tags;
}

}  // namespace

void FetchNotice(ControlAccess& controls, std::string_view notice_host) {
  std::string body;
  if (!notice_host.empty()) {
    HttpLimits limits;
    limits.max_body_bytes = kNoticeBodyLimit;
    // The window waits for the notice; a server that trickles must not hold it long.
    limits.total_timeout = std::chrono::seconds(60);
    const std::string url = ConcatTexts("http://", notice_host, "/info.txt");
    body = HttpRequest(url, 0, {}, nullptr, nullptr, nullptr, nullptr, false, nullptr, {},
                       true, limits);
  }
  const GbkText notice = TextUpToNul(body);
  const NoticeTags& tags = Tags();
  controls.SetControlText(
      controls::kAnnouncement,
      TextBetween(notice, tags.announcement_start, tags.announcement_end));
  const GbkText update = TextBetween(notice, tags.update_start, tags.update_end);
  if (update.empty()) return;
  controls.ShowMessageBox(update, tags.update_caption);
  controls.EndProcess(0);
}

}  // namespace vantry
