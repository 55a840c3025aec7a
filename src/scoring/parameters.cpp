#include "scoring/parameters.h"

#include <cassert>

#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/substitute_text.h"
#include "text/tagged_fields.h"
#include "text/text_slices.h"

namespace vantry {

GbkText SubstitutePairs(
    std::string_view text,
    std::initializer_list<std::pair<std::string_view, std::string_view>> pairs, int start,
    bool case_sensitive, int count) {
  assert(pairs.size() <= 5);
  GbkText result(text);
  for (const auto& [sought, replacement] : pairs) {
    if (sought.empty()) continue;
    result = SubstituteText(result, sought, replacement, start < 1 ? 1 : start, count,
                            case_sensitive);
  }
  return result;
}

void LoadParameters(ProgramState& state, const std::filesystem::path& directory) {
  // Read first, then judged by what the read found: no check by name before it.
  const FileReadResult read =
      ReadWholeFileWithStatus(PathInDirectory(directory, kParametersFileName));
  if (read.status == FileReadStatus::kMissing) return;
  static const GbkText kFullWidthComma = Utf8ToGbk("，");
  static const GbkText kRuleStart = Utf8ToGbk("<综合题>");
  static const GbkText kRuleEnd = Utf8ToGbk("</综合题>");
  static const GbkText kMaxStart = Utf8ToGbk("<分值>");
  static const GbkText kMaxEnd = Utf8ToGbk("</分值>");
  state.parameters_text =
      SubstitutePairs(TextUpToNul(read.bytes), {{",", kFullWidthComma}});
  ExtractTaggedFields(state.parameters_text, kRuleStart, kRuleEnd, state.rule_list);
  ExtractTaggedFields(state.parameters_text, kMaxStart, kMaxEnd, state.max_score_list);
}

}  // namespace vantry
