// Properties of reading the teacher's marks sheet and of the page's escaping, on the
// same bytes: whatever a sheet holds either reads into a consistent table or names one
// line, and no input text becomes markup on the analysis page.
#include <string>
#include <string_view>

#include "analysis/csv_table.h"
#include "analysis/teacher_marks.h"
#include "export/html_text.h"
#include "fuzz_check.h"

namespace {

using vantry::fuzz::Check;

// The table written back with every field quoted, rows ending in CRLF.
std::string Quoted(const vantry::CsvTable& table) {
  std::string out;
  for (const vantry::CsvRow& row : table.rows) {
    for (size_t f = 0; f < row.fields.size(); ++f) {
      if (f > 0) out += ',';
      out += '"';
      for (char c : row.fields[f])
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The CSV layer: a table written back in full quoting reads back the same, and rows
  // start on rising lines.
  const vantry::CsvTable table = vantry::ParseCsv(bytes);
  if (table.ok()) {
    const vantry::CsvTable again = vantry::ParseCsv(Quoted(table));
    Check(again.ok() && again.rows.size() == table.rows.size(),
          "quoted table reads back");
    for (size_t r = 0; r < table.rows.size(); ++r) {
      Check(again.rows[r].fields == table.rows[r].fields, "same fields read back");
      Check(r == 0 || table.rows[r].line > table.rows[r - 1].line,
            "rows on rising lines");
    }
  } else {
    Check(table.error_line >= 1, "a fault names its line");
  }

  // The marks: either a problem and nothing else, or every row with a name and one
  // mark per question column.
  const vantry::MarksRead read = vantry::ParseTeacherMarks(bytes);
  if (read.ok()) {
    Check(!read->questions.empty(), "a sheet has a question column");
    for (size_t row = 0; row < read->row_count(); ++row) {
      Check(!read->name(row).empty() && read->line(row) >= 1,
            "rows have a name and a line");
      Check(row == 0 || read->line(row) > read->line(row - 1), "rows on rising lines");
    }
  } else {
    // A faulty sheet holds no marks at all (the result has none to give).
    Check(!read.message().empty(), "a faulty sheet names its problem");
  }

  // The page: no angle bracket, quote or bare ampersand survives escaping.
  std::string html;
  vantry::AppendGbkHtml(vantry::GbkView(bytes), html);
  vantry::AppendHtml(bytes, html);
  for (size_t i = 0; i < html.size(); ++i) {
    const char c = html[i];
    Check(c != '<' && c != '>' && c != '"' && c != '\'', "no markup character");
    if (c == '&') {
      const std::string_view rest = std::string_view(html).substr(i);
      Check(rest.starts_with("&amp;") || rest.starts_with("&lt;") ||
                rest.starts_with("&gt;") || rest.starts_with("&quot;") ||
                rest.starts_with("&#39;"),
            "an ampersand only starts a reference");
    }
  }
  std::string json;
  vantry::AppendScriptJsonString(bytes, json);
  Check(json.find('<') == std::string::npos, "no tag can start inside the script data");
  return 0;
}
