// The analysis page's style sheet and script, kept as their own files in the source
// tree (analysis_page.css, analysis_page.js) and built into the program.
#ifndef VANTRY_EXPORT_PAGE_ASSETS_H_
#define VANTRY_EXPORT_PAGE_ASSETS_H_

#include <string_view>

namespace vantry {

std::string_view PageStyle();
std::string_view PageScript();
// "sha256-" and the base64 SHA-256 of PageScript(), as a Content-Security-Policy names
// the one script the page may run.
std::string_view PageScriptHash();

}  // namespace vantry

#endif  // VANTRY_EXPORT_PAGE_ASSETS_H_
