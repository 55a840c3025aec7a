// Everything the grading of one paper decided.
#ifndef VANTRY_GRADING_PAPER_RECORD_H_
#define VANTRY_GRADING_PAPER_RECORD_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "scoring/score_record.h"
#include "text/gbk_text.h"

namespace vantry {

// One student's paper: the name, every question's record and the total. Texts are views
// into the answer sheet and the rules. Clearing keeps the storage, so a run that reuses
// one record allocates nothing per paper once it has seen its largest paper.
struct PaperRecord {
  GbkView name;
  // False when the sheet holds fewer answer fields than names and this name has none:
  // a paper without questions.
  bool has_answer = false;
  // The exact sum of the shown scores, held at the 32-bit limits.
  int32_t total = 0;
  std::vector<QuestionRecord> questions;
  ScoreLog log;

  void Clear() {
    name = {};
    has_answer = false;
    total = 0;
    questions.clear();
    log.clear();
  }

  std::span<const GroupRecord> Groups(const QuestionRecord& question) const {
    return std::span(log.groups).subspan(question.groups_begin, question.groups_size);
  }
  std::span<const int64_t> Chain(const QuestionRecord& question) const {
    return std::span(log.chain).subspan(question.chain_begin, question.chain_size);
  }
};

}  // namespace vantry

#endif  // VANTRY_GRADING_PAPER_RECORD_H_
