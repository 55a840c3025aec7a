// The rule proposals as a teacher reads them: every text ready (UTF-8) for the
// terminal, the analysis page's section 规则建议 and the workbook's sheet 规则建议.
#ifndef VANTRY_EXPORT_PROPOSALS_REPORT_H_
#define VANTRY_EXPORT_PROPOSALS_REPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/rule_proposals.h"
#include "grading/graded_class.h"

namespace vantry {

// A marked paper an edit changes.
struct ChangedPaperReport {
  std::string name;
  int32_t before = 0;  // the rules' score before the edit and after it
  int32_t after = 0;
  std::string teacher;  // her mark, e.g. "10" or "6.5"
  // Its answer on one line, around the first place the wording stands (cut with "…"):
  // the text before the wording, the wording as written there, and the text after.
  // `wording` is empty when the answer does not hold it.
  std::string lead;
  std::string wording;
  std::string tail;
};

struct ProposalReport {
  std::string title;  // e.g. "得分点2 加写法「叶绿素」"
  std::string
      before;  // the group in the rules' syntax before ("<关键词>叶绿体</关键词>");
  std::string after;  // and after; empty where there is none (a new or dropped group)
  std::string wording;
  // e.g. "20 次重抽样中 18 次仍选中，在这些重抽样没抽到的已批改试卷上改对 40 份、改错 2
  // 份"
  std::string stability;
  // For an added wording: how often it stands in low-marked papers and in the others,
  // e.g. "低分卷 0/6（0%），其余 8/24（33%）"; empty for drops.
  std::string shares;
  int64_t unmarked_changed = 0;
  std::vector<ChangedPaperReport> fixed;
  std::vector<ChangedPaperReport> broken;
};

struct QuestionProposalsReport {
  int question = 0;
  int marked = 0;
  // What became of the question, e.g. "建议 2 处修改" or "已批改 6 份，少于 10
  // 份，不提建议".
  std::string status;
  // The estimate on papers not learned from, when edits were searched: the method and
  // each figure before → after.
  bool estimated = false;
  std::string method;           // e.g. "5 折交叉验证：每份已批改的试卷都用…"
  std::string kappa;            // e.g. "0.21 → 0.45（变化 +0.24，波动 ±0.08）"
  std::string exact;            // e.g. "31.0% → 52.3%"
  std::string mean_difference;  // e.g. "-2.10 → -0.60 分"
  std::vector<ProposalReport> proposals;
};

struct NextPaperReport {
  std::string name;
  std::string reason;  // e.g. "第1题 5→10 分" or "总分 57，离及格线 60 分 3 分"
};

struct ProposalsReport {
  std::string sheet_name;  // the marks' file (UTF-8)
  // The proposed rules' file: its name, whether it was written, or why not.
  std::string file_name;
  bool file_written = false;
  std::string file_problem;
  size_t edit_count = 0;
  std::vector<QuestionProposalsReport> questions;
  std::vector<NextPaperReport> next;
};

// The report of `proposals`, learned for `graded` from the sheet `sheet_name`.
ProposalsReport ReportProposals(const RuleProposals& proposals, const GradedClass& graded,
                                std::string sheet_name);

// The report for a terminal (UTF-8, LF line ends); the wording in each answer stands
// in 【】.
std::string ProposalsText(const ProposalsReport& report);

}  // namespace vantry

#endif  // VANTRY_EXPORT_PROPOSALS_REPORT_H_
