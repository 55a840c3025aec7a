#include "grading/hit_tally.h"

#include <algorithm>

namespace vantry {

HitTally::Question& HitTally::At(int question) {
  const size_t index = static_cast<size_t>(question) - 1;
  if (questions_.size() <= index) questions_.resize(index + 1);
  return questions_[index];
}

void HitTally::Add(const PaperRecord& paper) {
  for (const QuestionRecord& record : paper.questions) {
    if (!record.has_rule) continue;
    Question& question = At(record.question);
    ++question.papers_scored;
    if (record.earned_bonus()) ++question.papers_with_bonus;
    const auto groups = paper.Groups(record);
    if (question.groups.size() < groups.size()) question.groups.resize(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
      const GroupRecord& decision = groups[g];
      Group& group = question.groups[g];
      switch (decision.mode) {
        case GroupMode::kUnordered:
          break;
        case GroupMode::kOrdered:
          ++group.papers_ordered;
          if (record.earned_bonus()) ++group.papers_ordered_with_bonus;
          break;
      }
      if (!decision.matched()) continue;
      ++group.papers_hit;
      const size_t alternative = static_cast<size_t>(decision.alternative) - 1;
      if (group.alternative_hits.size() <= alternative) {
        group.alternative_hits.resize(alternative + 1);
      }
      ++group.alternative_hits[alternative];
    }
  }
}

void HitTally::Merge(const HitTally& other) {
  if (questions_.size() < other.questions_.size())
    questions_.resize(other.questions_.size());
  for (size_t q = 0; q < other.questions_.size(); ++q) {
    const Question& from = other.questions_[q];
    Question& to = questions_[q];
    to.papers_scored += from.papers_scored;
    to.papers_with_bonus += from.papers_with_bonus;
    if (to.groups.size() < from.groups.size()) to.groups.resize(from.groups.size());
    for (size_t g = 0; g < from.groups.size(); ++g) {
      const Group& a = from.groups[g];
      Group& b = to.groups[g];
      b.papers_hit += a.papers_hit;
      b.papers_ordered += a.papers_ordered;
      b.papers_ordered_with_bonus += a.papers_ordered_with_bonus;
      if (b.alternative_hits.size() < a.alternative_hits.size()) {
        b.alternative_hits.resize(a.alternative_hits.size());
      }
      for (size_t k = 0; k < a.alternative_hits.size(); ++k) {
        b.alternative_hits[k] += a.alternative_hits[k];
      }
    }
  }
}

}  // namespace vantry
