// The definition of blank-line removal, as a regular expression, for the tests.
#ifndef VANTRY_TESTING_BLANK_LINES_BY_PATTERN_H_
#define VANTRY_TESTING_BLANK_LINES_BY_PATTERN_H_

#include "text/gbk_text.h"

namespace vantry {

// The cleaning RemoveBlankLines (text/blank_lines.h) does, done by the
// regular-expression object with the pattern "\n\s*\r" (a line feed, white space, a
// carriage return) replaced by nothing: the definition RemoveBlankLines must agree
// with. Trims `text` as RemoveBlankLines does. Should the pattern engine fail, the
// trimmed text is returned uncleaned rather than lost.
GbkText RemoveBlankLinesByPattern(GbkText& text);

}  // namespace vantry

#endif  // VANTRY_TESTING_BLANK_LINES_BY_PATTERN_H_
