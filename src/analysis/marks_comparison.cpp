#include "analysis/marks_comparison.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "analysis/class_statistics.h"

namespace vantry {
ScoreLevel ScoreLevelOf(HalfPoints total, int64_t full_marks) {
  // total / full >= percent / 100, multiplied out: exact in a double for every total
  // below 2^46 half points, which a real exam never nears.
  const auto at_least = [&](int percent) {
    return static_cast<double>(total) * 100 >=
           static_cast<double>(ToHalfPoints(full_marks)) * percent;
  };
  if (at_least(kExcellentPercent)) return ScoreLevel::kExcellent;
  if (at_least(kPassPercent)) return ScoreLevel::kPass;
  if (at_least(kLowPercent)) return ScoreLevel::kFail;
  return ScoreLevel::kLow;
}

namespace {

// Matches rows to papers by name; the names that match nothing go to `lists` when it is
// given.
std::vector<MarksComparison::Match> MatchNames(const GradedClass& graded,
                                               const TeacherMarks& marks,
                                               MarksComparison* lists) {
  MarksComparison ignored;
  MarksComparison& result = lists != nullptr ? *lists : ignored;
  // How many rows and papers carry each name.
  std::unordered_map<GbkView, size_t> row_of_name;  // SIZE_MAX: twice
  for (size_t r = 0; r < marks.row_count(); ++r) {
    const GbkView name = marks.name(r);
    const auto [it, added] = row_of_name.try_emplace(name, r);
    if (!added && it->second != SIZE_MAX) {  // listed on its second row only
      it->second = SIZE_MAX;
      result.names_twice_in_sheet.emplace_back(name);
    }
  }
  const auto papers = graded.papers();
  std::unordered_map<GbkView, size_t> paper_of_name;
  for (size_t p = 0; p < papers.size(); ++p) {
    const GbkView name = TrimCell(papers[p].name);
    const auto [it, added] = paper_of_name.try_emplace(name, p);
    if (!added) it->second = SIZE_MAX;
  }

  std::vector<MarksComparison::Match> matches;
  for (size_t r = 0; r < marks.row_count(); ++r) {
    const GbkView name = marks.name(r);
    // Each name comes here once (a name on two rows not at all), so every list below
    // holds it at most once without a search.
    if (row_of_name[name] != r) continue;  // on two rows, reported above
    const auto paper = paper_of_name.find(name);
    if (paper == paper_of_name.end()) {
      result.names_without_paper.emplace_back(name);
    } else if (paper->second == SIZE_MAX) {
      result.names_twice_in_answers.emplace_back(name);
    } else {
      matches.push_back({.paper = paper->second, .row = r});
    }
  }
  for (size_t p = 0; p < papers.size(); ++p) {
    if (!row_of_name.contains(TrimCell(papers[p].name)))
      result.papers_without_marks.push_back(p);
  }

  return matches;
}

}  // namespace

std::vector<MarksComparison::Match> MatchTeacherMarks(const GradedClass& graded,
                                                      const TeacherMarks& marks) {
  return MatchNames(graded, marks, nullptr);
}

MarksComparison CompareWithTeacher(const GradedClass& graded, const TeacherMarks& marks,
                                   size_t largest_count) {
  MarksComparison result;
  for (size_t c = 0; c < marks.questions.size(); ++c) {
    result.questions.push_back(
        {.question = marks.questions[c], .column = c, .agreement = {}});
  }
  std::sort(result.questions.begin(), result.questions.end(),
            [](const auto& a, const auto& b) { return a.question < b.question; });
  const std::unordered_set<int> sheet_questions(marks.questions.begin(),
                                                marks.questions.end());
  for (int q = 1; q <= graded.question_count(); ++q) {
    if (!sheet_questions.contains(q)) {
      result.sheet_covers_every_question = false;
      break;
    }
  }
  int64_t full_marks = 0;
  bool full_marks_known = true;
  for (int q : marks.questions) {
    const std::optional<int32_t> cap = graded.Cap(q);
    full_marks_known = full_marks_known && cap && *cap > 0;
    if (full_marks_known) full_marks += *cap;
  }
  if (full_marks_known && full_marks > 0) result.full_marks = full_marks;

  std::vector<MarksComparison::Match> matches = MatchNames(graded, marks, &result);
  const auto papers = graded.papers();

  std::vector<std::vector<HalfPoints>> rules_marks(result.questions.size()),
      teacher_marks(result.questions.size());
  std::vector<HalfPoints> rules_totals, teacher_totals;
  for (MarksComparison::Match& match : matches) {
    const GradedClass::Paper& paper = papers[match.paper];
    HalfPoints rules_total = 0, teacher_total = 0;
    bool every_question = true;
    for (size_t k = 0; k < result.questions.size(); ++k) {
      const auto& question = result.questions[k];
      const HalfPoints rules = ToHalfPoints(ShownScore(graded, paper, question.question));
      rules_total += rules;
      const std::optional<HalfPoints> teacher =
          marks.half_points(match.row, question.column);
      if (!teacher) {
        every_question = false;
        continue;
      }
      teacher_total += *teacher;
      rules_marks[k].push_back(rules);
      teacher_marks[k].push_back(*teacher);
      match.disagreement += std::llabs(rules - *teacher);
    }
    if (every_question) {
      rules_totals.push_back(rules_total);
      teacher_totals.push_back(teacher_total);
    }
  }
  if (result.full_marks) {
    int64_t changes = 0;
    for (size_t i = 0; i < rules_totals.size(); ++i) {
      changes += ScoreLevelOf(rules_totals[i], *result.full_marks) !=
                 ScoreLevelOf(teacher_totals[i], *result.full_marks);
    }
    result.level_changes = changes;
  }
  for (size_t k = 0; k < result.questions.size(); ++k) {
    result.questions[k].agreement = MeasureAgreement(rules_marks[k], teacher_marks[k]);
  }
  result.totals = MeasureAgreement(rules_totals, teacher_totals);
  result.papers_compared = static_cast<int64_t>(matches.size());

  std::erase_if(matches, [](const auto& m) { return m.disagreement == 0; });
  std::stable_sort(matches.begin(), matches.end(), [](const auto& a, const auto& b) {
    return a.disagreement > b.disagreement;
  });
  if (matches.size() > largest_count) matches.resize(largest_count);
  result.largest = std::move(matches);
  return result;
}

}  // namespace vantry
