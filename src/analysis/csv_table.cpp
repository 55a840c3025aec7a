#include "analysis/csv_table.h"

#include <utility>

namespace vantry {

bool CsvReader::Fail(int line, std::string_view what) {
  error_line_ = line;
  status_ = Failure{std::string(what)};
  at_ = text_.size();
  return false;
}

bool CsvReader::Next(CsvField& field) {
  // A row ended by the last field: the text is over unless a field or line follows.
  if (!ok() || (at_ >= text_.size() && column_ == 0)) return false;
  const std::string_view text = text_;
  const size_t n = text.size();
  size_t i = at_;
  field.row_line = row_line_;
  field.column = column_;
  if (i < n && text[i] == '"') {
    const int opened = line_;
    const size_t begin = ++i;
    bool doubled = false;
    while (true) {
      if (i >= n) return Fail(opened, "引号没有闭合");
      if (text[i] == '"') {
        if (i + 1 < n && text[i + 1] == '"') {
          doubled = true;
          i += 2;
          continue;
        }
        break;
      }
      if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= n || text[i + 1] != '\n')))
        ++line_;
      ++i;
    }
    const std::string_view quoted = text.substr(begin, i - begin);
    ++i;  // the closing quote
    if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
      return Fail(line_, "右引号后面还有字符");
    if (doubled) {
      unquoted_.clear();
      for (size_t k = 0; k < quoted.size(); ++k) {
        unquoted_ += quoted[k];
        if (quoted[k] == '"') ++k;  // the second of a doubled quote
      }
      field.text = unquoted_;
    } else {
      field.text = quoted;
    }
  } else {
    const size_t end = text.find_first_of(",\r\n", i);
    const size_t stop = end == std::string_view::npos ? n : end;
    field.text = text.substr(i, stop - i);
    i = stop;
  }
  if (i < n && text[i] == ',') {
    at_ = i + 1;
    ++column_;
    field.ends_row = false;
    return true;
  }
  // The row ends here: step over one line end (CRLF counts once).
  if (i < n) {
    if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    ++i;
    ++line_;
  }
  at_ = i;
  column_ = 0;
  row_line_ = line_;
  field.ends_row = true;
  return true;
}

CsvTable ParseCsv(std::string_view text) {
  CsvTable table;
  CsvReader reader(text);
  CsvField field;
  CsvRow row;
  while (reader.Next(field)) {
    row.line = field.row_line;
    row.fields.emplace_back(field.text);
    if (field.ends_row) table.rows.push_back(std::exchange(row, CsvRow()));
  }
  if (!reader.ok()) {
    table.error_line = reader.error_line();
    table.status = reader.status();
  }
  return table;
}

}  // namespace vantry
