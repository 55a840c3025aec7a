// The notice server's response body as a hostile server may send it: the announcement
// and the update text are the first fields of their kind, found by a plain reference
// scan, and always slices of the body before its first NUL.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fuzz_check.h"
#include "net/notice.h"
#include "text/gbk_codec.h"

namespace {

using vantry::fuzz::Check;

// The first `sought` at or after `from` on character boundaries counted from `from`.
size_t Find(vantry::GbkView text, vantry::GbkView sought, size_t from) {
  for (size_t i = from; i + sought.size() <= text.size();
       i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1) {
    if (text.substr(i, sought.size()) == sought) return i;
  }
  return vantry::GbkView::npos;
}

vantry::GbkText Between(vantry::GbkView text, vantry::GbkView start,
                        vantry::GbkView end) {
  const size_t s = Find(text, start, 0);
  if (s == vantry::GbkView::npos) return {};
  const size_t e = Find(text, end, s + start.size());
  if (e == vantry::GbkView::npos) return {};
  return text.substr(s + start.size(), e - s - start.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vantry::GbkText kAnnouncementStart = vantry::Utf8ToGbk("<公告>");
  static const vantry::GbkText kAnnouncementEnd = vantry::Utf8ToGbk("</公告>");
  static const vantry::GbkText kUpdateStart = vantry::Utf8ToGbk("<更新>");
  static const vantry::GbkText kUpdateEnd = vantry::Utf8ToGbk("</更新>");
  const std::string body(reinterpret_cast<const char*>(data), size);
  const vantry::Notice notice = vantry::ParseNotice(body);
  const vantry::GbkText text(body.substr(0, body.find('\0')));
  Check(notice.announcement == Between(text, kAnnouncementStart, kAnnouncementEnd),
        "the announcement is the first field between its tags");
  Check(notice.update == Between(text, kUpdateStart, kUpdateEnd),
        "the update is the first field between its tags");
  Check(notice.announcement.find('\0') == vantry::GbkText::npos &&
            notice.update.find('\0') == vantry::GbkText::npos,
        "nothing after the first NUL is read");
  return 0;
}
