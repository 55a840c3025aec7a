#include "grading/graded_class.h"

#include <algorithm>
#include <utility>

#include "text/answer_content.h"

namespace vantry {

void GradedClass::Add(const PaperRecord& paper) {
  Paper& added = papers_.emplace_back();
  added.name = paper.name;
  added.has_answer = paper.has_answer;
  added.total = paper.total;
  added.first_score = scores_.size();
  added.question_count = static_cast<uint32_t>(paper.questions.size());
  uint64_t digest = kEmptyContentDigest;
  for (const QuestionRecord& q : paper.questions) {
    const bool answered = HasContent(q.answer);
    scores_.push_back({q.raw_score, q.shown_score, answered});
    added.answered_count += answered ? 1 : 0;
    added.answer_bytes += q.answer.size();
    digest = EndOfAnswerDigest(ContentDigest(q.answer, digest));
  }
  added.content_digest = digest;
  question_count_ = std::max(question_count_, static_cast<int>(paper.questions.size()));
  tally_.Add(paper);
  if (keep_records_) kept_.push_back(paper);
}

void GradedClass::Append(GradedClass&& part) {
  const uint64_t offset = scores_.size();
  // No reserve for the exact size here: a class is appended to block by block, and
  // growing by exactly one block each time would copy the whole class every time.
  for (Paper paper : part.papers_) {
    paper.first_score += offset;
    papers_.push_back(paper);
  }
  scores_.insert(scores_.end(), part.scores_.begin(), part.scores_.end());
  question_count_ = std::max(question_count_, part.question_count_);
  tally_.Merge(part.tally_);
  part = GradedClass(part.keep_records_);
}

void GradedClass::SetCaps(const ProgramState& state) {
  caps_.clear();
  // Also the questions no paper reached, which a teacher's marks may still name.
  const int last = std::max(
      question_count_,
      static_cast<int>(std::min<size_t>(state.max_score_list().size(), INT32_MAX)));
  for (int q = 1; q <= last; ++q) caps_.push_back(state.Cap(q));
}

std::optional<int32_t> GradedClass::Cap(int question) const {
  if (question < 1 || static_cast<size_t>(question) > caps_.size()) return std::nullopt;
  return caps_[static_cast<size_t>(question) - 1];
}

void GradedClass::Record(size_t index, PaperRecord& record) const {
  if (keep_records_) {
    record = kept_[index];
  } else if (record_source_) {
    record_source_(index, record);
  } else {
    record.Clear();
  }
}

}  // namespace vantry
