// Reading comma-separated tables as Excel and WPS save them.
#ifndef VANTRY_ANALYSIS_CSV_TABLE_H_
#define VANTRY_ANALYSIS_CSV_TABLE_H_

#include <string>
#include <string_view>
#include <vector>

namespace vantry {

// One row of a table: its fields, unquoted, and the line of the file where it starts
// (a quoted field may hold line breaks, so a row can span several lines).
struct CsvRow {
  int line = 0;  // 1-based
  std::vector<std::string> fields;
};

struct CsvTable {
  std::vector<CsvRow> rows;
  // Set when the text is not a well-formed table: the 1-based line of the fault and
  // what is wrong (Chinese, UTF-8); `rows` then holds the rows before it.
  int error_line = 0;
  std::string error;

  bool ok() const { return error.empty(); }
};

// Splits `text` into rows and fields. Rows end at CRLF, LF or CR; a field in double
// quotes may hold commas, quotes (written twice) and line breaks. The bytes are taken
// as they are, so GBK and UTF-8 text read alike (neither uses ASCII bytes inside a
// character). Faults: a quote left open at the end of the text, and anything but a
// comma or a line end after a closing quote. A quote inside an unquoted field is kept
// as text, as Excel reads it.
CsvTable ParseCsv(std::string_view text);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_CSV_TABLE_H_
