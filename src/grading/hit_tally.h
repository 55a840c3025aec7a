// How often each scoring point was hit across a class, counted while grading.
#ifndef VANTRY_GRADING_HIT_TALLY_H_
#define VANTRY_GRADING_HIT_TALLY_H_

#include <cstdint>
#include <span>
#include <vector>

#include "grading/paper_record.h"

namespace vantry {

class HitTally {
 public:
  struct Group {
    // Papers in which one of the group's alternatives occurred.
    int64_t papers_hit = 0;
    // Papers in which the group was scored by order, and of those the papers whose
    // question earned the order bonus.
    int64_t papers_ordered = 0;
    int64_t papers_ordered_with_bonus = 0;
    // Per alternative (0-based), the papers in which it was the one found.
    std::vector<int64_t> alternative_hits;
  };
  struct Question {
    // Papers that answered this question (had a piece for it) under a rule.
    int64_t papers_scored = 0;
    // Papers whose order chain earned the bonus.
    int64_t papers_with_bonus = 0;
    std::vector<Group> groups;
  };

  // Counts the decisions of one graded paper.
  void Add(const PaperRecord& paper);
  // Adds the counts of another tally (a part of the class graded elsewhere).
  void Merge(const HitTally& other);

  // Entry q-1 counts question q; questions beyond the rules have no groups.
  std::span<const Question> questions() const { return questions_; }

 private:
  Question& At(int question);

  std::vector<Question> questions_;
};

}  // namespace vantry

#endif  // VANTRY_GRADING_HIT_TALLY_H_
