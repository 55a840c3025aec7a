// The results of a grading run, in sheet order, for everything shown after the report.
#ifndef VANTRY_GRADING_GRADED_CLASS_H_
#define VANTRY_GRADING_GRADED_CLASS_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "grading/hit_tally.h"
#include "grading/paper_record.h"
#include "scoring/program_state.h"

namespace vantry {

struct QuestionScore {
  int32_t raw = 0;    // the scorer's score
  int32_t shown = 0;  // lowered to the cap: what the report holds
  // The answer has content (answer_content.h): it was answered, not left blank.
  bool answered = false;
};

// Every paper's scores and the tally of scoring points, kept compact (a few bytes per
// question) so a class of hundreds of thousands fits; each paper's full record is
// either kept too (the window's run, whose boxes may change while it goes) or graded
// again on demand (the batch grader, whose boxes hold still). Names are views into the
// answer sheet, which must outlive this object.
class GradedClass {
 public:
  struct Paper {
    GbkView name;
    bool has_answer = false;
    int32_t total = 0;
    uint64_t first_score = 0;  // index of its first question in the scores
    uint32_t question_count = 0;
    // Its questions answered with content; 0 for a blank paper.
    uint32_t answered_count = 0;
    // The bytes of its answers, all questions together.
    uint64_t answer_bytes = 0;
    // A digest of its answers' content, question by question, white space left out:
    // papers with equal digests are almost surely the same answers.
    uint64_t content_digest = 0;
  };
  // Fills `record` with paper `index`'s full record; may be called from several
  // threads at once.
  using RecordSource = std::function<void(size_t index, PaperRecord& record)>;

  // With `keep_records`, every added paper's record is kept for Record().
  explicit GradedClass(bool keep_records = false) : keep_records_(keep_records) {}

  // Appends a graded paper and counts its scoring points.
  void Add(const PaperRecord& paper);
  // Appends the papers of `part`, graded after those already here (records are not
  // carried over: a class built from parts takes its records from a RecordSource).
  void Append(GradedClass&& part);

  // The caps of the questions from `state`: of questions 1..question_count() and of
  // any further question `state` has a maximum for (none beyond its maxima).
  void SetCaps(const ProgramState& state);
  void set_record_source(RecordSource source) { record_source_ = std::move(source); }

  std::span<const Paper> papers() const { return papers_; }
  size_t paper_count() const { return papers_.size(); }
  std::span<const QuestionScore> Scores(const Paper& paper) const {
    return std::span(scores_).subspan(paper.first_score, paper.question_count);
  }
  // The most questions any paper has.
  int question_count() const { return question_count_; }
  // The cap of question `question` (1-based); none for a question without a maximum.
  std::optional<int32_t> Cap(int question) const;
  const HitTally& tally() const { return tally_; }

  // Paper `index`'s full record: the kept one, or the record source's. Safe to call
  // from several threads at once.
  void Record(size_t index, PaperRecord& record) const;

 private:
  bool keep_records_;
  std::vector<Paper> papers_;
  std::vector<QuestionScore> scores_;
  int question_count_ = 0;
  std::vector<std::optional<int32_t>> caps_;
  HitTally tally_;
  std::vector<PaperRecord> kept_;
  RecordSource record_source_;
};

}  // namespace vantry

#endif  // VANTRY_GRADING_GRADED_CLASS_H_
