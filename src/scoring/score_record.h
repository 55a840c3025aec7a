// What the keyword scorer decided, recorded as it decided it.
#ifndef VANTRY_SCORING_SCORE_RECORD_H_
#define VANTRY_SCORING_SCORE_RECORD_H_

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "scoring/group_mode.h"
#include "text/gbk_text.h"

namespace vantry {

// One keyword group of one answer. Texts are views into the rule.
struct GroupRecord {
  int32_t group = 0;  // 1-based, in the order of the rule's "<关键词>" blocks
  // The group's mode at the last read of the order box for this group (the box is read
  // once per alternative examined); kUnordered when it has no alternative.
  GroupMode mode = GroupMode::kUnordered;
  // The alternative found (1-based, in the order written) and its text; 0 when none of
  // the group's alternatives occurs in the answer.
  int32_t alternative = 0;
  GbkView alternative_text;
  // The group's first alternative as written, to name the group by; empty when it has
  // none.
  GbkView first_alternative;
  // 1-based byte position of the alternative's first exact occurrence; -1 when none.
  int64_t position = -1;
  // Points earned by this group on its own: the points box for an unordered hit, 0
  // otherwise (ordered groups earn together, through the bonus).
  int32_t points = 0;
  // The points box as read for this group's hit (unordered hits only).
  std::optional<int32_t> points_read;
  // The positions this ordered group added to the question's order chain: entries
  // [chain_begin, chain_begin + chain_size) of ScoreLog::chain.
  uint32_t chain_begin = 0;
  uint32_t chain_size = 0;

  bool matched() const { return alternative > 0; }
};

// One answer to one question: the scorer's decisions, then the grading run's cap.
struct QuestionRecord {
  int32_t question = 0;  // 1-based
  // The student's answer to this question, a view into the answer sheet.
  GbkView answer;
  // False for a question beyond the rule list: it scores 0 and reads nothing.
  bool has_rule = false;
  // Its groups: entries [groups_begin, groups_begin + groups_size) of ScoreLog::groups.
  uint32_t groups_begin = 0;
  uint32_t groups_size = 0;
  // Its order chain: entries [chain_begin, chain_begin + chain_size) of ScoreLog::chain.
  uint32_t chain_begin = 0;
  uint32_t chain_size = 0;
  // Every chain position is above the one before (true for chains of 0 or 1).
  bool chain_rose = true;
  // What the chain earned: chain_size × the points box for a rising chain of 2 to 4,
  // otherwise 0; and the points box as read for it.
  int32_t bonus = 0;
  std::optional<int32_t> bonus_points_read;
  // The scorer's result, not capped.
  int32_t raw_score = 0;
  // The question's cap (its maximum from the parameters file); none beyond that list.
  std::optional<int32_t> cap;
  // What the window shows and the report holds: the raw score, lowered to the cap.
  int32_t shown_score = 0;

  bool earned_bonus() const { return chain_size >= 2 && chain_size <= 4 && chain_rose; }
};

// The arrays that the questions of one paper (or several) record into; appending to
// them keeps their storage, so a run that reuses a log allocates nothing per question.
struct ScoreLog {
  std::vector<GroupRecord> groups;
  std::vector<int64_t> chain;

  void clear() {
    groups.clear();
    chain.clear();
  }
};

}  // namespace vantry

#endif  // VANTRY_SCORING_SCORE_RECORD_H_
