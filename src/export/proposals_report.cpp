#include "export/proposals_report.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "analysis/class_statistics.h"
#include "analysis/half_points.h"
#include "analysis/rule_edit.h"
#include "export/explanation.h"
#include "export/figure_text.h"
#include "scoring/keyword_search.h"
#include "text/find_text.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// Characters of the answer shown on each side of the wording.
constexpr size_t kContextCharacters = 24;

std::string Utf8(GbkView gbk) {
  std::string out;
  AppendOneLine(gbk, out);
  return out;
}

size_t CharacterWidth(GbkView gbk, size_t at) {
  return IsLeadByte(static_cast<unsigned char>(gbk[at])) && at + 1 < gbk.size() ? 2 : 1;
}

// Where the answer is cut: at most kContextCharacters characters before `begin`, as
// the grader steps through it, and after `end`.
void FillAnswer(GbkView answer, GbkView wording, ChangedPaperReport& out) {
  const int64_t found = wording.empty() ? -1 : FindText(answer, wording);
  std::vector<size_t> starts;  // every character's first byte
  for (size_t i = 0; i < answer.size(); i += CharacterWidth(answer, i))
    starts.push_back(i);
  const auto cut = [&](size_t from_char, size_t to_char) {
    const size_t from = from_char < starts.size() ? starts[from_char] : answer.size();
    const size_t to = to_char < starts.size() ? starts[to_char] : answer.size();
    return answer.substr(from, to - from);
  };
  if (found < 0) {
    out.lead = Utf8(cut(0, 2 * kContextCharacters));
    if (starts.size() > 2 * kContextCharacters) out.lead += "…";
    return;
  }
  const auto begin = static_cast<size_t>(found - 1);
  size_t first = 0;
  while (first < starts.size() && starts[first] < begin) ++first;
  size_t last = first;  // the first character after the wording
  while (last < starts.size() && starts[last] < begin + wording.size()) ++last;
  const size_t from = first > kContextCharacters ? first - kContextCharacters : 0;
  out.lead = (from > 0 ? "…" : "") + Utf8(cut(from, first));
  out.wording = Utf8(answer.substr(begin, wording.size()));
  out.tail = Utf8(cut(last, last + kContextCharacters));
  if (last + kContextCharacters < starts.size()) out.tail += "…";
}

std::string GroupSyntax(GbkView body) { return "<关键词>" + Utf8(body) + "</关键词>"; }

std::string Share(int part, int whole) {
  return std::to_string(part) + "/" + std::to_string(whole) + "（" +
         PercentText(whole > 0 ? std::optional<double>(static_cast<double>(part) / whole)
                               : std::nullopt,
                     0) +
         "）";
}

std::string_view StatusText(QuestionProposals::Status status) {
  switch (status) {
    case QuestionProposals::Status::kSearched:
      return "";
    case QuestionProposals::Status::kTooFewMarked:
      return "批改的试卷太少，不提建议（至少要 10 份）";
    case QuestionProposals::Status::kNoRule:
      return "参数设置里没有这道题的规则，不提建议";
    case QuestionProposals::Status::kNotEditable:
      return "这道题的规则里标记嵌套或不完整（或答案太长），不提建议";
    case QuestionProposals::Status::kNoMemory:
      return "内存不足，未能分词，不提建议";
  }
  return "";
}

std::string_view LevelName(int percent) {
  if (percent == kExcellentPercent) return "优秀";
  if (percent == kPassPercent) return "及格";
  return "低分";
}

ProposalReport ReportEdit(const QuestionProposals& q, const ChosenEdit& chosen,
                          GbkView rule_before, GbkView rule_after,
                          const GradedClass& graded, int resamples) {
  const RuleEdit& e = chosen.edit;
  ProposalReport r;
  const std::string g = std::to_string(e.group);
  r.wording = Utf8(e.wording);
  const auto before = KeywordGroupTexts(rule_before),
             after = KeywordGroupTexts(rule_after);
  const auto k = static_cast<size_t>(e.group - 1);
  switch (e.kind) {
    case RuleEdit::Kind::kAddWording:
      r.title = "得分点" + g + " 加写法「" + r.wording + "」";
      break;
    case RuleEdit::Kind::kAddGroup:
      r.title = "新增得分点" + g + "「" + r.wording + "」";
      break;
    case RuleEdit::Kind::kDropWording:
      r.title = "得分点" + g + " 删去写法「" + r.wording + "」";
      break;
    case RuleEdit::Kind::kDropGroup:
      r.title = "删去得分点" + g;
      break;
  }
  if (e.kind == RuleEdit::Kind::kAddWording || e.kind == RuleEdit::Kind::kAddGroup) {
    // The same wording in another group: the point then counts twice.
    for (size_t h = 0; h < before.size(); ++h) {
      std::vector<GbkView> alternatives;
      AppendNonEmptyPieces(before[h], "|"_gbk, alternatives);
      if (h != k && std::find(alternatives.begin(), alternatives.end(), e.wording) !=
                        alternatives.end()) {
        r.title += "（得分点" + std::to_string(h + 1) + " 已有这个写法，答出它计两次分）";
        break;
      }
    }
  }
  if (e.kind != RuleEdit::Kind::kAddGroup && k < before.size())
    r.before = GroupSyntax(before[k]);
  if (e.kind != RuleEdit::Kind::kDropGroup && k < after.size())
    r.after = GroupSyntax(after[k]);
  // Kept because it helped on the marked papers the resamples left out: say so.
  r.stability = resamples > 0 ? std::to_string(resamples) + " 次重抽样中 " +
                                    std::to_string(chosen.resamples_chosen) +
                                    " 次仍选中，在这些重抽样没抽到的已批改试卷上改对 " +
                                    std::to_string(chosen.left_out_fixed) + " 份、改错 " +
                                    std::to_string(chosen.left_out_broken) + " 份"
                              : "未做重抽样";
  if (e.kind == RuleEdit::Kind::kAddWording || e.kind == RuleEdit::Kind::kAddGroup) {
    r.shares = "低分卷（不到满分一半）" +
               Share(chosen.low_with_wording, chosen.low_papers) + "，其余 " +
               Share(chosen.high_with_wording, chosen.high_papers);
  }
  const auto paper = [&](const ChosenEdit::Change& c) {
    ChangedPaperReport p;
    p.name = Utf8(graded.papers()[q.marked_papers[c.paper]].name);
    p.before = c.before;
    p.after = c.after;
    p.teacher = HalfPointsText(q.half_marks[c.paper]);
    const GbkView answer = q.marked_answers[c.paper];
    GbkView wording = e.wording;
    if (e.kind == RuleEdit::Kind::kDropGroup && k < before.size()) {
      // The group's wording the scorer found: its first alternative in the answer.
      std::vector<GbkView> alternatives;
      AppendNonEmptyPieces(before[k], "|"_gbk, alternatives);
      wording = {};
      for (GbkView a : alternatives) {
        if (FindText(answer, a) > 0) {
          wording = a;
          break;
        }
      }
    }
    FillAnswer(answer, wording, p);
    return p;
  };
  for (const auto& c : chosen.fixed) r.fixed.push_back(paper(c));
  for (const auto& c : chosen.broken) r.broken.push_back(paper(c));
  return r;
}

void AppendPapers(const std::vector<ChangedPaperReport>& papers, std::string& out) {
  for (const ChangedPaperReport& p : papers) {
    out += "      " + p.name + "  规则 " + std::to_string(p.before) + "→" +
           std::to_string(p.after) + " 分，教师 " + p.teacher + " 分：" + p.lead;
    if (!p.wording.empty()) out += "【" + p.wording + "】";
    out += p.tail + "\n";
  }
}

}  // namespace

ProposalsReport ReportProposals(const RuleProposals& proposals, const GradedClass& graded,
                                std::string sheet_name) {
  ProposalsReport report;
  report.sheet_name = std::move(sheet_name);
  report.edit_count = proposals.edit_count();
  report.file_problem = GbkToUtf8(proposals.file_problem);
  for (const QuestionProposals& q : proposals.questions) {
    QuestionProposalsReport& r = report.questions.emplace_back();
    r.question = q.question;
    r.marked = static_cast<int>(q.marked_papers.size());
    if (q.status != QuestionProposals::Status::kSearched) {
      r.status = "已批改 " + std::to_string(r.marked) + " 份；" +
                 std::string(StatusText(q.status));
      continue;
    }
    const QuestionSearch& s = q.search;
    r.status = "已批改 " + std::to_string(r.marked) + " 份；";
    if (s.edits.empty()) {
      r.status += "没有找到可靠的修改";
    } else if (s.withheld) {
      r.status += "找到 " + std::to_string(s.edits.size()) +
                  " 处修改，但预计它们在没学过的试卷上反而不如原规则，没有写进建议的规则";
    } else {
      r.status += "建议 " + std::to_string(s.edits.size()) + " 处修改";
    }
    const HeldOutEstimate& e = s.estimate;
    r.estimated = true;
    r.method = std::to_string(e.folds) + " 折交叉验证";
    if (e.cuts > 1) r.method += "，换 " + std::to_string(e.cuts) + " 种分法各做一次";
    r.method += "：每份已批改的试卷都用没见过它的规则评分，与您的评分比较";
    r.kappa = FixedText(e.before.weighted_kappa, 2) + " → " +
              FixedText(e.after.weighted_kappa, 2);
    if (e.before.weighted_kappa && e.after.weighted_kappa) {
      r.kappa +=
          "（变化 " + SignedText(*e.after.weighted_kappa - *e.before.weighted_kappa, 2);
      if (e.kappa_change_spread)
        r.kappa += "，波动 ±" + FixedText(e.kappa_change_spread, 2);
      r.kappa += "）";
    }
    r.exact =
        PercentText(e.before.exact_share) + " → " + PercentText(e.after.exact_share);
    r.mean_difference = SignedText(e.before.mean_difference, 2) + " → " +
                        SignedText(e.after.mean_difference, 2) + " 分";
    GbkText rule = q.rule_before;
    for (size_t j = 0; j < s.edits.size(); ++j) {
      const GbkText next = ApplyRuleEdit(rule, s.edits[j].edit).value_or(rule);
      ProposalReport p =
          ReportEdit(q, s.edits[j], rule, next, graded, proposals.resamples);
      if (j < q.unmarked_changed.size()) p.unmarked_changed = q.unmarked_changed[j];
      r.proposals.push_back(std::move(p));
      rule = next;
    }
  }
  for (const NextPaper& n : proposals.next_papers) {
    NextPaperReport& r = report.next.emplace_back();
    r.name = Utf8(graded.papers()[n.paper].name);
    for (const NextPaper::Change& c : n.changes) {
      r.reason += r.reason.empty() ? "建议的规则改了它的得分：" : "，";
      r.reason += QuestionLabel(c.question) + " " + std::to_string(c.before) + "→" +
                  std::to_string(c.after) + " 分";
    }
    if (n.level_percent > 0) {
      r.reason = "总分 " + std::to_string(n.total) + "，在" +
                 std::string(LevelName(n.level_percent)) + "线 " +
                 FixedText(n.level_line,
                           n.level_line == static_cast<int64_t>(n.level_line) ? 0 : 1) +
                 " 分附近，一个得分点就能改变等级";
    }
  }
  return report;
}

std::string ProposalsText(const ProposalsReport& report) {
  std::string out = "规则建议（根据 " + report.sheet_name + " 里您批改过的试卷）\n";
  for (const QuestionProposalsReport& q : report.questions) {
    out += "\n" + QuestionLabel(q.question) + "：" + q.status + "\n";
    if (q.estimated) {
      out += "  预计在没学过的试卷上（" + q.method + "）：\n";
      out += "    加权 kappa " + q.kappa + "\n";
      out += "    完全一致 " + q.exact + "\n";
      out += "    平均差（规则 − 教师）" + q.mean_difference + "\n";
    }
    for (size_t j = 0; j < q.proposals.size(); ++j) {
      const ProposalReport& p = q.proposals[j];
      out += "  " + std::to_string(j + 1) + ". " + p.title + "\n";
      out += "     " + (p.before.empty() ? "（无）" : p.before) + " → " +
             (p.after.empty() ? "（删去）" : p.after) + "\n";
      out += "     " + p.stability;
      if (!p.shares.empty()) out += "；含这个写法的：" + p.shares;
      out += "；改变未批改的试卷 " + std::to_string(p.unmarked_changed) + " 份\n";
      out += "     改对 " + std::to_string(p.fixed.size()) + " 份：\n";
      AppendPapers(p.fixed, out);
      out += "     改错 " + std::to_string(p.broken.size()) + " 份" +
             (p.broken.empty() ? "\n" : "：\n");
      AppendPapers(p.broken, out);
    }
  }
  if (!report.next.empty()) {
    out += "\n下一步最值得批改的试卷：\n";
    for (const NextPaperReport& n : report.next)
      out += "  " + n.name + "：" + n.reason + "\n";
  }
  out += "\n";
  if (report.file_written) {
    out += "建议的规则已写入 " + report.file_name + "（" +
           std::to_string(report.edit_count) + " 处修改；参数设置.txt 没有改动）\n";
  } else if (!report.file_problem.empty()) {
    out += report.file_problem + "\n";
  } else {
    out += "建议的规则未能保存到 " + report.file_name + "\n";
  }
  return out;
}

}  // namespace vantry
