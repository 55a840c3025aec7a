#include "export/run_description.h"

#include <cstdio>
#include <system_error>

#include "export/explanation.h"
#include "export/figure_text.h"
#include "text/numbers.h"

namespace vantry {
namespace {

std::string OneLine(GbkView gbk) {
  std::string utf8;
  AppendOneLine(gbk, utf8);
  return utf8;
}

}  // namespace

std::string ExamName(const std::filesystem::path& directory) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::absolute(directory, error);
  if (error) folder = directory;
  folder = folder.lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();
  const std::u8string name = folder.filename().u8string();
  return std::string(name.begin(), name.end());
}

RunDescription DescribeRun(const std::filesystem::path& directory,
                           const FinishedRun& run) {
  return {.exam = ExamName(directory),
          .dated = run.dated,
          .points_per_hit = OneLine(run.points_per_hit),
          .order_keys = OneLine(run.order_keys),
          .boxes_changed = run.boxes_changed,
          .papers = static_cast<int64_t>(run.graded.paper_count())};
}

std::string DateText(const LocalDateTime& time) {
  return IntegerText(time.year) + "年" + IntegerText(time.month) + "月" +
         IntegerText(time.day) + "日";
}

std::string DateTimeText(const LocalDateTime& time) {
  char clock[8];
  std::snprintf(clock, sizeof clock, "%02d:%02d", time.hour, time.minute);
  return DateText(time) + " " + clock;
}

std::vector<std::pair<std::string, std::string>> RunDescriptionLines(
    const RunDescription& d) {
  std::vector<std::pair<std::string, std::string>> lines = {
      {"考试", d.exam.empty() ? "（程序所在的文件夹）" : d.exam},
      {"阅卷时间", DateTimeText(d.dated)},
      {"试卷", IntegerText(d.papers) + " 份"},
      {"分值", d.points_per_hit.empty()
                   ? "（空：命中得分点不加分）"
                   : d.points_per_hit + "（每命中一个得分点的分数）"},
      {"先后顺序",
       d.order_keys.empty() ? "（空：没有按先后顺序计分的得分点）" : d.order_keys},
  };
  if (d.boxes_changed) {
    lines.emplace_back("注意",
                       "阅卷过程中改过分值或先后顺序：上面是阅卷结束时的内容，"
                       "先评的试卷按当时的内容计分");
  }
  return lines;
}

}  // namespace vantry
