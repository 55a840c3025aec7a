// Properties of blank-line removal and of the regular-expression object.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "testing/blank_lines_by_pattern.h"
#include "testing/regex_object.h"
#include "text/blank_lines.h"

namespace {

using vantry::GbkText;
using vantry::GbkView;
using vantry::operator""_gbk;
using vantry::fuzz::Check;

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

GbkText WithoutWhiteSpace(GbkView text) {
  GbkText out;
  for (char c : text) {
    if (!IsWhite(c)) out.push_back(c);
  }
  return out;
}

// True when every line feed is preceded by a CR and every CR followed by a line feed.
bool HasCrlfBreaksOnly(GbkView text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const GbkText pattern(input.ConsumeRandomLengthString(16));
  const bool case_sensitive = input.ConsumeBool();
  const bool global = input.ConsumeBool();
  const GbkText text(input.ConsumeRemainingBytesAsString());

  // Blank-line removal only ever removes white space, and with CRLF breaks it leaves no
  // line between two line breaks that holds only white space.
  GbkText trimmed = text;
  const GbkText cleaned = vantry::RemoveBlankLines(trimmed);
  // The byte path and the pattern engine agree, on the result and on the trimming.
  GbkText trimmed_by_pattern = text;
  Check(vantry::RemoveBlankLinesByPattern(trimmed_by_pattern) == cleaned,
        "byte path equals the pattern");
  Check(trimmed_by_pattern == trimmed, "both trim alike");
  Check(cleaned.size() <= text.size(), "never adds bytes");
  Check(WithoutWhiteSpace(cleaned) == WithoutWhiteSpace(text),
        "removes only white space");
  if (HasCrlfBreaksOnly(text)) {
    size_t line_start = std::string::npos;  // start of a line that follows a break
    for (size_t i = 0; i + 1 < cleaned.size(); ++i) {
      if (cleaned[i] != '\r' || cleaned[i + 1] != '\n') continue;
      if (line_start != std::string::npos) {
        bool blank = true;
        for (size_t k = line_start; k < i; ++k) blank = blank && IsWhite(cleaned[k]);
        Check(!blank, "no blank line between two line breaks");
      }
      line_start = i + 2;
    }
  }

  // The regex object: every match is the subject's own bytes at its offset, and
  // replacing each match by itself gives the subject back.
  vantry::RegexObject regex;
  if (!regex.Create(pattern, text, {.case_sensitive = case_sensitive, .global = global}))
    return 0;
  const int count = regex.MatchCount();
  Check(count >= 0 && (global || count <= 1), "match count");
  for (int n = 1; n <= count && n <= 64; ++n) {
    int offset = -2;
    const GbkText match = regex.MatchText(n, &offset);
    Check(offset >= 0 && static_cast<size_t>(offset) + match.size() <= text.size() &&
              GbkView(text).substr(static_cast<size_t>(offset), match.size()) == match,
          "match text lies at its offset");
  }
  Check(regex.Replace("$&"_gbk) == text,
        "replacing matches by themselves is the identity");
  vantry::RegexObject copy = regex;
  Check(copy.MatchCount() == count && copy.GetPattern() == regex.GetPattern(), "copy");
  return 0;
}
