// Text written into the analysis page: every text from the input files passes here, so
// that a name like <script> shows as text and runs nothing.
#ifndef VANTRY_EXPORT_HTML_TEXT_H_
#define VANTRY_EXPORT_HTML_TEXT_H_

#include <string>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// Appends UTF-8 `text` with &, <, >, " and ' written as character references, so it is
// inert both as element text and inside a quoted attribute value.
void AppendHtml(std::string_view text, std::string& out);

// Appends a GBK text from the input files in UTF-8, escaped as by AppendHtml, on one
// line: bytes that are not valid GBK and control characters show as U+FFFD, a line
// break as "↵" and a TAB as "⇥".
void AppendGbkHtml(GbkView gbk, std::string& out);

// Appends UTF-8 `text` as a JSON string literal (with its quotes) that is safe inside a
// <script> element: <, > and & are written as \u escapes, so no "</script>" or "<!--"
// can end or bend the element, and U+2028 and U+2029 are escaped too.
void AppendScriptJsonString(std::string_view text, std::string& out);

}  // namespace vantry

#endif  // VANTRY_EXPORT_HTML_TEXT_H_
