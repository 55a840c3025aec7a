#include "scoring/parameters.h"

#include <cassert>
#include <system_error>

#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/substitute_text.h"
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

GbkText NormaliseParameters(std::string_view bytes) {
  static const GbkText kFullWidthComma = Utf8ToGbk("，");
  return SubstitutePairs(TextUpToNul(bytes), {{",", kFullWidthComma}});
}

ParametersLoad LoadParameters(ProgramState& state,
                              const std::filesystem::path& directory) {
  using Status = ParametersLoad::Status;
  const std::filesystem::path path = PathInDirectory(directory, kParametersFileName);
  if (!PathExists(path)) return {Status::kMissing};
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    state.SetParametersText({});
    return {Status::kUnreadable};
  }
  const std::string bytes = ReadWholeFile(path);
  state.SetParametersText(NormaliseParameters(bytes));
  return {Status::kLoaded, DetectForeignEncoding(bytes)};
}

}  // namespace vantry
