// The whole record of a grading run as JSON, for other programs (shape in
// docs/json-format.md).
#ifndef VANTRY_EXPORT_JSON_RECORD_H_
#define VANTRY_EXPORT_JSON_RECORD_H_

#include <filesystem>
#include <string>
#include <string_view>

#include "analysis/class_statistics.h"
#include "grading/graded_class.h"
#include "platform/result.h"
#include "text/gbk_text.h"

namespace vantry {

// The shape's name and version; the version changes only when a field changes meaning
// or goes away (new fields may be added within a version).
inline constexpr std::string_view kJsonFormatName = "vantry-grading-record";
inline constexpr int kJsonFormatVersion = 1;

// The two scoring boxes' texts (GBK) the class was graded with.
struct JsonBoxes {
  GbkText points_per_hit;
  GbkText order_keys;
};

// Writes every paper's full record to `path` (UTF-8 JSON, one paper per line inside
// the "papers" array), replacing a file there whole or not at all. Streams paper by
// paper, so memory stays bounded whatever the class size. Fails when it could not be
// written.
[[nodiscard]] Status WriteJsonRecord(const GradedClass& graded,
                                     const ClassStatistics& stats, const JsonBoxes& boxes,
                                     const std::filesystem::path& path);

// One paper's JSON object as written in the record (compact, UTF-8); `rank` is its rank
// in the class.
std::string PaperJson(const PaperRecord& paper, int64_t index, int64_t rank);

}  // namespace vantry

#endif  // VANTRY_EXPORT_JSON_RECORD_H_
