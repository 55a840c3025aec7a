// Choosing edits of one question's rule from the papers the teacher marked, and
// estimating how the edited rule will agree with her on papers it did not learn from.
#ifndef VANTRY_ANALYSIS_RULE_SEARCH_H_
#define VANTRY_ANALYSIS_RULE_SEARCH_H_

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/agreement.h"
#include "analysis/half_points.h"
#include "analysis/rule_edit.h"
#include "analysis/wording_candidates.h"
#include "text/gbk_text.h"

namespace vantry {

// How edits are chosen. The defaults are the program's; they were fixed before any
// marked data was looked at and are not fitted to any.
struct SearchSettings {
  // An edit is kept only when it brings at least this many marked papers closer to
  // the teacher's mark ("several")...
  int min_fixed = 3;
  // ...and takes at most this share of that number farther from it (rounded down: none
  // below ten).
  double max_broken_share = 0.1;
  // A wording is added only when its share among the low-marked papers (below half
  // marks) is under this share of its share among the others: a wording as common in
  // poor answers as in good ones carries no content.
  double proxy_ratio = 0.5;
  // Resamples of the marked papers (drawn with replacement) on which the choice is
  // made again. An edit is kept when, over the resamples that chose it, it brought the
  // marked papers each resample left out closer to the teacher's marks (less squared
  // difference in all): it helped on papers it was not chosen from. No resamples:
  // every edit chosen is kept.
  int resamples = 20;
  // The estimate: a cross-validation over the marked papers in this many folds, and
  // resamples of the marked papers (each with its held-out scores) for the spread.
  int folds = 5;
  int spread_resamples = 400;
  // With few marked papers one cut into folds gives an estimate that depends on which
  // papers fell together: the cross-validation is made again with new cuts until it
  // has held out at least `estimate_papers` papers in all, in at most `max_cuts` cuts.
  int estimate_papers = 120;
  int max_cuts = 4;
  // At most this many edits a question.
  int max_edits = 12;
  // Every draw comes from this seed, so the same marks give the same proposals.
  uint64_t seed = 0x5EED2026;
};

// The marks and answers of one question's marked papers, and its rule.
struct QuestionCase {
  int question = 0;  // 1-based
  GbkText rule;      // the rule text as the scorer reads it
  std::optional<int32_t> cap;
  // The boxes' texts (GBK): they hold still while the edits are scored.
  GbkText points_text;
  GbkText order_text;
  // Per marked paper: its answer to the question (none: the paper lacks the question,
  // which scores 0 whatever the rule) and the teacher's mark in half points.
  std::vector<std::optional<GbkView>> answers;
  std::vector<HalfPoints> half_marks;
  // Candidate wordings; their marked_with index `answers`.
  WordingCandidates candidates;
};

// An edit kept, with what it does on the marked papers, in the order the edits apply.
struct ChosenEdit {
  RuleEdit edit;
  // The resamples on which it was chosen again (for an added wording: it, or a wording
  // found in largely the same marked papers, was added)...
  int resamples_chosen = 0;
  // ...and, summed over those, the marked papers the resample left out that it brought
  // closer to the teacher's mark and took farther from it where it was chosen.
  int left_out_fixed = 0;
  int left_out_broken = 0;
  // Marked papers (indices into QuestionCase::answers) it brings closer to the
  // teacher's mark and takes farther from it, with their scores before and after it.
  struct Change {
    uint32_t paper = 0;
    int32_t before = 0;
    int32_t after = 0;
  };
  std::vector<Change> fixed;
  std::vector<Change> broken;
  // For an added wording: the low-marked papers (below half marks) and those that hold
  // it, and the same for the other marked papers.
  int low_papers = 0;
  int low_with_wording = 0;
  int high_papers = 0;
  int high_with_wording = 0;
};

// The agreement expected on papers the procedure did not learn from.
struct HeldOutEstimate {
  int folds = 0;
  int cuts = 0;
  // Over every marked paper, each scored by the rule learned without its fold, once
  // in each cut (`after` counts every paper `cuts` times).
  Agreement before;
  Agreement after;
  // The standard deviations of the kappa after, and of its change, over resamples of
  // the marked papers, each drawn with its score from every cut; none when kappa is
  // undefined.
  std::optional<double> kappa_spread;
  std::optional<double> kappa_change_spread;
};

struct QuestionSearch {
  std::vector<ChosenEdit> edits;
  // Set when the estimate says the edits would agree less with the teacher on papers
  // they were not learned from: they are shown but not proposed, and rule_after and
  // scores_after are the rule's own.
  bool withheld = false;
  // The rule with the proposed edits applied.
  GbkText rule_after;
  // Every marked paper's score under the rule before and after (the papers the edits
  // were learned from: not an estimate).
  std::vector<int32_t> scores_before;
  std::vector<int32_t> scores_after;
  HeldOutEstimate estimate;
};

// Chooses edits greedily, each the one that most lowers the squared differences from
// the teacher's marks among those that fix several papers and break almost none, keeps
// those that, chosen on resamples, helped on the papers the resamples left out, and
// estimates the result by doing all of this
// again within each fold of a cross-validation; edits the estimate expects to do harm
// are withheld. Every edit is scored by GradeQuestion
// with the question's boxes and cap; only the papers an edit can change are scored
// again. Uses up to `threads` threads (at least one).
QuestionSearch SearchRuleEdits(const QuestionCase& c, const SearchSettings& settings,
                               int threads = 1);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_RULE_SEARCH_H_
