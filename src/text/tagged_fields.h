// Collecting the values between a start marker and an end marker.
#ifndef VANTRY_TEXT_TAGGED_FIELDS_H_
#define VANTRY_TEXT_TAGGED_FIELDS_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace vantry {

// Options of ExtractTaggedFields; the defaults are what every caller in the program
// uses: exact case, from position 1, markers excluded, nothing added, no limit.
struct TaggedFieldOptions {
  bool ignore_case = false;
  // 0 keeps every field; otherwise only fields shorter than the limit are kept.
  int length_limit = 0;
  GbkText prefix;
  GbkText suffix;
  // 1 puts the start marker in front of the field (in front of the prefix).
  int keep_start_marker = 0;
  // 1 puts the end marker after the field (after the suffix).
  int keep_end_marker = 0;
  // 1-based byte position of the first search; below 1 counts as 1.
  int start_position = 1;
  // The most bytes all collected fields may hold together; 0 means four times the
  // text plus 64 MiB. Well-formed text never comes near it (its fields together are
  // no longer than the text), but every nested start marker repeats the rest of the
  // text, so a file of stacked start markers would otherwise ask for terabytes.
  int64_t max_total_bytes = 0;
};

// Empties `fields`, then appends every text that stands between a start marker and the
// next end marker after it, in order. The search for the next start marker resumes at
// the first byte of the field just taken, so a start marker inside a field opens a
// nested field; the first start marker without an end marker after it ends the
// collection, and so does a field that would take the fields past max_total_bytes.
// Runs ProcessPendingMessages once per field found. An empty marker gives no fields.
// Linear in the text for nested markers too. Returns the number of entries in `fields`.
int ExtractTaggedFields(std::string_view text, std::string_view start_marker,
                        std::string_view end_marker, std::vector<GbkText>& fields,
                        const TaggedFieldOptions& options = {});

// As ExtractTaggedFields with the default options, giving views into `text` instead
// of copies: for large texts that outlive the fields (the answer sheet of a grading
// run). Runs ProcessPendingMessages once per field found, too.
int ExtractTaggedFieldViews(std::string_view text, std::string_view start_marker,
                            std::string_view end_marker,
                            std::vector<std::string_view>& fields);

}  // namespace vantry

#endif  // VANTRY_TEXT_TAGGED_FIELDS_H_
