// The papers that need a second look (需要复核): papers identical to another, blank
// papers, answers with content that scored 0, papers with fewer answers than the
// class, and names in the teacher's marks that match no paper, with the nearest name
// of a paper suggested. (The papers where the rules and the teacher differ most are
// the check's, marks_comparison.h.)
#ifndef VANTRY_ANALYSIS_REVIEW_LIST_H_
#define VANTRY_ANALYSIS_REVIEW_LIST_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/class_statistics.h"
#include "analysis/marks_comparison.h"
#include "grading/graded_class.h"
#include "text/gbk_text.h"

namespace vantry {

// Each list keeps at most this many entries; its count says how many there are.
inline constexpr size_t kMaxReviewEntries = 5000;
// Only the first this many names without a paper get a suggestion: each is compared
// with every paper without marks.
inline constexpr size_t kSuggestedNames = 20;

template <typename Entry>
struct ReviewEntries {
  std::vector<Entry> entries;  // in the class's order, at most kMaxReviewEntries
  int64_t count = 0;           // all there are
};

struct ReviewList {
  // Papers whose answers equal another's, question by question, white space aside:
  // groups of two or more, each in sheet order, the groups by their first paper.
  // Blank papers are not among them.
  ReviewEntries<std::vector<size_t>> identical;
  // Papers without an answer with content (answer_content.h).
  ReviewEntries<size_t> blank;
  // Answers with content that scored 0 under a rule with keywords, the question's cap
  // (if any) above 0.
  struct Answer {
    size_t paper = 0;
    int question = 0;
  };
  ReviewEntries<Answer> zero_with_content;
  // Papers that answered fewer questions than most of the class, blank papers aside;
  // `usual_answers` is that most common number.
  ReviewEntries<size_t> fewer_answers;
  uint32_t usual_answers = 0;
  // Names of the teacher's marks that match no paper, in the sheet's order, each with
  // the paper of the nearest name among the papers without marks when one is close:
  // at most 1 character off for names of up to 3 characters, 2 for longer ones.
  struct UnknownName {
    GbkText name;
    std::optional<size_t> nearest_paper;
  };
  ReviewEntries<UnknownName> unknown_names;
};

// Finds what needs a second look in `graded` (with `statistics` of it; `comparison`
// with the teacher's marks, if any). Papers whose answers might be identical are
// graded again for their records (GradedClass::Record) to compare their answers.
ReviewList FindPapersToReview(const GradedClass& graded,
                              const ClassStatistics& statistics,
                              const MarksComparison* comparison);

// The edit distance of two GBK texts in characters (insertions, deletions and
// substitutions of one character), or `limit` + 1 when it is above `limit`.
int NameDistance(GbkView a, GbkView b, int limit);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_REVIEW_LIST_H_
