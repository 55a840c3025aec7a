// Rule proposals learned from the papers a teacher marked: for each question the edits
// kept with their evidence and the agreement to expect on papers not learned from, the
// parameters file with the edits applied, and the papers worth marking next.
#ifndef VANTRY_ANALYSIS_RULE_PROPOSALS_H_
#define VANTRY_ANALYSIS_RULE_PROPOSALS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/rule_search.h"
#include "analysis/teacher_marks.h"
#include "grading/graded_class.h"
#include "scoring/program_state.h"
#include "text/gbk_text.h"

namespace vantry {

// The proposed rules' file beside the exam; the teacher's own 参数设置.txt is only read.
inline constexpr std::string_view kProposedParametersFileName = "参数设置_建议.txt";
// A question needs this many marked papers before anything is learned from them.
inline constexpr int kMinMarkedPapers = 10;

struct ProposalOptions {
  // The boxes' texts (GBK) the proposals score with, as the run had them.
  GbkText points_text = "2"_gbk;
  GbkText order_text;
  SearchSettings settings;
  // Threads; 0: one per hardware thread.
  int threads = 0;
  // The papers to mark next: at most this many.
  size_t next_papers = 10;
};

struct QuestionProposals {
  enum class Status {
    kSearched,      // edits searched for (there may be none)
    kTooFewMarked,  // fewer than kMinMarkedPapers marked papers
    kNoRule,        // beyond the rules in the parameters file
    kNotEditable,   // its block nests or overlaps another, or holds nested groups
    kNoMemory,      // the word segmenter could not be had
  };
  int question = 0;
  Status status = Status::kSearched;
  // The class's papers the teacher marked on this question (their index in the graded
  // class), in the sheet's order: the papers ChosenEdit::Change::paper counts.
  std::vector<size_t> marked_papers;
  std::vector<HalfPoints> half_marks;  // her marks, in the same order
  // The papers' answers to the question, views into the answer sheet.
  std::vector<GbkView> marked_answers;
  GbkText rule_before;
  QuestionSearch search;
  // For each kept edit, the papers not marked on this question whose score it changes.
  std::vector<int64_t> unmarked_changed;
};

// A paper worth her mark, and why: one whose score on a question she has not marked
// the proposals change, or, among those she has not marked at all, one by a level line.
struct NextPaper {
  size_t paper = 0;  // index in the graded class
  // The questions, not marked on this paper, whose score the proposals change.
  struct Change {
    int question = 0;
    int32_t before = 0;
    int32_t after = 0;
  };
  std::vector<Change> changes;
  // When it sits by a level line (优秀, 及格, 低分) within one points box: its total,
  // the line's percentage of the full marks and the line in points.
  int32_t total = 0;
  int level_percent = 0;
  double level_line = 0;
};

struct RuleProposals {
  // One per question column of the sheet, by question number.
  std::vector<QuestionProposals> questions;
  std::vector<NextPaper> next_papers;
  // The parameters file with every kept edit applied, every other byte as it was;
  // none when it could not be made, and why (GBK, one line).
  std::optional<GbkText> proposed_file;
  GbkText file_problem;
  // The resamples each choice was made again on (SearchSettings::resamples).
  int resamples = 0;

  size_t edit_count() const;
};

// Learns proposals for `graded`, graded with `state`'s rules, from `marks`.
// `parameters_file` is the parameters file's bytes as they stand now: the proposed
// file is made from them when they still read as the rules the class was graded with.
RuleProposals ProposeRules(const GradedClass& graded, const ProgramState& state,
                           const TeacherMarks& marks,
                           std::optional<GbkView> parameters_file,
                           const ProposalOptions& options);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_RULE_PROPOSALS_H_
