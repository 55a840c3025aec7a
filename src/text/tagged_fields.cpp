#include "text/tagged_fields.h"

#include "text/find_text.h"
#include "text/message_pump.h"

namespace vantry {

int ExtractTaggedFields(std::string_view text, std::string_view start_marker,
                        std::string_view end_marker, std::vector<GbkText>& fields,
                        const TaggedFieldOptions& options) {
  fields.clear();
  if (start_marker.empty() || end_marker.empty()) return 0;
  int pos = options.start_position < 1 ? 1 : options.start_position;
  while (true) {
    const int p1 = FindText(text, start_marker, pos, options.ignore_case);
    if (p1 < 0) break;
    pos = p1 + static_cast<int>(start_marker.size());
    const int p2 = FindText(text, end_marker, pos, options.ignore_case);
    if (p2 < 0) break;
    const std::string_view body =
        text.substr(static_cast<size_t>(pos) - 1, static_cast<size_t>(p2 - pos));
    GbkText field;
    field.reserve((options.keep_start_marker == 1 ? start_marker.size() : 0) +
                  options.prefix.size() + body.size() + options.suffix.size() +
                  (options.keep_end_marker == 1 ? end_marker.size() : 0));
    if (options.keep_start_marker == 1) field.append(start_marker);
    field.append(options.prefix).append(body).append(options.suffix);
    if (options.keep_end_marker == 1) field.append(end_marker);
    if (options.length_limit == 0 ||
        static_cast<int64_t>(field.size()) < static_cast<int64_t>(options.length_limit)) {
      fields.push_back(std::move(field));
    }
    ProcessPendingMessages();
  }
  return static_cast<int>(fields.size());
}

int ExtractTaggedFieldViews(std::string_view text, std::string_view start_marker,
                            std::string_view end_marker,
                            std::vector<std::string_view>& fields) {
  fields.clear();
  if (start_marker.empty() || end_marker.empty()) return 0;
  int pos = 1;
  while (true) {
    const int p1 = FindText(text, start_marker, pos);
    if (p1 < 0) break;
    pos = p1 + static_cast<int>(start_marker.size());
    const int p2 = FindText(text, end_marker, pos);
    if (p2 < 0) break;
    fields.push_back(
        text.substr(static_cast<size_t>(pos) - 1, static_cast<size_t>(p2 - pos)));
    ProcessPendingMessages();
  }
  return static_cast<int>(fields.size());
}

}  // namespace vantry
