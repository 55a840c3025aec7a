// Properties of the text primitives against a plain reference scan.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text/find_text.h"
#include "text/numbers.h"
#include "text/split_text.h"
#include "text/substitute_text.h"
#include "text/text_slices.h"

namespace {

using vantry::fuzz::Check;

// All match positions (1-based) of the character-by-character scan from `start`,
// exact or with ASCII letters folded in every byte.
std::vector<int64_t> ReferenceMatches(vantry::GbkView text, vantry::GbkView sought,
                                      int start, bool fold = false) {
  const auto f = [fold](unsigned char c) {
    return fold && c >= 'A' && c <= 'Z' ? c + 32 : c;
  };
  std::vector<int64_t> positions;
  for (size_t i = static_cast<size_t>(start) - 1; i + sought.size() <= text.size();
       i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1) {
    size_t k = 0;
    while (k < sought.size() && f(static_cast<unsigned char>(text[i + k])) ==
                                    f(static_cast<unsigned char>(sought[k]))) {
      ++k;
    }
    if (k == sought.size()) positions.push_back(static_cast<int64_t>(i) + 1);
  }
  return positions;
}

// The substitution scan: copy the bytes before start; at each position compare, on a
// match append the replacement and move behind it, else copy one character.
vantry::GbkText ReferenceSubstitute(vantry::GbkView text, vantry::GbkView sought,
                                    vantry::GbkView replacement, int start) {
  if (text.empty() || sought.empty()) return text;
  size_t i = static_cast<size_t>(start < 1 ? 1 : start) - 1;
  if (i > text.size()) i = text.size();
  vantry::GbkText out = text.substr(0, i);
  while (i + sought.size() <= text.size()) {
    if (text.substr(i, sought.size()) == sought) {
      out += replacement;
      i += sought.size();
      continue;
    }
    const size_t step = static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    out += text.substr(i, step);
    i += step;
  }
  if (i < text.size()) out += text.substr(i);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  // Sought texts long enough to reach the verifier's periodic cases.
  const vantry::GbkText sought(input.ConsumeRandomLengthString(40));
  const vantry::GbkText replacement(input.ConsumeRandomLengthString(8));
  const int start = input.ConsumeIntegralInRange<int>(-2, 64);
  const vantry::GbkText text(input.ConsumeRemainingBytesAsString());

  // FindText: the first match of the reference scan, never a position inside a character.
  const int64_t found = vantry::FindText(text, sought, start);
  const int from = start < 1 ? 1 : start;
  if (sought.empty()) {
    Check(found == (static_cast<size_t>(from) <= text.size() ? from : -1),
          "empty sought");
  } else if (static_cast<size_t>(from) > text.size()) {
    Check(found == -1, "start beyond end");
  } else {
    const std::vector<int64_t> all = ReferenceMatches(text, sought, from);
    Check(found == (all.empty() ? -1 : all.front()),
          "FindText equals the reference scan");
    const int64_t last = vantry::FindTextBackward(text, sought);
    const std::vector<int64_t> from_one = ReferenceMatches(text, sought, 1);
    Check(last == (from_one.empty() ? -1 : from_one.back()),
          "FindTextBackward equals the reference");
    const std::vector<int64_t> folded_all = ReferenceMatches(text, sought, from, true);
    Check(vantry::FindText(text, sought, start, true) ==
              (folded_all.empty() ? -1 : folded_all.front()),
          "FindText ignoring case equals the folded reference scan");
    const std::vector<int64_t> folded_from_one = ReferenceMatches(text, sought, 1, true);
    Check(vantry::FindTextBackward(text, sought, 0, true) ==
              (folded_from_one.empty() ? -1 : folded_from_one.back()),
          "FindTextBackward ignoring case equals the folded reference");
  }

  // SubstituteText: replacing a text by itself changes nothing; the byte count adds up.
  Check(vantry::SubstituteText(text, sought, sought, start) == text,
        "identity substitution");
  Check(vantry::SubstituteText(text, sought, replacement, start) ==
            ReferenceSubstitute(text, sought, replacement, start),
        "SubstituteText equals the reference scan");

  // SplitText: joining the pieces gives the text back (less one trailing separator).
  if (!sought.empty()) {
    const std::vector<vantry::GbkText> pieces = vantry::SplitText(text, sought);
    vantry::GbkText joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (i) joined += sought;
      joined += pieces[i];
    }
    Check(joined == text || joined + sought == text, "split then join");
  }

  // Trimming and space removal never add bytes; trimming is idempotent.
  const vantry::GbkText trimmed = vantry::TrimSpaces(text);
  Check(trimmed.size() <= text.size() && vantry::TrimSpaces(trimmed) == trimmed, "trim");
  Check(vantry::RemoveAllSpaces(text).size() <= text.size(), "remove spaces");

  // TextToInteger agrees with strtoll on plain ASCII digits and saturates otherwise.
  const int32_t value = vantry::TextToInteger(text);
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80 && c != 0;
  if (ascii) {
    errno = 0;
    long long ref = std::strtoll(text.c_str(), nullptr, 10);
    // strtoll accepts more than atoi does (hex prefixes do not apply with base 10).
    if (ref > INT32_MAX) ref = INT32_MAX;
    if (ref < INT32_MIN) ref = INT32_MIN;
    Check(value == ref, "TextToInteger equals the saturated strtoll");
  }
  return 0;
}
