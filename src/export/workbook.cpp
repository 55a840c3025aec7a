#include "export/workbook.h"

#include <fcntl.h>
#include <xlsxwriter.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <functional>
#include <future>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "export/answer_marks.h"
#include "export/explanation.h"
#include "export/review_rows.h"
#include "export/workbook_file.h"
#include "platform/file_io.h"
#include "platform/message_pump.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// The most characters Excel keeps in one cell.
constexpr size_t kMaxCellCharacters = 32767;
// The most question columns 成绩 has: Excel's 16,384 columns less 名次, 姓名, 总分.
constexpr int kMaxScoreColumns = 16384 - 3;

// Colours of the scale on the share of papers that hit a scoring point.
constexpr lxw_color_t kRed = 0xF8696B;
constexpr lxw_color_t kYellow = 0xFFEB84;
constexpr lxw_color_t kGreen = 0x63BE7B;
constexpr lxw_color_t kHeaderFill = 0xDDEBF7;

// `utf8` cut to what one cell holds, at a character boundary, with "…" at the cut.
const std::string& FitCell(const std::string& utf8, std::string& scratch) {
  if (utf8.size() <= kMaxCellCharacters) return utf8;  // bytes >= characters
  size_t characters = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
    if (++characters == kMaxCellCharacters) {
      scratch.assign(utf8, 0, i).append("…");
      return scratch;
    }
  }
  return utf8;
}

// Whether the library writes `c` as "_xHHHH_": the control characters but TAB and LF.
bool WrittenAsEscape(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x01 && byte < 0x20 && c != '\t' && c != '\n';
}

// Excel and WPS read "_xHHHH_" in a cell's text as the character U+HHHH, so a name
// such as "_x0041_" would show as "A". Writes the underscore that begins each such run
// as "_x005F_" (itself an underscore when read), so every text shows as it stands; a
// control character the library writes as an escape ends such a run as "_" would.
const std::string& KeepEscapesLiteral(const std::string& utf8, std::string& scratch) {
  const auto is_hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); };
  const auto escape_at = [&](size_t i) {
    return i + 7 <= utf8.size() && utf8[i] == '_' && utf8[i + 1] == 'x' &&
           is_hex(utf8[i + 2]) && is_hex(utf8[i + 3]) && is_hex(utf8[i + 4]) &&
           is_hex(utf8[i + 5]) && (utf8[i + 6] == '_' || WrittenAsEscape(utf8[i + 6]));
  };
  size_t at = utf8.find("_x");
  while (at != std::string::npos && !escape_at(at)) at = utf8.find("_x", at + 1);
  if (at == std::string::npos) return utf8;
  scratch.assign(utf8, 0, at);
  for (size_t i = at; i < utf8.size(); ++i) {
    if (escape_at(i)) scratch += "_x005F";
    scratch += utf8[i];
  }
  return scratch;
}

// Keeps the library's own error lines off the standard error while it lives: a
// workbook that cannot be written is said once, in the summary, and the batch
// grader's standard error carries only what the program says.
class QuietStandardError {
 public:
  QuietStandardError() {
    std::fflush(stderr);
    saved_ = ::dup(kStandardError);
    const int sink = ::open(kNullDevice, O_WRONLY);
    if (saved_ >= 0 && sink >= 0) ::dup2(sink, kStandardError);
    if (sink >= 0) ::close(sink);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;
  ~QuietStandardError() {
    std::fflush(stderr);
    if (saved_ < 0) return;
    ::dup2(saved_, kStandardError);
    ::close(saved_);
  }

 private:
  static constexpr int kStandardError = 2;
#ifdef _WIN32
  static constexpr const char* kNullDevice = "NUL";
#else
  static constexpr const char* kNullDevice = "/dev/null";
#endif
  int saved_ = -1;
};

// The moment `local` names, in the process's time zone.
std::time_t TimeOf(const LocalDateTime& local) {
  std::tm fields{};
  fields.tm_year = local.year - 1900;
  fields.tm_mon = local.month - 1;
  fields.tm_mday = local.day;
  fields.tm_hour = local.hour;
  fields.tm_min = local.minute;
  fields.tm_sec = local.second;
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

// The bytes of the first `characters` characters of `utf8`.
size_t PrefixOfUtf8Characters(std::string_view utf8, size_t characters) {
  size_t count = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
    if (count++ == characters) return i;
  }
  return utf8.size();
}

// How a sheet prints.
enum class Orientation { kPortrait, kLandscape };

// The page header of every printed sheet: the exam on the left, the sheet's name in
// the middle, the date on the right. "&" is written "&&" so a name cannot steer it.
std::string PageHeader(const RunDescription& d) {
  std::string exam;
  for (char c : d.exam.substr(0, PrefixOfUtf8Characters(d.exam, 40))) {
    exam += c;
    if (c == '&') exam += '&';
  }
  return "&L" + exam + "&C&A&R" + DateTimeText(d.dated);
}

// The workbook being written: its rows spooled in `spool`, its archive written to
// `path` and checked when it is closed; freed unwritten if it is not.
class Book {
 public:
  Book(const std::filesystem::path& path, const std::filesystem::path& spool,
       const std::optional<LocalDateTime>& created, const RunDescription& description)
      : path_(path), spool_(spool), page_header_(PageHeader(description)) {
    book_ = NewSpooledWorkbook(path, spool);
    if (book_ == nullptr) {
      problem_ = WorkbookProblem::kCannotCreate;
      return;
    }
    // The document's own title and comments name the exam too.
    title_ = "阅卷结果 " + description.exam + " " + DateText(description.dated);
    for (const auto& [label, value] : RunDescriptionLines(description))
      comments_ += label + "：" + value + "\n";
    lxw_doc_properties properties = {};
    properties.title = title_.data();
    properties.subject = title_.data();
    properties.comments = comments_.data();
    if (created) properties.created = TimeOf(*created);
    Check(workbook_set_properties(book_, &properties));
    header_ = workbook_add_format(book_);
    format_set_bold(header_);
    format_set_pattern(header_, LXW_PATTERN_SOLID);
    format_set_bg_color(header_, kHeaderFill);
    format_set_align(header_, LXW_ALIGN_CENTER);
    percent_ = workbook_add_format(book_);
    format_set_num_format(percent_, "0.0%");
    decimal_ = workbook_add_format(book_);
    format_set_num_format(decimal_, "0.00");
    note_ = workbook_add_format(book_);
    format_set_font_color(note_, 0x595959);
    marked_ = workbook_add_format(book_);
    format_set_bold(marked_);
    format_set_font_color(marked_, 0xC00000);
    wrap_ = workbook_add_format(book_);
    format_set_text_wrap(wrap_);
    format_set_align(wrap_, LXW_ALIGN_VERTICAL_TOP);
  }
  Book(const Book&) = delete;
  Book& operator=(const Book&) = delete;
  ~Book() { AbandonSpooledWorkbook(book_, sheets_); }

  bool ok() const {
    return book_ != nullptr && problem_ == WorkbookProblem::kNone && !spool_failed_;
  }
  // A sheet that prints on A4 in `orientation`, one page wide, its first row repeated
  // on every page, under the page header.
  lxw_worksheet* AddSheet(const std::string& name,
                          Orientation orientation = Orientation::kPortrait) {
    lxw_worksheet* sheet = book_ ? workbook_add_worksheet(book_, name.c_str()) : nullptr;
    if (sheet == nullptr) {
      // Its spool could not be made, or the library refused the name.
      if (problem_ == WorkbookProblem::kNone) problem_ = WorkbookProblem::kCannotCreate;
      return nullptr;
    }
    sheets_.emplace_back(sheet);
    constexpr uint8_t kA4 = 9;
    worksheet_set_paper(sheet, kA4);
    if (orientation == Orientation::kLandscape) worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
    Check(worksheet_repeat_rows(sheet, 0, 0));
    Check(worksheet_set_header(sheet, page_header_.c_str()));
    Check(worksheet_set_footer(sheet, "&C第 &P 页，共 &N 页"));
    return sheet;
  }
  // Stops the writing early once a spool write has failed (the disk is full), rather
  // than filling the rest of the workbook for nothing; Close() says why.
  void CheckSpool() {
    if (ok() && SpoolFailed(sheets_)) spool_failed_ = true;
  }
  // Writes the archive and reads it back; what went wrong, if anything.
  WorkbookProblem Close() {
    lxw_workbook* book = std::exchange(book_, nullptr);
    if (book == nullptr) return problem_;
    if (problem_ != WorkbookProblem::kNone) {
      AbandonSpooledWorkbook(book, sheets_);
      return problem_;
    }
    return CloseSpooledWorkbook(book, sheets_, path_, spool_);
  }

  // GBK texts, and so their UTF-8, hold no NUL: the library's C string is the text.
  void Text(lxw_worksheet* sheet, int64_t row, int col, const std::string& utf8,
            lxw_format* format = nullptr) {
    // Escaped, then cut: what the library is given must fit a cell.
    const std::string& literal = KeepEscapesLiteral(utf8, escaped_);
    const std::string& cell = FitCell(literal, scratch_);
    // The library leaves out an empty text without a format.
    if (Check(worksheet_write_string(sheet, Row(row), Col(col), cell.c_str(), format)) &&
        (!cell.empty() || format != nullptr)) {
      Tally(sheet).Cell(row);
    }
  }
  void Number(lxw_worksheet* sheet, int64_t row, int col, double value,
              lxw_format* format = nullptr) {
    if (Check(worksheet_write_number(sheet, Row(row), Col(col), value, format))) {
      Tally(sheet).Cell(row);
    }
  }
  // An absent value is an empty cell.
  template <typename T>
  void Maybe(lxw_worksheet* sheet, int64_t row, int col, const std::optional<T>& value,
             lxw_format* format = nullptr) {
    if (value) Number(sheet, row, col, static_cast<double>(*value), format);
  }
  void Header(lxw_worksheet* sheet, int64_t row, const std::vector<std::string>& titles) {
    for (size_t c = 0; c < titles.size(); ++c) {
      Text(sheet, row, static_cast<int>(c), titles[c], header_);
    }
  }
  void Width(lxw_worksheet* sheet, int first, int last, double width) {
    Check(worksheet_set_column(sheet, Col(first), Col(last), width, nullptr));
  }

  // `lead`, `marked` in the marked format and `tail` as one cell.
  void Marked(lxw_worksheet* sheet, int64_t row, int col, const std::string& lead,
              const std::string& marked, const std::string& tail) {
    if (marked.empty()) {
      Text(sheet, row, col, lead + tail);
      return;
    }
    // Each part escaped on its own; empty parts are left out, as the library wants.
    std::string parts[3];
    std::vector<lxw_rich_string_tuple> fragments;
    const std::string* texts[3] = {&lead, &marked, &tail};
    for (int i = 0; i < 3; ++i) {
      parts[i] = KeepEscapesLiteral(*texts[i], escaped_);
      if (parts[i].empty()) continue;
      lxw_rich_string_tuple& fragment = fragments.emplace_back();
      fragment.format = i == 1 ? marked_ : nullptr;
      fragment.string = parts[i].data();
    }
    if (fragments.size() < 2) {
      Text(sheet, row, col, marked);
      return;
    }
    std::vector<lxw_rich_string_tuple*> pointers;
    for (lxw_rich_string_tuple& f : fragments) pointers.push_back(&f);
    pointers.push_back(nullptr);
    if (Check(worksheet_write_rich_string(sheet, Row(row), Col(col), pointers.data(),
                                          nullptr))) {
      Tally(sheet).Cell(row);
    }
  }

  lxw_format* header() const { return header_; }
  lxw_format* percent() const { return percent_; }
  lxw_format* decimal() const { return decimal_; }
  lxw_format* note() const { return note_; }
  // Text wrapped within its column, from the top of its row.
  lxw_format* wrap() const { return wrap_; }

  static lxw_row_t Row(int64_t row) { return static_cast<lxw_row_t>(row); }
  static lxw_col_t Col(int col) { return static_cast<lxw_col_t>(col); }

 private:
  bool Check(lxw_error error) {
    if (error == LXW_NO_ERROR) return true;
    if (problem_ == WorkbookProblem::kNone) {
      problem_ = error == LXW_ERROR_MEMORY_MALLOC_FAILED ? WorkbookProblem::kNoMemory
                                                         : WorkbookProblem::kFailed;
    }
    return false;
  }
  // The tally of `sheet`: most cells go to the sheet of the cell before.
  SheetTally& Tally(lxw_worksheet* sheet) {
    if (last_tally_ < sheets_.size() && sheets_[last_tally_].sheet() == sheet) {
      return sheets_[last_tally_];
    }
    for (last_tally_ = 0; last_tally_ < sheets_.size(); ++last_tally_) {
      if (sheets_[last_tally_].sheet() == sheet) return sheets_[last_tally_];
    }
    // A sheet not added through AddSheet: no member matches it, so the read-back
    // refuses the workbook rather than pass what it cannot check.
    return sheets_.emplace_back(sheet);
  }

  std::filesystem::path path_;
  std::filesystem::path spool_;
  lxw_workbook* book_ = nullptr;
  WorkbookProblem problem_ = WorkbookProblem::kNone;
  bool spool_failed_ = false;
  std::vector<SheetTally> sheets_;  // in the order they were added
  size_t last_tally_ = 0;
  lxw_format* header_ = nullptr;
  lxw_format* percent_ = nullptr;
  lxw_format* decimal_ = nullptr;
  lxw_format* note_ = nullptr;
  lxw_format* marked_ = nullptr;
  lxw_format* wrap_ = nullptr;
  std::string page_header_;
  std::string title_;
  std::string comments_;
  std::string scratch_;
  std::string escaped_;
};

std::string QuestionTitle(int question) { return "第" + std::to_string(question) + "题"; }

// Display width of a GBK text: a two-byte character is about two columns wide.
size_t DisplayWidth(GbkView gbk) {
  const size_t line = gbk.bytes().find_first_of("\r\n");
  return line == std::string_view::npos ? gbk.size() : line;
}

// A sheet that goes on as "<name>2", "<name>3", … when it holds `max_rows` rows, its
// head and layout repeated on each part: every sheet whose rows grow with the class
// or the exam is written through one, so none can run past Excel's rows and take the
// whole workbook with it.
class ContinuedSheet {
 public:
  // Lays out a new part (widths, panes) and writes its head; returns the rows it
  // wrote.
  using Begin = std::function<int64_t(lxw_worksheet*)>;
  // Finishes a part whose last row is `last_row` (filters, formats over its rows).
  using End = std::function<void(lxw_worksheet*, int64_t last_row)>;

  ContinuedSheet(Book& book, std::string name, Orientation orientation, int64_t max_rows,
                 Begin begin, End end = {})
      : book_(book),
        name_(std::move(name)),
        orientation_(orientation),
        max_rows_(max_rows),
        begin_(std::move(begin)),
        end_(std::move(end)) {
    NextPart();
  }
  ContinuedSheet(const ContinuedSheet&) = delete;
  ContinuedSheet& operator=(const ContinuedSheet&) = delete;
  ~ContinuedSheet() { Finish(); }

  // The part the last row given out lies on; null when it could not be added.
  lxw_worksheet* sheet() const { return sheet_; }
  // The row for the next row, on a new part when this one is full.
  int64_t NextRow() {
    if (row_ >= max_rows_) {
      Finish();
      NextPart();
    }
    return row_++;
  }
  // Leaves a row empty, unless the part is full or the row would be its first.
  void Gap() {
    if (row_ > head_rows_ && row_ < max_rows_) ++row_;
  }
  // Finishes the current part; the sheet takes no rows after.
  void Finish() {
    if (sheet_ != nullptr && end_) end_(sheet_, row_ - 1);
    sheet_ = nullptr;
  }

 private:
  void NextPart() {
    ++parts_;
    sheet_ = book_.AddSheet(parts_ == 1 ? name_ : name_ + std::to_string(parts_),
                            orientation_);
    row_ = head_rows_ = sheet_ == nullptr ? 0 : begin_(sheet_);
    // A part holds at least one row beside its head.
    max_rows_ = std::max(max_rows_, head_rows_ + 1);
  }

  Book& book_;
  const std::string name_;
  const Orientation orientation_;
  int64_t max_rows_;
  const Begin begin_;
  const End end_;
  lxw_worksheet* sheet_ = nullptr;
  int parts_ = 0;
  int64_t head_rows_ = 0;
  int64_t row_ = 0;
};

void WriteScores(Book& book, const GradedClass& graded, const ClassStatistics& stats,
                 int64_t max_rows) {
  // An answer cut into more pieces than a sheet has columns (a hostile sheet of TABs)
  // shows the first ones; the rest are in 评分依据.
  const int questions = std::min(graded.question_count(), kMaxScoreColumns);
  const int total_col = 2 + questions;
  size_t name_width = 4;
  for (const GradedClass::Paper& paper : graded.papers()) {
    name_width = std::max(name_width, DisplayWidth(paper.name));
  }
  std::vector<std::string> titles = {"名次", "姓名"};
  for (int q = 1; q <= questions; ++q) titles.push_back(QuestionTitle(q));
  titles.push_back("总分");
  // Wider than a portrait page's about 90 characters: landscape.
  const double width =
      6 + static_cast<double>(std::min<size_t>(name_width, 40) + 2) + 7.0 * questions + 8;
  ContinuedSheet scores(
      book, "成绩", width > 90 ? Orientation::kLandscape : Orientation::kPortrait,
      max_rows,
      [&](lxw_worksheet* sheet) {
        book.Width(sheet, 0, 0, 6);
        book.Width(sheet, 1, 1,
                   static_cast<double>(std::min<size_t>(name_width, 40) + 2));
        if (questions > 0) book.Width(sheet, 2, total_col - 1, 7);
        book.Width(sheet, total_col, total_col, 8);
        book.Header(sheet, 0, titles);
        worksheet_freeze_panes(sheet, 1, 2);
        return int64_t{1};
      },
      [total_col](lxw_worksheet* sheet, int64_t last_row) {
        worksheet_autofilter(sheet, 0, 0, Book::Row(last_row), Book::Col(total_col));
      });
  const auto papers = graded.papers();
  for (size_t i = 0; i < papers.size(); ++i) {
    const int64_t row = scores.NextRow();
    lxw_worksheet* sheet = scores.sheet();
    if (sheet == nullptr) return;
    book.Number(sheet, row, 0, static_cast<double>(stats.ranks[i]));
    book.Text(sheet, row, 1, GbkToUtf8(papers[i].name));
    const auto paper_scores = graded.Scores(papers[i]);
    for (int q = 0; q < questions; ++q) {
      const size_t k = static_cast<size_t>(q);
      book.Number(sheet, row, 2 + q, k < paper_scores.size() ? paper_scores[k].shown : 0);
    }
    book.Number(sheet, row, total_col, papers[i].total);
  }
  if (questions < graded.question_count()) {
    scores.Gap();
    const int64_t row = scores.NextRow();
    if (scores.sheet() == nullptr) return;
    book.Text(scores.sheet(), row, 1,
              "题目太多，这里只列出前 " + std::to_string(questions) +
                  " 题的得分（总分包括全部题目）；每道题的得分见“评分依据”。",
              book.note());
  }
}

std::string QuestionNote(const QuestionStatistics& q) {
  std::string note;
  if (!q.has_rule) note = "参数设置里没有这道题的评分规则";
  if (!q.cap) {
    note += note.empty() ? "" : "；";
    note += "没有设满分，不计得分率和区分度";
  } else if (*q.cap <= 0) {
    note += note.empty() ? "" : "；";
    note += "满分不是正数，不计得分率和区分度";
  }
  return note;
}

void WriteQuestions(Book& book, const ClassStatistics& stats, int64_t max_rows) {
  ContinuedSheet part(
      book, "小题分析", Orientation::kLandscape, max_rows, [&book](lxw_worksheet* sheet) {
        book.Header(sheet, 0,
                    {"题号", "满分", "平均分", "得分率", "最高分", "最低分", "满分人数",
                     "零分人数", "标准差", "区分度", "作答人数", "备注"});
        book.Width(sheet, 0, 0, 8);
        book.Width(sheet, 1, 10, 9);
        book.Width(sheet, 11, 11, 40);
        worksheet_freeze_panes(sheet, 1, 1);
        return int64_t{1};
      });
  for (const QuestionStatistics& q : stats.questions) {
    const int64_t row = part.NextRow();
    lxw_worksheet* sheet = part.sheet();
    if (sheet == nullptr) return;
    book.Text(sheet, row, 0, QuestionTitle(q.question));
    book.Maybe(sheet, row, 1, q.cap);
    book.Maybe(sheet, row, 2, q.scores.mean, book.decimal());
    book.Maybe(sheet, row, 3, q.score_rate, book.percent());
    book.Maybe(sheet, row, 4, q.scores.highest);
    book.Maybe(sheet, row, 5, q.scores.lowest);
    book.Maybe(sheet, row, 6, q.full_count);
    if (stats.paper_count > 0)
      book.Number(sheet, row, 7, static_cast<double>(q.zero_count));
    book.Maybe(sheet, row, 8, q.scores.standard_deviation, book.decimal());
    book.Maybe(sheet, row, 9, q.discrimination, book.decimal());
    book.Number(sheet, row, 10, static_cast<double>(q.papers_answered));
    const std::string note = QuestionNote(q);
    if (!note.empty()) book.Text(sheet, row, 11, note, book.note());
  }
  // The whole exam: the totals against the full marks.
  const ScoreDistribution& d = stats.distribution;
  const int64_t row = part.NextRow();
  lxw_worksheet* sheet = part.sheet();
  if (sheet == nullptr) return;
  book.Text(sheet, row, 0, "全卷");
  book.Maybe(sheet, row, 1, d.full_marks);
  book.Maybe(sheet, row, 2, stats.totals.mean, book.decimal());
  if (d.full_marks && stats.totals.mean) {
    book.Number(sheet, row, 3, *stats.totals.mean / static_cast<double>(*d.full_marks),
                book.percent());
  }
  book.Maybe(sheet, row, 4, stats.totals.highest);
  book.Maybe(sheet, row, 5, stats.totals.lowest);
  book.Maybe(sheet, row, 8, stats.totals.standard_deviation, book.decimal());
  book.Number(sheet, row, 10, static_cast<double>(stats.paper_count));
  part.Gap();
  for (const char* line : {
           "说明：某份答卷缺少的题（答案比别人少几道）按 0 分计入该题的统计。",
           "得分率 = 平均分 ÷ 满分；标准差按全班人数计算（除以 N）。",
           "区分度 = （总分前 27% 学生该题平均分 − 后 27% 学生该题平均分）÷ 满分；"
           "总分相同的学生在分组边界上平均分摊名额；少于 2 份答卷时不计。",
       }) {
    const int64_t note_row = part.NextRow();
    if (part.sheet() == nullptr) return;
    book.Text(part.sheet(), note_row, 0, line, book.note());
  }
}

void WriteScoringPoints(Book& book, const ClassStatistics& stats, int64_t max_rows) {
  ContinuedSheet part(
      book, "得分点", Orientation::kLandscape, max_rows,
      [&book](lxw_worksheet* sheet) {
        book.Header(sheet, 0,
                    {"题号", "得分点", "关键词", "命中人数", "命中率", "最常命中的说法",
                     "该说法命中人数", "按顺序计分人数", "顺序加分人数", "顺序加分率"});
        book.Width(sheet, 0, 1, 8);
        book.Width(sheet, 2, 2, 30);
        book.Width(sheet, 3, 4, 10);
        book.Width(sheet, 5, 5, 18);
        book.Width(sheet, 6, 9, 14);
        worksheet_freeze_panes(sheet, 1, 0);
        return int64_t{1};
      },
      [](lxw_worksheet* sheet, int64_t last_row) {
        if (last_row >= 1) {
          // The points most missed turn red, those most hit green, on a fixed scale.
          lxw_conditional_format scale = {};
          scale.type = LXW_CONDITIONAL_3_COLOR_SCALE;
          scale.min_rule_type = LXW_CONDITIONAL_RULE_TYPE_NUMBER;
          scale.min_value = 0;
          scale.min_color = kRed;
          scale.mid_rule_type = LXW_CONDITIONAL_RULE_TYPE_NUMBER;
          scale.mid_value = 0.5;
          scale.mid_color = kYellow;
          scale.max_rule_type = LXW_CONDITIONAL_RULE_TYPE_NUMBER;
          scale.max_value = 1;
          scale.max_color = kGreen;
          worksheet_conditional_format_range(sheet, 1, 4, Book::Row(last_row), 4, &scale);
        }
        worksheet_autofilter(sheet, 0, 0, Book::Row(last_row), 9);
      });
  std::string text;
  for (const QuestionStatistics& q : stats.questions) {
    if (q.groups.empty()) {
      const int64_t row = part.NextRow();
      lxw_worksheet* sheet = part.sheet();
      if (sheet == nullptr) return;
      book.Text(sheet, row, 0, QuestionTitle(q.question));
      book.Text(sheet, row, 2,
                q.has_rule ? "（这道题的评分规则里没有关键词）"
                           : "（参数设置里没有这道题的评分规则）",
                book.note());
      continue;
    }
    for (const GroupStatistics& g : q.groups) {
      const int64_t row = part.NextRow();
      lxw_worksheet* sheet = part.sheet();
      if (sheet == nullptr) return;
      book.Text(sheet, row, 0, QuestionTitle(q.question));
      book.Number(sheet, row, 1, g.group);
      text.clear();
      AppendOneLine(g.text, text);
      book.Text(sheet, row, 2, text);
      book.Number(sheet, row, 3, static_cast<double>(g.papers_hit));
      book.Maybe(sheet, row, 4, g.hit_rate, book.percent());
      if (g.top_alternative > 0) {
        text.clear();
        AppendOneLine(g.top_alternative_text, text);
        book.Text(sheet, row, 5, text);
        book.Number(sheet, row, 6, static_cast<double>(g.top_alternative_hits));
      }
      if (g.papers_ordered > 0) {
        book.Number(sheet, row, 7, static_cast<double>(g.papers_ordered));
        book.Number(sheet, row, 8, static_cast<double>(g.papers_ordered_with_bonus));
        book.Maybe(sheet, row, 9, g.bonus_rate, book.percent());
      }
    }
  }
}

// A number of points for a band's bounds: whole, or with its decimals.
std::string Points(double value) {
  std::string text = std::to_string(value);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.ends_with('.')) text.pop_back();
  return text;
}

void WriteBands(Book& book, const ClassStatistics& stats) {
  lxw_worksheet* sheet = book.AddSheet("分数段");
  if (sheet == nullptr) return;
  book.Width(sheet, 0, 0, 16);
  book.Width(sheet, 1, 1, 18);
  book.Width(sheet, 2, 3, 10);
  const ScoreDistribution& d = stats.distribution;
  if (d.status != FullMarksStatus::kKnown) {
    std::string why;
    switch (d.status) {
      case FullMarksStatus::kQuestionWithoutCap:
        why = "满分未知：第" + std::to_string(d.question_without_cap) +
              "题在参数设置里没有分值（<分值>），所以不按满分分段，也不统计优秀、及格和"
              "低分。";
        break;
      case FullMarksStatus::kNotPositive:
        why =
            "满分未知：各题的分值加起来不是正数，所以不按满分分段，也不统计优秀、及格"
            "和低分。";
        break;
      default:
        why = stats.paper_count == 0
                  ? "没有试卷，所以不按满分分段。"
                  : "没有任何题目（每份答卷的答题文本都为空），所以不按满分分段。";
        break;
    }
    book.Text(sheet, 0, 0, why);
    return;
  }
  const double full = static_cast<double>(*d.full_marks);
  book.Header(sheet, 0, {"分数段", "分数范围", "人数", "比例"});
  int64_t row = 1;
  for (auto band = d.bands.rbegin(); band != d.bands.rend(); ++band) {
    const bool top = band == d.bands.rbegin();
    // The lowest band holds the negative totals too: no lower bound is claimed.
    book.Text(sheet, row, 0,
              band->below_zero ? "<" + std::to_string(band->upper_percent) + "%"
                               : std::to_string(band->lower_percent) + "%–" +
                                     std::to_string(band->upper_percent) + "%");
    book.Text(sheet, row, 1,
              band->below_zero
                  ? "总分 < " + Points(band->upper) + "（含负分）"
                  : Points(band->lower) + (top ? " ≤ 总分 ≤ " : " ≤ 总分 < ") +
                        Points(band->upper));
    book.Number(sheet, row, 2, static_cast<double>(band->count));
    book.Maybe(sheet, row++, 3, band->rate, book.percent());
  }
  ++row;
  const struct {
    const char* name;
    const std::optional<LevelCount>& level;
    int percent;
    const char* relation;
  } levels[] = {
      {"优秀（≥85%）", d.excellent, kExcellentPercent, "总分 ≥ "},
      {"及格（≥60%）", d.pass, kPassPercent, "总分 ≥ "},
      {"低分（<40%）", d.low, kLowPercent, "总分 < "},
  };
  book.Header(sheet, row++, {"等级", "分数线", "人数", "比例"});
  for (const auto& level : levels) {
    book.Text(sheet, row, 0, level.name);
    book.Text(sheet, row, 1, level.relation + Points(full * level.percent / 100.0));
    book.Number(sheet, row, 2, static_cast<double>(level.level->count));
    book.Maybe(sheet, row++, 3, level.level->rate, book.percent());
  }
  ++row;
  book.Text(sheet, row, 0, "满分（各题分值之和）");
  book.Number(sheet, row++, 2, full);
  book.Text(sheet, row, 0, "试卷份数");
  book.Number(sheet, row, 2, static_cast<double>(stats.paper_count));
}

// One row per paper and question, continued on further sheets when one is full.
class ExplanationSheets {
 public:
  // The first sheet is there even for an empty class.
  ExplanationSheets(Book& book, int64_t max_rows)
      : book_(book),
        part_(book, "评分依据", Orientation::kLandscape, max_rows,
              [&book](lxw_worksheet* sheet) {
                book.Header(sheet, 0, {"姓名", "题号", "得分", "评分依据", "答案"});
                book.Width(sheet, 0, 0, 14);
                book.Width(sheet, 1, 2, 6);
                book.Width(sheet, 3, 4, 60);
                worksheet_freeze_panes(sheet, 1, 0);
                return int64_t{1};
              }) {}

  void Row(const std::string& name, std::optional<int> question, int32_t score,
           const std::string& text, const std::string& answer) {
    const int64_t row = part_.NextRow();
    lxw_worksheet* sheet = part_.sheet();
    if (sheet == nullptr) return;
    book_.Text(sheet, row, 0, name);
    if (question) book_.Number(sheet, row, 1, *question);
    book_.Number(sheet, row, 2, score);
    book_.Text(sheet, row, 3, text, book_.wrap());
    if (!answer.empty()) book_.Text(sheet, row, 4, answer, book_.wrap());
  }

 private:
  Book& book_;
  ContinuedSheet part_;
};

// The explanation rows of a run of papers, made ready for the sheet.
struct ExplainedBlock {
  struct Paper {
    std::string name;  // UTF-8
    std::vector<int32_t> scores;
    std::vector<std::string> rows;
    std::vector<std::string> answers;  // one per question it has
  };
  std::vector<Paper> papers;
};

// The characters of an answer a cell shows: Excel's 32,767 less room for the note
// that says where the whole answer is.
constexpr size_t kAnswerCellCharacters = kMaxCellCharacters - 200;

// Question `question`'s answer for its cell (UTF-8, line breaks kept), cut visibly
// when a cell cannot hold it. `paper` is the paper's place in the answer sheet.
std::string AnswerCell(GbkView answer, size_t paper, int question,
                       const std::string& name) {
  const size_t characters = CharacterCount(answer);
  if (characters <= kAnswerCellCharacters) return AnswerText(answer);
  const size_t cut = PrefixOfCharacters(answer, kAnswerCellCharacters);
  return AnswerText(answer.substr(0, cut)) + "……（答案共 " + std::to_string(characters) +
         " 字，一格放不下，这里只列出前 " + std::to_string(kAnswerCellCharacters) +
         " 字；全文见学生答题文本.txt 第 " + std::to_string(paper + 1) + " 份试卷（" +
         name.substr(0, PrefixOfUtf8Characters(name, 20)) + "）的第 " +
         std::to_string(question) + " 题）";
}

// Papers explained per block: while the sheet takes one block, the next is explained
// (its papers graded again where the records were not kept) on another thread.
constexpr size_t kExplainedPapersPerBlock = 256;

void WriteExplanations(Book& book, const GradedClass& graded, int64_t max_rows) {
  ExplanationSheets sheets(book, max_rows);
  const int questions = graded.question_count();
  const size_t papers = graded.paper_count();
  const size_t block_count =
      (papers + kExplainedPapersPerBlock - 1) / kExplainedPapersPerBlock;
  // Only one block is explained at a time, so the record is shared between them.
  PaperRecord record;
  const auto explain = [&](size_t b) {
    ExplainedBlock block;
    const size_t first = b * kExplainedPapersPerBlock;
    const size_t end = std::min(papers, first + kExplainedPapersPerBlock);
    block.papers.resize(end - first);
    for (size_t i = first; i < end; ++i) {
      ExplainedBlock::Paper& paper = block.papers[i - first];
      graded.Record(i, record);
      ExplainPaper(record, graded, paper.rows);
      paper.name = GbkToUtf8(graded.papers()[i].name);
      for (const QuestionRecord& question : record.questions) {
        paper.scores.push_back(question.shown_score);
        paper.answers.push_back(
            AnswerCell(question.answer, i, question.question, paper.name));
      }
    }
    return block;
  };
  std::future<ExplainedBlock> next;
  if (block_count > 0) next = std::async(std::launch::async, explain, 0);
  for (size_t b = 0; b < block_count; ++b) {
    const ExplainedBlock block = next.get();
    if (b + 1 < block_count) next = std::async(std::launch::async, explain, b + 1);
    for (const ExplainedBlock::Paper& paper : block.papers) {
      static const std::string kNoAnswer;
      if (questions == 0) {
        sheets.Row(paper.name, std::nullopt, 0, paper.rows[0], kNoAnswer);
        continue;
      }
      for (int q = 1; q <= questions; ++q) {
        const size_t k = static_cast<size_t>(q) - 1;
        const bool has = k < paper.scores.size();
        sheets.Row(paper.name, q, has ? paper.scores[k] : 0, paper.rows[k],
                   has ? paper.answers[k] : kNoAnswer);
      }
    }
    book.CheckSpool();
    if (!book.ok()) break;  // the pending block finishes before `next` goes
    // The window's run writes the workbook on the window's thread: keep it alive.
    ProcessPendingMessages();
  }
}

// Bytes the spooled rows take at the least: what a sheet of explanations holds for
// each paper and question, and the answers beside them. A temporary folder with less
// room is not tried.
uint64_t SpoolEstimate(const GradedClass& graded) {
  const auto questions = static_cast<uint64_t>(std::max(graded.question_count(), 1));
  uint64_t answer_bytes = 0;
  for (const GradedClass::Paper& paper : graded.papers())
    answer_bytes += paper.answer_bytes;
  return graded.paper_count() * questions * 100 + answer_bytes;
}

// 需要复核: each kind of entry under a title row, one row per entry.
void WriteReview(Book& book, const GradedClass& graded, const WorkbookContent& content,
                 int64_t max_rows) {
  ContinuedSheet part(book, "需要复核", Orientation::kLandscape, max_rows,
                      [&book](lxw_worksheet* sheet) {
                        book.Header(sheet, 0, {"类别", "姓名", "题号", "说明"});
                        book.Width(sheet, 0, 0, 20);
                        book.Width(sheet, 1, 1, 16);
                        book.Width(sheet, 2, 2, 6);
                        book.Width(sheet, 3, 3, 80);
                        worksheet_freeze_panes(sheet, 1, 0);
                        return int64_t{1};
                      });
  if (content.review == nullptr) return;
  const std::vector<ReviewSection> sections = ReviewSections(
      graded, *content.review, content.check, content.changes, kMaxReviewEntries);
  if (sections.empty()) {
    const int64_t row = part.NextRow();
    if (part.sheet() == nullptr) return;
    book.Text(part.sheet(), row, 0, "没有发现需要特别复核的试卷。", book.note());
    return;
  }
  for (const ReviewSection& section : sections) {
    for (const ReviewRow& entry : section.rows) {
      const int64_t row = part.NextRow();
      lxw_worksheet* sheet = part.sheet();
      if (sheet == nullptr) return;
      book.Text(sheet, row, 0, section.title);
      book.Text(sheet, row, 1, entry.name);
      if (entry.question > 0) book.Number(sheet, row, 2, entry.question);
      book.Text(sheet, row, 3, entry.detail, book.wrap());
    }
    if (section.count > static_cast<int64_t>(section.rows.size())) {
      const int64_t row = part.NextRow();
      lxw_worksheet* sheet = part.sheet();
      if (sheet == nullptr) return;
      book.Text(sheet, row, 0, section.title);
      book.Text(
          sheet, row, 3,
          "还有 " +
              std::to_string(section.count - static_cast<int64_t>(section.rows.size())) +
              " 条没有列出",
          book.note());
    }
  }
  part.Gap();
  for (const ReviewSection& section : sections) {
    const int64_t row = part.NextRow();
    if (part.sheet() == nullptr) return;
    book.Text(part.sheet(), row, 0, section.title + "：" + section.explanation,
              book.note());
  }
}

// 阅卷信息: which exam, when, with which boxes, and what the check concluded.
void WriteInfo(Book& book, const ClassStatistics& stats, const WorkbookContent& content) {
  lxw_worksheet* sheet = book.AddSheet("阅卷信息");
  if (sheet == nullptr) return;
  book.Header(sheet, 0, {"项目", "内容"});
  book.Width(sheet, 0, 0, 14);
  book.Width(sheet, 1, 1, 70);
  int64_t row = 1;
  const auto line = [&](const std::string& label, const std::string& value) {
    book.Text(sheet, row, 0, label);
    book.Text(sheet, row++, 1, value, book.wrap());
  };
  for (const auto& [label, value] : RunDescriptionLines(content.description))
    line(label, value);
  if (stats.distribution.full_marks)
    line("满分", std::to_string(*stats.distribution.full_marks) + " 分");
  line("题目", std::to_string(stats.questions.size()) + " 道");
  if (content.check) {
    line("与教师评分核对", content.check->ok()
                               ? TeacherCheckVerdict(*content.check)
                               : GbkToUtf8(TeacherCheckProblemLine(*content.check)));
  }
}

// An extra sheet's cells on the workbook's own writer (tallied as its own are).
class BookCells final : public SheetCells {
 public:
  BookCells(Book& book, lxw_worksheet* sheet, lxw_format* header)
      : book_(book), sheet_(sheet), header_(header) {}
  void Text(int64_t row, int col, const std::string& utf8, Style style) override {
    book_.Text(sheet_, row, col, utf8,
               style == Style::kHeader ? header_
               : style == Style::kNote ? book_.note()
                                       : nullptr);
  }
  void Number(int64_t row, int col, double value) override {
    book_.Number(sheet_, row, col, value);
  }
  void MarkedText(int64_t row, int col, const std::string& lead,
                  const std::string& marked, const std::string& tail) override {
    book_.Marked(sheet_, row, col, lead, marked, tail);
  }
  void Width(int first, int last, double width) override {
    book_.Width(sheet_, first, last, width);
  }

 private:
  Book& book_;
  lxw_worksheet* sheet_;
  lxw_format* header_;
};

// Writes the workbook to `file`, its rows spooled in `spool`.
WorkbookProblem WriteBook(const GradedClass& graded, const ClassStatistics& stats,
                          const std::filesystem::path& file,
                          const std::filesystem::path& spool,
                          const WorkbookContent& content,
                          const WorkbookOptions& options) {
  Book book(file, spool, options.created, content.description);
  if (!book.ok()) return book.Close();
  const int64_t max_rows = options.max_rows_per_sheet;
  WriteScores(book, graded, stats, max_rows);
  WriteReview(book, graded, content, max_rows);
  WriteQuestions(book, stats, max_rows);
  WriteScoringPoints(book, stats, max_rows);
  WriteBands(book, stats);
  WriteExplanations(book, graded, max_rows);
  for (const ExtraSheet& extra : options.extra_sheets) {
    if (lxw_worksheet* sheet = book.AddSheet(extra.name)) {
      BookCells cells(book, sheet, book.header());
      extra.write(cells);
    }
  }
  WriteInfo(book, stats, content);
  return book.Close();
}

// Whether spooling elsewhere may mend `problem`.
bool SpoolElsewhere(WorkbookProblem problem) {
  return problem == WorkbookProblem::kNoRoom ||
         problem == WorkbookProblem::kCannotCreate ||
         problem == WorkbookProblem::kIncomplete;
}

}  // namespace

std::string WorkbookProblemText(WorkbookProblem problem) {
  switch (problem) {
    case WorkbookProblem::kNone:
      return {};
    case WorkbookProblem::kNoRoom:
      return "磁盘空间不足";
    case WorkbookProblem::kFileSizeLimit:
      return "文件大小超过了系统的限制";
    case WorkbookProblem::kIncomplete:
      return "写出的文件不完整，已丢弃";
    case WorkbookProblem::kCannotCreate:
      return "无法在文件夹里新建文件";
    case WorkbookProblem::kCannotReplace:
      return "无法替换原有的同名文件，它可能正被 Excel 或 WPS 打开";
    case WorkbookProblem::kNameTaken:
      return "这个名字已被一个文件夹占用";
    case WorkbookProblem::kNoMemory:
      return "内存不足";
    case WorkbookProblem::kFailed:
      break;
  }
  return "写入失败";
}

Status WriteWorkbook(const GradedClass& graded, const ClassStatistics& stats,
                     const std::filesystem::path& path, const WorkbookContent& content,
                     const WorkbookOptions& options) {
  const auto failed = [](WorkbookProblem why) -> Status {
    return Failure{WorkbookProblemText(why)};
  };
  WorkbookProblem problem = WorkbookProblem::kFailed;
  bool tried = false;
  try {
    const Status placed =
        WriteThroughTemporary(path, [&](const std::filesystem::path& temporary) {
          tried = true;
          const QuietStandardError quiet;
          for (const std::filesystem::path& spool :
               SpoolFolders(temporary, SpoolEstimate(graded))) {
            problem = WriteBook(graded, stats, temporary, spool, content, options);
            if (!SpoolElsewhere(problem)) break;
          }
          return problem == WorkbookProblem::kNone;
        });
    if (placed.ok()) return Status();
  } catch (const std::bad_alloc&) {
    return failed(WorkbookProblem::kNoMemory);
  } catch (const std::system_error&) {  // no thread to explain papers on
    return failed(WorkbookProblem::kFailed);
  }
  // Written whole but not put in place, or never begun: the name is taken or the
  // folder refuses new files.
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    return failed(WorkbookProblem::kNameTaken);
  if (problem == WorkbookProblem::kNone) return failed(WorkbookProblem::kCannotReplace);
  return failed(tried ? problem : WorkbookProblem::kCannotCreate);
}

}  // namespace vantry
