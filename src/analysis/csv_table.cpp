#include "analysis/csv_table.h"

namespace vantry {

CsvTable ParseCsv(std::string_view text) {
  CsvTable table;
  int line = 1;
  size_t i = 0;
  const size_t n = text.size();
  // Steps over one line end at `i` (CRLF counts once); false when there is none.
  const auto skip_line_end = [&] {
    if (i >= n || (text[i] != '\r' && text[i] != '\n')) return false;
    if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    ++i;
    ++line;
    return true;
  };

  while (i < n) {
    CsvRow row;
    row.line = line;
    while (true) {
      std::string field;
      if (i < n && text[i] == '"') {
        const int opened = line;
        ++i;
        while (true) {
          if (i >= n) {
            table.error_line = opened;
            table.error = "引号没有闭合";
            return table;
          }
          if (text[i] == '"') {
            if (i + 1 < n && text[i + 1] == '"') {
              field += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= n || text[i + 1] != '\n')))
            ++line;
          field += text[i++];
        }
        if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          table.error_line = line;
          table.error = "右引号后面还有字符";
          return table;
        }
      } else {
        const size_t end = text.find_first_of(",\r\n", i);
        const size_t stop = end == std::string_view::npos ? n : end;
        field.assign(text.substr(i, stop - i));
        i = stop;
      }
      row.fields.push_back(std::move(field));
      if (i < n && text[i] == ',') {
        ++i;
        continue;
      }
      break;
    }
    skip_line_end();
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace vantry
