#include "testing/blank_lines_by_pattern.h"

#include <string_view>

#include "testing/regex_object.h"

namespace vantry {

GbkText RemoveBlankLinesByPattern(GbkText& text) {
  // One "\r\n" at the start and then one at the end go first, as RemoveBlankLines
  // trims them.
  constexpr GbkView kLineBreak = "\r\n"_gbk;
  if (text.starts_with(kLineBreak)) text.erase(0, kLineBreak.size());
  if (text.ends_with(kLineBreak)) {
    text.resize(text.size() - kLineBreak.size());
  }
  // A match runs from the line feed of one line break over white space to the carriage
  // return of the last line break it can reach; removing it joins the first break's
  // carriage return to the last break's line feed.
  RegexObject regex;
  if (!regex.Create("\\n\\s*\\r"_gbk, text)) return text;
  return regex.Replace(""_gbk);
}

}  // namespace vantry
