#include "export/proposals_page.h"

#include "export/figure_text.h"
#include "export/html_text.h"

namespace vantry {
namespace {

void AppendPapers(const char* caption, const std::vector<ChangedPaperReport>& papers,
                  bool broken, std::string& out) {
  out += "<p>";
  out += caption;
  out += " ";
  out += std::to_string(papers.size());
  out += " 份</p>";
  if (papers.empty()) return;
  out += "<div class=\"scroll\"><table class=\"changed";
  if (broken) out += " broken";
  out +=
      "\"><thead><tr><th>姓名</th><th class=\"n\">规则给分</th><th class=\"n\">教师</th>"
      "<th>答案</th></tr></thead><tbody>";
  for (const ChangedPaperReport& p : papers) {
    out += "<tr><td>";
    AppendHtml(p.name, out);
    out += "</td><td class=\"n\">";
    out += std::to_string(p.before) + " → " + std::to_string(p.after);
    out += "</td><td class=\"n\">";
    AppendHtml(p.teacher, out);
    out += "</td><td class=\"kw\">";
    AppendHtml(p.lead, out);
    if (!p.wording.empty()) {
      out += "<mark>";
      AppendHtml(p.wording, out);
      out += "</mark>";
    }
    AppendHtml(p.tail, out);
    out += "</td></tr>";
  }
  out += "</tbody></table></div>";
}

void AppendRule(const std::string& rule, const char* none, std::string& out) {
  if (rule.empty()) {
    out += none;
    return;
  }
  out += "<code>";
  AppendHtml(rule, out);
  out += "</code>";
}

}  // namespace

void AppendProposalsSection(const ProposalsReport& report, std::string& out) {
  out += "<section id=\"proposals\"><h2>规则建议</h2><p>根据 ";
  AppendHtml(report.sheet_name, out);
  out += " 里您批改过的试卷。";
  if (report.file_written) {
    out += "建议的规则已写入 <strong>";
    AppendHtml(report.file_name, out);
    out += "</strong>（" + std::to_string(report.edit_count) +
           " 处修改；参数设置.txt 没有改动）：看过、认可之后，用它替换参数设置.txt。</p>";
  } else {
    out += "</p><p class=\"warn\">";
    AppendHtml(report.file_problem.empty() ? "建议的规则未能保存到 " + report.file_name
                                           : report.file_problem,
               out);
    out += "</p>";
  }
  for (const QuestionProposalsReport& q : report.questions) {
    out += "<div><h3>";
    out += QuestionLabel(q.question);
    out += "</h3><p>";
    AppendHtml(q.status, out);
    out += "</p>";
    if (q.estimated) {
      out += "<p class=\"note\">预计在没学过的试卷上（";
      AppendHtml(q.method, out);
      out += "）</p><ul><li>加权 kappa ";
      AppendHtml(q.kappa, out);
      out += "</li><li>完全一致 ";
      AppendHtml(q.exact, out);
      out += "</li><li>平均差（规则 − 教师）";
      AppendHtml(q.mean_difference, out);
      out += "</li></ul>";
    }
    for (size_t j = 0; j < q.proposals.size(); ++j) {
      const ProposalReport& p = q.proposals[j];
      out += "<div class=\"proposal\"><h4>" + std::to_string(j + 1) + ". ";
      AppendHtml(p.title, out);
      out += "</h4><p>";
      AppendRule(p.before, "（新的得分点）", out);
      out += " → ";
      AppendRule(p.after, "（删去）", out);
      out += "</p><p class=\"note\">";
      AppendHtml(p.stability, out);
      if (!p.shares.empty()) {
        out += "；含这个写法的：";
        AppendHtml(p.shares, out);
      }
      out += "；改变未批改的试卷 " + std::to_string(p.unmarked_changed) + " 份</p>";
      AppendPapers("改对", p.fixed, false, out);
      AppendPapers("改错", p.broken, true, out);
      out += "</div>";
    }
    out += "</div>";
  }
  if (!report.next.empty()) {
    out += "<h3>下一步最值得批改的试卷</h3><ol>";
    for (const NextPaperReport& n : report.next) {
      out += "<li><strong>";
      AppendHtml(n.name, out);
      out += "</strong>：";
      AppendHtml(n.reason, out);
      out += "</li>";
    }
    out += "</ol>";
  }
  out += "</section>";
}

}  // namespace vantry
