#include "grading/report.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_io.h"
#include "text/blank_lines.h"
#include "text/date_time.h"
#include "text/gbk_codec.h"
#include "text/numbers.h"

namespace vantry {
namespace {

// The report's name in UTF-8 for the file system.
std::string ReportFileNameUtf8(const LocalDateTime& now) {
  return DatedFileName(kReportFileStem, now, kReportFileExtension);
}

// A whole number in the 32-bit range: an optional "-" and 1 to 10 digits.
std::optional<int32_t> ReadTotal(std::string_view text) {
  const bool negative = text.starts_with('-');
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  value = negative ? -value : value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

// Where the scores of a line's front part (its name, then " " and a score per
// question) could begin, shortest name first: before each trailing " score".
std::vector<size_t> NameEnds(std::string_view front) {
  constexpr size_t kMaxNames = 8;
  std::vector<size_t> ends = {front.size()};
  size_t end = front.size();
  while (true) {
    const size_t space = front.rfind(' ', end == 0 ? 0 : end - 1);
    if (space == std::string_view::npos || space + 1 >= end ||
        !ReadTotal(front.substr(space + 1, end - space - 1)))
      break;
    end = space;
    ends.push_back(end);
  }
  std::reverse(ends.begin(), ends.end());
  if (ends.size() > kMaxNames) ends.resize(kMaxNames);
  return ends;
}

}  // namespace

std::vector<ReportedTotal> ReadReportTotals(GbkView report_text,
                                            const std::function<bool(GbkView)>& is_name) {
  const std::string_view report = report_text.bytes();
  std::vector<ReportedTotal> totals;
  size_t record = 0;  // where the current line, with any name lines before it, begins
  for (size_t line = 0; line <= report.size();) {
    size_t end = report.find("\r\n", line);
    if (end == std::string_view::npos) end = report.size();
    const std::string_view text = report.substr(line, end - line);
    const size_t gap = text.rfind("  ");
    const std::optional<int32_t> total =
        gap == std::string_view::npos ? std::nullopt : ReadTotal(text.substr(gap + 2));
    if (total) {
      const std::string_view front = report.substr(record, line + gap - record);
      const std::vector<size_t> ends = NameEnds(front);
      size_t name_end = ends.front();
      for (size_t e : ends) {
        if (is_name(GbkView(front.substr(0, e)))) {
          name_end = e;
          break;
        }
      }
      totals.push_back({.name = GbkView(front.substr(0, name_end)), .total = *total});
      record = end + 2;
    }
    line = end + 2;
  }
  return totals;
}

void AppendReportLine(GbkText& report, GbkView name, GbkView score_line, int32_t total) {
  report.append(name).append(" "_gbk).append(score_line).append(" "_gbk);
  report.append(FormatInteger(total)).append("\r\n"_gbk);
}

void AppendReportLine(GbkText& report, const PaperRecord& paper) {
  char number[16];
  const auto append_number = [&](int32_t value) {
    const char* end = std::to_chars(number, number + sizeof number, value).ptr;
    report.append(GbkView(std::string_view(number, static_cast<size_t>(end - number))));
  };
  report.append(paper.name).push_back(' ');
  for (const QuestionRecord& question : paper.questions) {
    append_number(question.shown_score);
    report.push_back(' ');
  }
  report.push_back(' ');
  append_number(paper.total);
  report.append("\r\n"_gbk);
}

GbkText ReportFileName(const Clock& clock) {
  return Utf8ToGbk(ReportFileNameUtf8(clock.Now()));
}

ReportResult WriteReport(GbkText& report_text, const std::filesystem::path& directory,
                         const Clock& clock) {
  ReportResult result;
  result.dated = clock.Now();
  const std::string utf8_name = ReportFileNameUtf8(result.dated);
  result.path = PathInDirectory(directory, utf8_name);
  result.file_name = Utf8ToGbk(utf8_name);
  const GbkText cleaned = RemoveBlankLines(report_text);
  FileRead replaced = ReadWholeFileWithStatus(result.path);
  if (replaced.ok()) result.replaced = GbkText(std::move(replaced->bytes));
  result.written = WriteWholeFile(result.path, {cleaned.bytes()});
  return result;
}

GbkText SummaryText(int64_t paper_count, const RunTimes& times,
                    const ReportResult& report) {
  static const GbkText kPapers = Utf8ToGbk("共有试卷：");
  static const GbkText kTime = Utf8ToGbk(" 份\r\n批卷用时：");
  static const GbkText kAverage = Utf8ToGbk(" 秒\r\n平均每份用时：");
  static const GbkText kSavedIn = Utf8ToGbk(" 秒\r\n阅卷结果已保存在‘");
  static const GbkText kSavedEnd = Utf8ToGbk("’！");
  static const GbkText kNotSavedIn = Utf8ToGbk(" 秒\r\n阅卷结果未能保存到‘");
  static const GbkText kNotSavedEnd = Utf8ToGbk("’！请检查程序所在文件夹是否可写。");

  // Integer division drops the fraction toward zero, as whole seconds should.
  const int64_t seconds =
      (TimestampMilliseconds(times.ended) - TimestampMilliseconds(times.started)) / 1000;
  // Without papers there is nothing to divide by; the average shows 0.
  const double average =
      paper_count > 0
          ? RoundTo(static_cast<double>(seconds) / static_cast<double>(paper_count), 3)
          : 0.0;
  GbkText text = kPapers;
  text += FormatInteger(paper_count);
  text += kTime;
  text += FormatInteger(seconds);
  text += kAverage;
  text += FormatFloat(average);
  text += report.written ? kSavedIn : kNotSavedIn;
  text += report.file_name;
  text += report.written ? kSavedEnd : kNotSavedEnd;
  return text;
}

}  // namespace vantry
