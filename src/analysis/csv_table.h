// Reading comma-separated tables as Excel and WPS save them.
#ifndef VANTRY_ANALYSIS_CSV_TABLE_H_
#define VANTRY_ANALYSIS_CSV_TABLE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace vantry {

// One field of a table, as CsvReader hands it out.
struct CsvField {
  // Unquoted; valid until the reader's next call.
  std::string_view text;
  // The 1-based line of the file where the field's row starts (a quoted field may hold
  // line breaks, so a row can span several lines).
  int row_line = 0;
  // 0-based position in its row.
  size_t column = 0;
  // The last field of its row.
  bool ends_row = false;
};

// Reads `text` field by field, holding no more than the field at hand (a field copied
// only when it has doubled quotes to undo), so a table of any shape is read in memory
// of the order of its longest field. Rows end at CRLF, LF or CR; a field in double
// quotes may hold commas, quotes (written twice) and line breaks. The bytes are taken
// as they are, so GBK and UTF-8 text read alike (neither uses ASCII bytes inside a
// character). Faults: a quote left open at the end of the text, and anything but a
// comma or a line end after a closing quote. A quote inside an unquoted field is kept
// as text, as Excel reads it. An empty line is a row of one empty field.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {}

  // The next field; false at the end of the text or at a fault (see ok()).
  [[nodiscard]] bool Next(CsvField& field);

  bool ok() const { return status_.ok(); }
  // At a fault: its 1-based line, and the failure saying what is wrong.
  int error_line() const { return error_line_; }
  const Status& status() const { return status_; }

 private:
  bool Fail(int line, std::string_view what);

  std::string_view text_;
  size_t at_ = 0;
  int line_ = 1;
  // Where the row being read starts, and the next field's column in it.
  int row_line_ = 1;
  size_t column_ = 0;
  std::string unquoted_;  // a quoted field with its doubled quotes undone
  int error_line_ = 0;
  Status status_;
};

// One row of a table: its fields, unquoted, and the line of the file where it starts.
struct CsvRow {
  int line = 0;  // 1-based
  std::vector<std::string> fields;
};

struct CsvTable {
  std::vector<CsvRow> rows;
  // Fails when the text is not a well-formed table, saying what is wrong; `rows` then
  // holds the rows before the fault, and `error_line` is its 1-based line.
  Status status;
  int error_line = 0;

  bool ok() const { return status.ok(); }
};

// The whole table at once, read as CsvReader reads it. Every field costs a string, so
// this is for small texts; a sheet from a user's disk is read with CsvReader.
[[nodiscard]] CsvTable ParseCsv(std::string_view text);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_CSV_TABLE_H_
