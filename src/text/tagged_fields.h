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
  int64_t length_limit = 0;
  GbkText prefix;
  GbkText suffix;
  // 1 puts the start marker in front of the field (in front of the prefix).
  int keep_start_marker = 0;
  // 1 puts the end marker after the field (after the suffix).
  int keep_end_marker = 0;
  // 1-based byte position of the first search; below 1 counts as 1.
  int64_t start_position = 1;
  // The most bytes the copied fields may hold together; 0 means four times the text
  // plus 64 MiB. Well-formed text never comes near it (its fields together are no
  // longer than the text), but every nested start marker copies the rest of the text
  // again, so stacked start markers would otherwise ask for terabytes. Views
  // (ExtractTaggedFieldViews) need no such limit.
  int64_t max_total_bytes = 0;
};

struct TaggedFieldsResult {
  // The number of entries in the fields.
  int64_t count = 0;
  // False when max_total_bytes ended the collection: the field that did not fit and
  // every one after it are missing.
  bool complete = true;
};

// Empties `fields`, then appends every text that stands between a start marker and the
// next end marker after it, in order. The search for the next start marker resumes at
// the first byte of the field just taken, so a start marker inside a field opens a
// nested field; the first start marker without an end marker after it ends the
// collection, and so does a field that would take the copies past max_total_bytes
// (which the result reports). Runs ProcessPendingMessages once per field found. An
// empty marker gives no fields. Linear in the text for nested markers too.
TaggedFieldsResult ExtractTaggedFields(GbkView text, GbkView start_marker,
                                       GbkView end_marker, std::vector<GbkText>& fields,
                                       const TaggedFieldOptions& options = {});

// As ExtractTaggedFields with the default options, giving views into `text` instead
// of copies, and every field however they nest: 16 bytes a field, so memory stays
// linear in the text. For texts that outlive the fields (the answer sheet of a grading
// run, the rules). Runs ProcessPendingMessages once per field found, too. Returns the
// number of fields.
int64_t ExtractTaggedFieldViews(GbkView text, GbkView start_marker, GbkView end_marker,
                                std::vector<GbkView>& fields);

}  // namespace vantry

#endif  // VANTRY_TEXT_TAGGED_FIELDS_H_
