#include "text/tagged_fields.h"

#include "text/find_text.h"
#include "text/message_pump.h"

namespace vantry {
namespace {

// True when stepping through `marker` character by character ends exactly at its end,
// so that the byte behind a matched marker is a character boundary of the scan.
bool EndsOnCharacterBoundary(std::string_view marker) {
  size_t i = 0;
  while (i < marker.size())
    i += IsLeadByte(static_cast<unsigned char>(marker[i])) ? 2 : 1;
  return i == marker.size();
}

}  // namespace

int ExtractTaggedFields(std::string_view text, std::string_view start_marker,
                        std::string_view end_marker, std::vector<GbkText>& fields,
                        const TaggedFieldOptions& options) {
  fields.clear();
  if (start_marker.empty() || end_marker.empty()) return 0;
  int pos = options.start_position < 1 ? 1 : options.start_position;
  const int64_t budget =
      options.max_total_bytes > 0
          ? options.max_total_bytes
          : 4 * static_cast<int64_t>(text.size()) + (int64_t{64} << 20);
  int64_t total = 0;
  // A nested field ends at the same end marker as the field around it: the scan from
  // the inner field's start is a tail of the scan from the outer one when the start
  // marker ends on a character boundary. Reusing that end keeps stacked start markers
  // linear instead of rescanning to the far end marker for each of them.
  const bool reuse_end = EndsOnCharacterBoundary(start_marker);
  int previous_end = -1;
  while (true) {
    const int p1 = FindText(text, start_marker, pos, options.ignore_case);
    if (p1 < 0) break;
    pos = p1 + static_cast<int>(start_marker.size());
    const int p2 = reuse_end && previous_end >= pos
                       ? previous_end
                       : FindText(text, end_marker, pos, options.ignore_case);
    if (p2 < 0) break;
    previous_end = p2;
    const std::string_view body =
        text.substr(static_cast<size_t>(pos) - 1, static_cast<size_t>(p2 - pos));
    const std::string_view head = options.keep_start_marker == 1 ? start_marker : "";
    const std::string_view tail = options.keep_end_marker == 1 ? end_marker : "";
    const size_t size = head.size() + options.prefix.size() + body.size() +
                        options.suffix.size() + tail.size();
    total += static_cast<int64_t>(size);
    if (total > budget) break;
    if (options.length_limit == 0 ||
        static_cast<int64_t>(size) < static_cast<int64_t>(options.length_limit)) {
      GbkText& field = fields.emplace_back();
      field.reserve(size);
      field.append(head)
          .append(options.prefix)
          .append(body)
          .append(options.suffix)
          .append(tail);
    }
    ProcessPendingMessages();
  }
  return static_cast<int>(fields.size());
}

}  // namespace vantry
