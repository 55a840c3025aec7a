// A class graded for tests: papers added one by one, graded by the real grader.
#ifndef VANTRY_TESTING_TEST_CLASS_H_
#define VANTRY_TESTING_TEST_CLASS_H_

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "grading/grade_paper.h"
#include "grading/graded_class.h"
#include "scoring/program_state.h"
#include "scoring/question_rules.h"
#include "scoring/scoring_boxes.h"

namespace vantry::testing {

// Grades each added paper under `state` with fixed boxes and keeps its record, as the
// window's run does. Names and answers are GBK; they are kept here, so the records'
// views stay valid while this object lives.
class TestClass {
 public:
  // A test's GBK bytes: a GbkText, or a literal spelled in bytes.
  struct Bytes {
    Bytes(const char* literal) : text(literal) {}         // NOLINT
    Bytes(std::string_view literal) : text(literal) {}    // NOLINT
    Bytes(const std::string& literal) : text(literal) {}  // NOLINT
    Bytes(GbkText gbk) : text(std::move(gbk)) {}          // NOLINT
    GbkText text;
  };

  TestClass(const ProgramState& state, Bytes points = "2", Bytes order = "")
      : state_(state),
        rules_(state),
        source_(rules_),
        boxes_(std::move(points.text), std::move(order.text)),
        grader_(state, source_, boxes_) {}

  // Adds a paper; no answer: the name has no answer field.
  TestClass& Add(Bytes name, std::optional<Bytes> answer) {
    const GbkText& kept_name = texts_.emplace_back(std::move(name.text));
    std::optional<GbkView> kept_answer;
    if (answer) kept_answer = texts_.emplace_back(std::move(answer->text));
    grader_.Grade(kept_name, kept_answer, record_);
    graded_.Add(record_);
    graded_.SetCaps(state_);
    return *this;
  }

  const GradedClass& graded() const { return graded_; }

 private:
  const ProgramState& state_;
  CompiledRules rules_;
  PrecompiledRules source_;
  FixedScoringBoxes boxes_;
  PaperGrader grader_;
  std::deque<GbkText> texts_;
  PaperRecord record_;
  GradedClass graded_{/*keep_records=*/true};
};

}  // namespace vantry::testing

#endif  // VANTRY_TESTING_TEST_CLASS_H_
