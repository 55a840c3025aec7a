#include "scoring/parameters.h"

#include <cassert>

#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/substitute_text.h"
#include "text/tagged_fields.h"

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

FileReadResult LoadParameters(ProgramState& state,
                              const std::filesystem::path& directory) {
  // Read first, then judged by what the read found: no check by name before it.
  FileReadResult read =
      ReadWholeFileWithStatus(PathInDirectory(directory, kParametersFileName));
  if (read.status == FileReadStatus::kMissing) return read;
  static const GbkText kFullWidthComma = Utf8ToGbk("，");
  static const GbkText kRuleStart = Utf8ToGbk("<综合题>");
  static const GbkText kRuleEnd = Utf8ToGbk("</综合题>");
  static const GbkText kMaxStart = Utf8ToGbk("<分值>");
  static const GbkText kMaxEnd = Utf8ToGbk("</分值>");
  // Cut at the first NUL in place: a copy of a large file would take its size again.
  if (const size_t nul = read.bytes.find('\0'); nul != std::string::npos) {
    read.bytes.resize(nul);
  }
  state.parameters_text = SubstitutePairs(read.bytes, {{",", kFullWidthComma}});
  ExtractTaggedFields(state.parameters_text, kRuleStart, kRuleEnd, state.rule_list);
  ExtractTaggedFields(state.parameters_text, kMaxStart, kMaxEnd, state.max_score_list);
  read.bytes = std::string();  // only the status and the size are of use now
  return read;
}

}  // namespace vantry
