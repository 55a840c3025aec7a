#include "scoring/parameters.h"

#include <cassert>
#include <utility>

#include "platform/file_io.h"
#include "text/gbk_codec.h"
#include "text/substitute_text.h"
#include "text/text_slices.h"

namespace vantry {

GbkText SubstitutePairs(GbkView text,
                        std::initializer_list<std::pair<GbkView, GbkView>> pairs,
                        int start, bool case_sensitive, int count) {
  assert(pairs.size() <= 5);
  GbkText result(text);
  for (const auto& [sought, replacement] : pairs) {
    if (sought.empty()) continue;
    result = SubstituteText(result, sought, replacement, start < 1 ? 1 : start, count,
                            case_sensitive);
  }
  return result;
}

GbkText NormaliseParameters(GbkView text) {
  static const GbkText kFullWidthComma = Utf8ToGbk("，");
  return SubstitutePairs(TextUpToNul(text.bytes()), {{","_gbk, kFullWidthComma}});
}

ParametersLoad LoadParameters(ProgramState& state,
                              const std::filesystem::path& directory) {
  // Read first, then judged by what the read found: no check by name before it.
  FileRead read =
      ReadWholeFileWithStatus(PathInDirectory(directory, kParametersFileName));
  if (read.ok()) {
    GbkReading reading = ReadAsGbk(std::move(read->bytes));
    state.SetParametersText(NormaliseParameters(reading.text));
    return ParametersFile{reading.encoding, read->size, std::move(reading.outside_gbk)};
  }
  if (read.failure().problem != FileReadProblem::kMissing) state.SetParametersText({});
  return read.failure();
}

}  // namespace vantry
