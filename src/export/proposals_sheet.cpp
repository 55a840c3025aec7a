#include "export/proposals_sheet.h"

#include <string>
#include <vector>

#include "export/figure_text.h"

namespace vantry {

void WriteProposalsSheet(const ProposalsReport& report, SheetCells& cells) {
  using Style = SheetCells::Style;
  cells.Width(0, 0, 8);
  cells.Width(1, 1, 26);
  cells.Width(2, 3, 30);
  cells.Width(4, 6, 18);
  cells.Width(7, 7, 12);
  cells.Width(8, 10, 10);
  cells.Width(11, 11, 70);
  int64_t row = 0;
  const auto header = [&](const std::vector<std::string>& titles) {
    for (size_t c = 0; c < titles.size(); ++c)
      cells.Text(row, static_cast<int>(c), titles[c], Style::kHeader);
    ++row;
  };
  cells.Text(row++, 0, "规则建议：根据 " + report.sheet_name + " 里您批改过的试卷");
  cells.Text(
      row++, 0,
      report.file_written
          ? "建议的规则已写入 " + report.file_name + "（" +
                std::to_string(report.edit_count) + " 处修改；参数设置.txt 没有改动）"
          : (report.file_problem.empty() ? "建议的规则未能保存到 " + report.file_name
                                         : report.file_problem),
      Style::kNote);
  ++row;

  header({"题目", "结果", "预计 kappa（没学过的试卷）", "预计完全一致", "预计平均差",
          "估计方法"});
  for (const QuestionProposalsReport& q : report.questions) {
    cells.Text(row, 0, QuestionLabel(q.question));
    cells.Text(row, 1, q.status);
    if (q.estimated) {
      cells.Text(row, 2, q.kappa);
      cells.Text(row, 3, q.exact);
      cells.Text(row, 4, q.mean_difference);
      cells.Text(row, 5, q.method);
    }
    ++row;
  }
  ++row;

  header({"题目", "建议", "原规则", "建议的规则", "稳定性", "含这个写法的",
          "改变未批改试卷", "姓名", "规则给分", "教师评分", "结果", "答案（写法标红）"});
  for (const QuestionProposalsReport& q : report.questions) {
    for (const ProposalReport& p : q.proposals) {
      const auto paper = [&](const ChangedPaperReport& c, const char* outcome) {
        cells.Text(row, 0, QuestionLabel(q.question));
        cells.Text(row, 1, p.title);
        cells.Text(row, 2, p.before.empty() ? "（新的得分点）" : p.before);
        cells.Text(row, 3, p.after.empty() ? "（删去）" : p.after);
        cells.Text(row, 4, p.stability);
        cells.Text(row, 5, p.shares);
        cells.Number(row, 6, static_cast<double>(p.unmarked_changed));
        cells.Text(row, 7, c.name);
        cells.Text(row, 8, std::to_string(c.before) + " → " + std::to_string(c.after));
        cells.Text(row, 9, c.teacher);
        cells.Text(row, 10, outcome);
        cells.MarkedText(row, 11, c.lead, c.wording, c.tail);
        ++row;
      };
      for (const ChangedPaperReport& c : p.fixed) paper(c, "改对");
      for (const ChangedPaperReport& c : p.broken) paper(c, "改错");
    }
  }
  if (report.next.empty()) return;
  ++row;
  header({"下一步最值得批改的试卷", "原因"});
  for (const NextPaperReport& n : report.next) {
    cells.Text(row, 0, n.name);
    cells.Text(row, 1, n.reason);
    ++row;
  }
}

}  // namespace vantry
