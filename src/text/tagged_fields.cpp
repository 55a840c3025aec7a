#include "text/tagged_fields.h"

#include "platform/message_pump.h"
#include "text/find_text.h"

namespace vantry {
namespace {

// True when stepping through `marker` character by character ends exactly at its end,
// so that the byte behind a matched marker is a character boundary of the scan.
bool EndsOnCharacterBoundary(GbkView marker) {
  size_t i = 0;
  while (i < marker.size())
    i += IsLeadByte(static_cast<unsigned char>(marker[i])) ? 2 : 1;
  return i == marker.size();
}

// Finds every field in order and hands its body to `on_field`, which returns false to
// end the collection; runs ProcessPendingMessages after each field taken.
template <typename OnField>
void ScanFields(GbkView text, GbkView start_marker, GbkView end_marker,
                int64_t start_position, bool ignore_case, OnField on_field) {
  if (start_marker.empty() || end_marker.empty()) return;
  int64_t pos = start_position < 1 ? 1 : start_position;
  // A nested field ends at the same end marker as the field around it: the scan from
  // the inner field's start is a tail of the scan from the outer one when the start
  // marker ends on a character boundary. Reusing that end keeps stacked start markers
  // linear instead of rescanning to the far end marker for each of them.
  const bool reuse_end = EndsOnCharacterBoundary(start_marker);
  const TextFinder start_finder(start_marker, ignore_case);
  const TextFinder end_finder(end_marker, ignore_case);
  int64_t previous_end = -1;
  while (true) {
    const int64_t p1 = start_finder.Find(text, pos);
    if (p1 < 0) break;
    pos = p1 + static_cast<int64_t>(start_marker.size());
    const int64_t p2 =
        reuse_end && previous_end >= pos ? previous_end : end_finder.Find(text, pos);
    if (p2 < 0) break;
    previous_end = p2;
    if (!on_field(
            text.substr(static_cast<size_t>(pos) - 1, static_cast<size_t>(p2 - pos)))) {
      break;
    }
    ProcessPendingMessages();
  }
}

int64_t FieldBudget(GbkView text, int64_t max_total_bytes) {
  return max_total_bytes > 0
             ? max_total_bytes
             : 4 * static_cast<int64_t>(text.size()) + (int64_t{64} << 20);
}

}  // namespace

TaggedFieldsResult ExtractTaggedFields(GbkView text, GbkView start_marker,
                                       GbkView end_marker, std::vector<GbkText>& fields,
                                       const TaggedFieldOptions& options) {
  fields.clear();
  TaggedFieldsResult result;
  const int64_t budget = FieldBudget(text, options.max_total_bytes);
  int64_t total = 0;
  ScanFields(text, start_marker, end_marker, options.start_position, options.ignore_case,
             [&](GbkView body) {
               const GbkView head =
                   options.keep_start_marker == 1 ? start_marker : GbkView();
               const GbkView tail = options.keep_end_marker == 1 ? end_marker : GbkView();
               const size_t size = head.size() + options.prefix.size() + body.size() +
                                   options.suffix.size() + tail.size();
               if (options.length_limit != 0 &&
                   static_cast<int64_t>(size) >= options.length_limit) {
                 return true;  // too long to keep, and nothing is copied
               }
               total += static_cast<int64_t>(size);
               if (total > budget) {
                 result.complete = false;
                 return false;
               }
               GbkText& field = fields.emplace_back();
               field.reserve(size);
               field.append(head)
                   .append(options.prefix)
                   .append(body)
                   .append(options.suffix)
                   .append(tail);
               return true;
             });
  result.count = static_cast<int64_t>(fields.size());
  return result;
}

int64_t ExtractTaggedFieldViews(GbkView text, GbkView start_marker, GbkView end_marker,
                                std::vector<GbkView>& fields) {
  fields.clear();
  ScanFields(text, start_marker, end_marker, 1, false, [&](GbkView body) {
    fields.push_back(body);
    return true;
  });
  return static_cast<int64_t>(fields.size());
}

}  // namespace vantry
