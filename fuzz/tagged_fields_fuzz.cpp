// Properties of tagged-field extraction: fields lie inside the input, in order.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text/find_text.h"
#include "text/tagged_fields.h"

namespace {

using vantry::fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const vantry::GbkText start(input.ConsumeRandomLengthString(6));
  const vantry::GbkText end(input.ConsumeRandomLengthString(6));
  const bool ignore_case = input.ConsumeBool();
  const vantry::GbkText text(input.ConsumeRemainingBytesAsString());

  vantry::TaggedFieldOptions options;
  options.ignore_case = ignore_case;
  std::vector<vantry::GbkText> fields{vantry::GbkText("stale")};
  const vantry::TaggedFieldsResult result =
      vantry::ExtractTaggedFields(text, start, end, fields, options);
  const int64_t n = result.count;
  Check(n == static_cast<int64_t>(fields.size()), "count equals entries");
  Check(result.complete, "short inputs never reach the budget");
  if (start.empty() || end.empty()) {
    Check(n == 0, "empty markers give nothing");
    return 0;
  }
  // Walk the start markers the way the extraction does and check each field is the
  // exact slice of the input between its markers.
  int64_t pos = 1;
  for (const vantry::GbkText& field : fields) {
    const int64_t p1 = vantry::FindText(text, start, pos, ignore_case);
    Check(p1 > 0, "each field has a start marker");
    pos = p1 + static_cast<int64_t>(start.size());
    Check(static_cast<size_t>(pos) - 1 + field.size() <= text.size(),
          "field lies inside input");
    Check(
        vantry::GbkView(text).substr(static_cast<size_t>(pos) - 1, field.size()) == field,
        "field is the slice after its start marker");
    Check(vantry::FindText(text, end, pos, ignore_case) ==
              pos + static_cast<int64_t>(field.size()),
          "field ends at the next end marker");
  }
  return 0;
}
