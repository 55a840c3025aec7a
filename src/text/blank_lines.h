// Removing the blank lines of a multi-line text.
#ifndef VANTRY_TEXT_BLANK_LINES_H_
#define VANTRY_TEXT_BLANK_LINES_H_

#include "text/gbk_text.h"

namespace vantry {

// Cleans a text with "\r\n" line breaks before it is written to a file. First trims
// `text` itself: one "\r\n" at its start and then one at its end are removed from the
// caller's variable. Then returns the trimmed text with every blank line (empty, or
// only spaces, TABs, form feeds, vertical tabs) removed, so the lines around a run of
// blank lines stay separated by one "\r\n"; a line that holds anything else, and white
// space at the end of a line, are kept. Every other byte, valid GBK or not, comes back
// unchanged. One pass over the bytes; a text without blank lines is returned as it is
// without a copy being built.
GbkText RemoveBlankLines(GbkText& text);

}  // namespace vantry

#endif  // VANTRY_TEXT_BLANK_LINES_H_
