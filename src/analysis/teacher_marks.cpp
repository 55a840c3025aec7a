#include "analysis/teacher_marks.h"

#include <algorithm>
#include <limits>
#include <string>
#include <system_error>

#include "analysis/csv_table.h"
#include "text/file_io.h"
#include "text/foreign_encoding.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// A hand-filled sheet is a few hundred kilobytes; anything far larger is not one.
constexpr uintmax_t kMaxSheetBytes = 64u << 20;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsAsciiSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The problem line: "第N行：" and what is wrong, in GBK.
GbkText AtLine(int line, std::string_view utf8_what) {
  return Utf8ToGbk("第" + std::to_string(line) + "行：" + std::string(utf8_what));
}

// The sheet's bytes as GBK text, or a problem.
bool DecodeSheet(std::string_view bytes, GbkText& text, GbkText& problem) {
  if (bytes.starts_with(kUtf8Bom)) {
    text = Utf8ToGbk(bytes.substr(kUtf8Bom.size()));
    return true;
  }
  switch (DetectForeignEncoding(bytes)) {
    case ForeignEncoding::kUtf8:
      text = Utf8ToGbk(bytes);
      return true;
    case ForeignEncoding::kUtf16:
      problem = Utf8ToGbk(
          "文件是 UTF-16 编码（Unicode 文本）：请在 Excel 或 WPS 中另存为"
          "“CSV（逗号分隔）”");
      return false;
    case ForeignEncoding::kNone:
      break;
  }
  if (!IsValidGbk(bytes)) {
    problem = Utf8ToGbk("文件既不是 GBK 也不是 UTF-8 编码：请另存为 CSV");
    return false;
  }
  text.assign(bytes);
  return true;
}

// A GBK text with full-width digits, signs and dots folded to ASCII (UTF-8 is the
// same for ASCII, so the result can be read as either).
std::string FoldFullWidth(std::string_view gbk) {
  std::string folded;
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    if (IsLeadByte(c) && i + 1 < gbk.size()) {
      const auto t = static_cast<unsigned char>(gbk[i + 1]);
      if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) {
        folded += static_cast<char>(t - 0x80);
      } else {
        folded += gbk.substr(i, 2);
      }
      ++i;
    } else {
      folded += static_cast<char>(c);
    }
  }
  return folded;
}

// A mark in whole or half points, as Excel and WPS export it: an optional sign, digits,
// an optional fraction of a half or of zeros ("7", "-1", "8.0", "6.5", "6.50") and an
// optional unit "分" ("6.5分"). False for anything else (another fraction, words) or
// beyond the 32-bit range of points.
bool ReadMark(std::string_view cell, HalfPoints& mark) {
  static const std::string kUnit = Utf8ToGbk("分");
  const std::string folded = FoldFullWidth(cell);
  std::string_view text = folded;
  // Bytes that only look like the unit (the end of another character) leave no number
  // before them, so nothing wrong is accepted.
  if (text.ends_with(kUnit))
    text = TrimSpaces(text.substr(0, text.size() - kUnit.size()));
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t digits_begin = i;
  int64_t points = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    points = points * 10 + (text[i++] - '0');
    if (points > std::numeric_limits<int32_t>::max()) return false;
  }
  if (i == digits_begin) return false;
  bool half = false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (i < text.size() && text[i] == '5') {
      half = true;
      ++i;
    }
    while (i < text.size() && text[i] == '0') ++i;
  }
  if (i != text.size()) return false;
  const HalfPoints magnitude = ToHalfPoints(points) + (half ? 1 : 0);
  mark = negative ? -magnitude : magnitude;
  return true;
}

// The number of "一".."九十九" in Chinese numerals (UTF-8), 0 when it is none.
int ChineseNumber(std::string_view utf8) {
  static constexpr std::string_view kDigits[] = {"一", "二", "三", "四", "五",
                                                 "六", "七", "八", "九"};
  constexpr std::string_view kTen = "十";
  const auto digit_at = [&](size_t pos) -> int {
    for (int d = 0; d < 9; ++d) {
      if (utf8.substr(pos).starts_with(kDigits[d])) return d + 1;
    }
    return 0;
  };
  // Every character here is three bytes in UTF-8.
  if (utf8.empty() || utf8.size() % 3 != 0 || utf8.size() > 9) return 0;
  const size_t ten = utf8.find(kTen);
  if (ten == std::string_view::npos) {
    return utf8.size() == 3 ? digit_at(0) : 0;
  }
  if (ten % 3 != 0 || ten > 3) return 0;
  const int tens = ten == 0 ? 1 : digit_at(0);
  const size_t after = ten + kTen.size();
  const int ones = after == utf8.size() ? 0 : digit_at(after);
  if (tens == 0 || (after != utf8.size() && (ones == 0 || after + 3 != utf8.size())))
    return 0;
  return tens * 10 + ones;
}

// The question a header cell names ("第3题", "第３题", "第三题", "第3题（10分）"), 0 when
// it names none.
int HeaderQuestion(std::string_view cell) {
  const std::string utf8 = GbkToUtf8(FoldFullWidth(TrimSpaces(cell)));
  constexpr std::string_view kOrdinal = "第", kQuestion = "题";
  if (!std::string_view(utf8).starts_with(kOrdinal)) return 0;
  const size_t end = utf8.find(kQuestion);
  if (end == std::string::npos) return 0;
  const std::string_view rest = std::string_view(utf8).substr(end + kQuestion.size());
  if (!rest.empty() && !rest.starts_with("(") && !rest.starts_with("（")) return 0;
  const std::string_view number =
      std::string_view(utf8).substr(kOrdinal.size(), end - kOrdinal.size());
  if (number.empty()) return 0;
  if (std::all_of(number.begin(), number.end(),
                  [](char c) { return c >= '0' && c <= '9'; })) {
    if (number.size() > 4) return 0;
    return std::stoi(std::string(number));
  }
  return ChineseNumber(number);
}

bool IsBlankRow(const CsvRow& row) {
  return std::all_of(row.fields.begin(), row.fields.end(),
                     [](const std::string& f) { return TrimSpaces(f).empty(); });
}

// Where each named column lies.
struct Header {
  size_t name_column = 0;
  std::vector<size_t> mark_columns;  // parallel to TeacherMarks::questions
  size_t width = 0;                  // fields of the header row
  size_t named_width = 0;            // up to and including its last named column
};

bool ReadHeader(const CsvRow& row, Header& header, TeacherMarks& marks,
                GbkText& problem) {
  const GbkText name_title = Utf8ToGbk("姓名");
  bool has_name = false;
  header.width = row.fields.size();
  for (size_t c = 0; c < row.fields.size(); ++c) {
    const std::string_view cell = TrimSpaces(row.fields[c]);
    if (!cell.empty()) header.named_width = c + 1;
    if (cell == name_title) {
      if (has_name) {
        problem = AtLine(row.line, "表头有两列“姓名”");
        return false;
      }
      has_name = true;
      header.name_column = c;
      continue;
    }
    const int question = HeaderQuestion(cell);
    if (question == 0) continue;  // 总分, notes and the like
    if (std::find(marks.questions.begin(), marks.questions.end(), question) !=
        marks.questions.end()) {
      problem = AtLine(row.line, "表头有两列“第" + std::to_string(question) + "题”");
      return false;
    }
    marks.questions.push_back(question);
    header.mark_columns.push_back(c);
  }
  if (!has_name) {
    problem = AtLine(row.line,
                     "表头（第一个非空行）没有“姓名”列；表头应是：姓名,第1题,第2题,…");
    return false;
  }
  if (marks.questions.empty()) {
    problem =
        AtLine(row.line, "表头没有“第1题”这样的题目列；表头应是：姓名,第1题,第2题,…");
    return false;
  }
  return true;
}

// A cell as a problem quotes it: at most 16 characters, control characters shown as
// "?", so a stray cell cannot flood or steer the terminal that prints the problem.
std::string QuotedCell(std::string_view gbk) {
  constexpr int kMaxCharacters = 16;
  std::string shown;
  int characters = 0;
  for (size_t i = 0; i < gbk.size(); ++characters) {
    if (characters == kMaxCharacters) return GbkToUtf8(shown) + "…";
    const auto c = static_cast<unsigned char>(gbk[i]);
    const size_t width = IsLeadByte(c) && i + 1 < gbk.size() ? 2 : 1;
    if (width == 1 && (c < 0x20 || c == 0x7F)) {
      shown += '?';
    } else {
      shown += gbk.substr(i, width);
    }
    i += width;
  }
  return GbkToUtf8(shown);
}

bool ReadRow(const CsvRow& row, const Header& header, const TeacherMarks& marks,
             TeacherMarks::Row& out, GbkText& problem) {
  const size_t fields = row.fields.size();
  if (fields < header.named_width) {
    problem = AtLine(row.line, "这一行只有 " + std::to_string(fields) + " 列，表头有 " +
                                   std::to_string(header.named_width) + " 列");
    return false;
  }
  for (size_t c = header.width; c < fields; ++c) {
    if (!TrimSpaces(row.fields[c]).empty()) {
      problem = AtLine(row.line, "这一行有 " + std::to_string(fields) +
                                     " 列，比表头多（姓名里的逗号要用引号括起来）");
      return false;
    }
  }
  out.line = row.line;
  out.name = GbkText(TrimSpaces(row.fields[header.name_column]));
  out.half_points.clear();
  for (size_t k = 0; k < header.mark_columns.size(); ++k) {
    const size_t c = header.mark_columns[k];
    const std::string_view cell = c < fields ? TrimSpaces(row.fields[c]) : "";
    if (cell.empty()) {
      out.half_points.emplace_back();
      continue;
    }
    HalfPoints mark = 0;
    if (!ReadMark(cell, mark)) {
      problem = AtLine(row.line, "第" + std::to_string(marks.questions[k]) + "题的“" +
                                     QuotedCell(cell) + "”不是整数或半分（如 6 或 6.5）");
      return false;
    }
    out.half_points.emplace_back(mark);
  }
  if (out.name.empty()) {
    problem = AtLine(row.line, "这一行有分数，但没有姓名");
    return false;
  }
  return true;
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
  size_t begin = 0;
  size_t end = 0;  // just after the last character that is not a space
  bool leading = true;
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t width = IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
    const bool space =
        width == 1 ? IsAsciiSpace(c) : text.substr(i, 2) == std::string_view("\xA1\xA1");
    if (!space) {
      if (leading) begin = i;
      leading = false;
      end = i + width;
    }
    i += width;
  }
  return leading ? std::string_view() : text.substr(begin, end - begin);
}

MarksRead ParseTeacherMarks(std::string_view bytes) {
  MarksRead read;
  GbkText text;
  if (!DecodeSheet(bytes, text, read.problem)) return read;
  const CsvTable table = ParseCsv(text);
  if (!table.ok()) {
    read.problem = AtLine(table.error_line, table.error);
    return read;
  }
  Header header;
  bool have_header = false;
  for (const CsvRow& row : table.rows) {
    if (IsBlankRow(row)) continue;
    if (!have_header) {
      if (!ReadHeader(row, header, read.marks, read.problem)) break;
      have_header = true;
      continue;
    }
    TeacherMarks::Row& out = read.marks.rows.emplace_back();
    if (!ReadRow(row, header, read.marks, out, read.problem)) break;
  }
  if (read.ok() && !have_header) {
    read.problem = Utf8ToGbk("表是空的：第一行应是表头 姓名,第1题,第2题,…");
  }
  if (!read.ok()) read.marks = TeacherMarks();
  return read;
}

MarksRead ReadTeacherMarks(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    MarksRead read;
    read.problem = Utf8ToGbk("找不到这个文件");
    return read;
  }
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kMaxSheetBytes) {
    MarksRead read;
    read.problem = Utf8ToGbk("文件太大，不像是一张评分表（超过 64 MB）");
    return read;
  }
  const std::string bytes = ReadWholeFile(path);
  if (bytes.empty() && !error && size > 0) {
    MarksRead read;
    read.problem = Utf8ToGbk("无法读取这个文件（是否正在被 Excel 或 WPS 打开？）");
    return read;
  }
  return ParseTeacherMarks(bytes);
}

}  // namespace vantry
