#include "analysis/teacher_marks.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "analysis/csv_table.h"
#include "platform/file_io.h"
#include "text/foreign_encoding.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// A hand-filled sheet is a few hundred kilobytes; anything far larger is not one.
constexpr uintmax_t kMaxSheetBytes = 64u << 20;

bool IsAsciiSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The problem line: "第N行：" and what is wrong.
std::string AtLine(int line, std::string_view what) {
  return "第" + std::to_string(line) + "行：" + std::string(what);
}

// The sheet's bytes as GBK text (UTF-8 read as the GBK file with the same
// characters, converted in place), or a problem.
bool DecodeSheet(std::string bytes, GbkText& text, std::string& problem) {
  GbkReading reading = ReadAsGbk(std::move(bytes));
  if (reading.encoding == ForeignEncoding::kUtf16) {
    problem =
        "文件是 UTF-16 编码（Unicode 文本）：请在 Excel 或 WPS 中另存为"
        "“CSV（逗号分隔）”";
    return false;
  }
  if (const auto& outside = reading.outside_gbk) {
    problem = AtLine(static_cast<int>(std::min<int64_t>(outside->line,
                                                        std::numeric_limits<int>::max())),
                     "第" + std::to_string(outside->column) + "个字“" +
                         outside->character + "”（" + CodePointText(outside->code_point) +
                         "）是 GBK 编码里没有的字，无法与试卷上的姓名对应：请换掉这个字");
    return false;
  }
  if (reading.encoding == ForeignEncoding::kNone && !IsValidGbk(reading.text)) {
    problem = "文件既不是 GBK 也不是 UTF-8 编码：请另存为 CSV";
    return false;
  }
  text = std::move(reading.text);
  return true;
}

// A GBK text with full-width digits, signs and dots folded to ASCII (UTF-8 is the
// same for ASCII, so the result can be read as either).
GbkText FoldFullWidth(GbkView gbk) {
  GbkText folded;
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
bool ReadMark(GbkView cell, HalfPoints& mark) {
  static const GbkText kUnit = Utf8ToGbk("分");
  const GbkText folded = FoldFullWidth(cell);
  GbkView text = folded;
  // Bytes that only look like the unit (the end of another character) leave no number
  // before them, so nothing wrong is accepted.
  if (text.ends_with(kUnit)) text = TrimCell(text.substr(0, text.size() - kUnit.size()));
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
int HeaderQuestion(GbkView cell) {
  const std::string utf8 = GbkToUtf8(FoldFullWidth(TrimCell(cell)));
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

// Where each named column lies.
struct Header {
  size_t name_column = 0;
  bool has_name = false;
  std::vector<size_t> mark_columns;  // parallel to TeacherMarks::questions, rising
  size_t width = 0;                  // fields of the header row
  size_t named_width = 0;            // up to and including its last named column
};

// Takes one cell of the header row; false with `problem` set at a fault.
bool ReadHeaderCell(const CsvField& field, Header& header, TeacherMarks& marks,
                    std::string& problem) {
  const GbkView cell = TrimCell(GbkView(field.text));
  header.width = field.column + 1;
  if (cell.empty()) return true;
  header.named_width = field.column + 1;
  static const GbkText kNameTitle = Utf8ToGbk("姓名");
  if (cell == kNameTitle) {
    if (header.has_name) {
      problem = AtLine(field.row_line, "表头有两列“姓名”");
      return false;
    }
    header.has_name = true;
    header.name_column = field.column;
    return true;
  }
  const int question = HeaderQuestion(cell);
  if (question == 0) return true;  // 总分, notes and the like
  if (std::find(marks.questions.begin(), marks.questions.end(), question) !=
      marks.questions.end()) {
    problem = AtLine(field.row_line, "表头有两列“第" + std::to_string(question) + "题”");
    return false;
  }
  marks.questions.push_back(question);
  header.mark_columns.push_back(field.column);
  return true;
}

bool CheckHeader(int line, const Header& header, const TeacherMarks& marks,
                 std::string& problem) {
  if (!header.has_name) {
    problem =
        AtLine(line, "表头（第一个非空行）没有“姓名”列；表头应是：姓名,第1题,第2题,…");
    return false;
  }
  if (marks.questions.empty()) {
    problem = AtLine(line, "表头没有“第1题”这样的题目列；表头应是：姓名,第1题,第2题,…");
    return false;
  }
  return true;
}

// A cell as a problem quotes it: at most 16 characters, control characters shown as
// "?", so a stray cell cannot flood or steer the terminal that prints the problem.
std::string QuotedCell(GbkView gbk) {
  constexpr int kMaxCharacters = 16;
  GbkText shown;
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

// One row after the header, taken cell by cell as the reader gives them, so that a
// row of any width costs only its name and marks. Its faults are said in the order a
// reader scans a row: too few columns, text past the header, a mark that is not a
// number (the first), no name.
class RowReader {
 public:
  RowReader(const Header& header, const TeacherMarks& marks)
      : header_(header), questions_(marks.questions) {
    marks_.resize(header.mark_columns.size());
  }

  void Take(const CsvField& field) {
    if (field.column == 0) Reset();
    fields_ = field.column + 1;
    const GbkView cell = TrimCell(GbkView(field.text));
    if (cell.empty()) return;
    blank_ = false;
    if (field.column >= header_.width) {
      beyond_header_ = true;
      return;
    }
    if (field.column == header_.name_column) name_.assign(cell);
    while (next_mark_ < header_.mark_columns.size() &&
           header_.mark_columns[next_mark_] < field.column)
      ++next_mark_;
    if (next_mark_ == header_.mark_columns.size() ||
        header_.mark_columns[next_mark_] != field.column)
      return;
    HalfPoints mark = 0;
    if (ReadMark(cell, mark)) {
      marks_[next_mark_] = mark;
      marked_ = true;
    } else if (bad_mark_.empty()) {
      bad_mark_ = "第" + std::to_string(questions_[next_mark_]) + "题的“" +
                  QuotedCell(cell) + "”不是整数或半分（如 6 或 6.5）";
    }
  }

  // At the row's end: true when it is blank (and so skipped).
  bool blank() const { return blank_; }
  // At the row's end: adds it to `marks`, or says what is wrong with it.
  bool Finish(int line, TeacherMarks& marks, std::string& problem) const {
    if (fields_ < header_.named_width) {
      problem = AtLine(line, "这一行只有 " + std::to_string(fields_) + " 列，表头有 " +
                                 std::to_string(header_.named_width) + " 列");
      return false;
    }
    if (beyond_header_) {
      problem = AtLine(line, "这一行有 " + std::to_string(fields_) +
                                 " 列，比表头多（姓名里的逗号要用引号括起来）");
      return false;
    }
    if (!bad_mark_.empty()) {
      problem = AtLine(line, bad_mark_);
      return false;
    }
    if (name_.empty()) {
      problem = AtLine(line, "这一行有分数，但没有姓名");
      return false;
    }
    marks.AddRow(line, name_, marks_);
    return true;
  }

 private:
  void Reset() {
    fields_ = 0;
    blank_ = true;
    beyond_header_ = false;
    name_.clear();
    // Only a row with a mark needs clearing: blank rows by the million cost nothing.
    if (marked_) std::fill(marks_.begin(), marks_.end(), std::nullopt);
    marked_ = false;
    next_mark_ = 0;
    bad_mark_.clear();
  }

  const Header& header_;
  const std::vector<int>& questions_;
  size_t fields_ = 0;
  bool blank_ = true;
  bool beyond_header_ = false;
  GbkText name_;
  std::vector<std::optional<HalfPoints>> marks_;
  bool marked_ = false;   // some entry of marks_ is set
  size_t next_mark_ = 0;  // the first mark column not behind the current cell
  std::string bad_mark_;  // UTF-8
};

// Reads the table of `text` into `marks`; false with `problem` set at a fault.
bool ReadTable(std::string_view text, TeacherMarks& marks, std::string& problem) {
  CsvReader reader(text);
  CsvField field;
  Header header;
  bool have_header = false;
  std::optional<RowReader> row;
  while (reader.Next(field)) {
    if (!have_header) {
      if (field.column == 0) header = Header();
      if (!ReadHeaderCell(field, header, marks, problem)) return false;
      if (!field.ends_row || header.named_width == 0) continue;  // or a blank row
      if (!CheckHeader(field.row_line, header, marks, problem)) return false;
      have_header = true;
      row.emplace(header, marks);
      continue;
    }
    row->Take(field);
    if (field.ends_row && !row->blank() && !row->Finish(field.row_line, marks, problem))
      return false;
  }
  if (!reader.ok()) {
    problem = AtLine(reader.error_line(), reader.status().message());
    return false;
  }
  if (!have_header) {
    problem = "表是空的：第一行应是表头 姓名,第1题,第2题,…";
    return false;
  }
  return true;
}

}  // namespace

GbkView TrimCell(GbkView text) {
  size_t begin = 0;
  size_t end = 0;  // just after the last character that is not a space
  bool leading = true;
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t width = IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
    const bool space =
        width == 1 ? IsAsciiSpace(c) : text.substr(i, 2) == GbkView("\xA1\xA1");
    if (!space) {
      if (leading) begin = i;
      leading = false;
      end = i + width;
    }
    i += width;
  }
  return leading ? GbkView() : text.substr(begin, end - begin);
}

GbkView TeacherMarks::name(size_t row) const {
  const size_t begin = row == 0 ? 0 : name_ends_[row - 1];
  return GbkView(std::string_view(names_).substr(begin, name_ends_[row] - begin));
}

std::optional<HalfPoints> TeacherMarks::half_points(size_t row, size_t column) const {
  const HalfPoints mark = half_points_[row * questions.size() + column];
  if (mark == kNoMark) return std::nullopt;
  return mark;
}

void TeacherMarks::AddRow(int line, GbkView name,
                          std::span<const std::optional<HalfPoints>> half_points) {
  lines_.push_back(line);
  names_.append(name.bytes());
  name_ends_.push_back(static_cast<uint32_t>(names_.size()));
  for (const std::optional<HalfPoints>& mark : half_points)
    half_points_.push_back(mark.value_or(kNoMark));
}

void TeacherMarks::ShrinkToFit() {
  lines_.shrink_to_fit();
  name_ends_.shrink_to_fit();
  names_.shrink_to_fit();
  half_points_.shrink_to_fit();
}

namespace {

// ParseTeacherMarks on bytes it may take over: the sheet is never held twice.
MarksRead ParseSheet(std::string bytes) {
  if (bytes.size() > std::numeric_limits<uint32_t>::max())
    return Failure{"文件太大，不像是一张评分表"};
  GbkText text;
  TeacherMarks marks;
  std::string problem;
  if (!DecodeSheet(std::move(bytes), text, problem) ||
      !ReadTable(text.bytes(), marks, problem))
    return Failure{std::move(problem)};
  marks.ShrinkToFit();
  return marks;
}

}  // namespace

MarksRead ParseTeacherMarks(std::string_view bytes) {
  return ParseSheet(std::string(bytes));
}

MarksRead ReadTeacherMarks(const std::filesystem::path& path) {
  const auto fail = [](std::string_view what) -> MarksRead {
    return Failure{std::string(what)};
  };
  try {
    FileRead file = ReadWholeFileWithStatus(path, kMaxSheetBytes);
    if (file.ok()) return ParseSheet(std::move(file->bytes));
    switch (file.failure().problem) {
      case FileReadProblem::kMissing:
        return fail("找不到这个文件");
      case FileReadProblem::kNotRegularFile:
        return fail("这不是一个普通文件（是文件夹、管道或设备），请给出 CSV 文件");
      case FileReadProblem::kUnreadable:
        return fail("无法读取这个文件（是否正在被 Excel 或 WPS 打开？）");
      case FileReadProblem::kTooLarge:
        return fail(file.failure().size > kMaxSheetBytes
                        ? "文件太大，不像是一张评分表（超过 64 MB）"
                        : "内存不足，无法读取这个文件");
    }
    return fail(file.message());
  } catch (const std::bad_alloc&) {
    return fail("内存不足，无法读取这个文件");
  } catch (const std::length_error&) {
    return fail("内存不足，无法读取这个文件");
  }
}

}  // namespace vantry
