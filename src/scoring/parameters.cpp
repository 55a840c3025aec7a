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

GbkText NormaliseParameters(std::string_view bytes) {
  static const GbkText kFullWidthComma = Utf8ToGbk("，");
  return SubstitutePairs(TextUpToNul(bytes), {{","_gbk, kFullWidthComma}});
}

ParametersLoad LoadParameters(ProgramState& state,
                              const std::filesystem::path& directory) {
  using Status = ParametersLoad::Status;
  // Read first, then judged by what the read found: no check by name before it.
  FileReadResult read =
      ReadWholeFileWithStatus(PathInDirectory(directory, kParametersFileName));
  switch (read.status) {
    case FileReadStatus::kMissing:
      return {Status::kMissing};
    case FileReadStatus::kOk: {
      GbkReading reading = ReadAsGbk(std::move(read.bytes));
      state.SetParametersText(NormaliseParameters(reading.text));
      return {Status::kLoaded, reading.encoding, read.size,
              std::move(reading.outside_gbk)};
    }
    case FileReadStatus::kTooLarge:
      state.SetParametersText({});
      return {Status::kTooLarge, ForeignEncoding::kNone, read.size};
    case FileReadStatus::kNotRegularFile:
    case FileReadStatus::kUnreadable:
      break;
  }
  state.SetParametersText({});
  return {Status::kUnreadable};
}

}  // namespace vantry
