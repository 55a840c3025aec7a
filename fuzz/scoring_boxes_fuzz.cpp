// The two scoring boxes as a teacher may type anything into them (points and order
// keys), through a whole scoring run of a small class: every paper and question is
// scored the window's way (boxes read at use), the batch grader's way (boxes read
// once, order decided once per group) and by a plain reference of the rules, and the
// three agree.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <string>
#include <vector>

#include "controls/control_names.h"
#include "controls/in_memory_controls.h"
#include "fuzz_check.h"
#include "grading/boxes_read_at_use.h"
#include "scoring/program_state.h"
#include "scoring/question_rules.h"
#include "scoring/score_question.h"
#include "scoring/scoring_boxes.h"
#include "text/gbk_codec.h"
#include "text/numbers.h"

namespace {

using vantry::GbkText;
using vantry::GbkView;
using vantry::operator""_gbk;
using vantry::fuzz::Check;

bool Lead(unsigned char c) { return c >= 0x80; }

// The 0-based starts of `sought` in `text` on character boundaries counted from
// `from`, exact or with ASCII letters folded; all of them, or only non-overlapping.
std::vector<size_t> Occurrences(GbkView text, GbkView sought, bool fold, bool overlapping,
                                size_t from = 0) {
  const auto f = [fold](unsigned char c) {
    return fold && c >= 'A' && c <= 'Z' ? c + 32 : c;
  };
  std::vector<size_t> found;
  for (size_t i = from; !sought.empty() && i + sought.size() <= text.size();) {
    size_t k = 0;
    while (k < sought.size() && f(static_cast<unsigned char>(text[i + k])) ==
                                    f(static_cast<unsigned char>(sought[k]))) {
      ++k;
    }
    if (k == sought.size()) {
      found.push_back(i);
      if (!overlapping) {
        i += sought.size();
        continue;
      }
    }
    i += Lead(static_cast<unsigned char>(text[i])) ? 2 : 1;
  }
  return found;
}

// The fields between `start` and `end` as the rules collect them: resuming right after
// each start marker.
std::vector<GbkText> Fields(GbkView text, GbkView start, GbkView end) {
  std::vector<GbkText> fields;
  size_t pos = 0;
  while (true) {
    const std::vector<size_t> s = Occurrences(text, start, false, true, pos);
    if (s.empty()) break;
    pos = s.front() + start.size();
    const std::vector<size_t> e = Occurrences(text, end, false, true, pos);
    if (e.empty()) break;
    fields.push_back(text.substr(pos, e.front() - pos));
  }
  return fields;
}

// The raw score of one answer by the rules, read straight from their description.
int32_t ReferenceScore(GbkView rule, int question, GbkView answer, GbkView points_text,
                       GbkView order_text) {
  const int64_t points = vantry::TextToInteger(points_text);
  const auto add = [](int32_t score, double value) {
    return vantry::TruncateToInteger(static_cast<double>(score) + value);
  };
  int32_t score = 0;
  std::vector<int64_t> chain;
  const std::vector<GbkText> groups =
      Fields(rule, vantry::Utf8ToGbk("<关键词>"), vantry::Utf8ToGbk("</关键词>"));
  for (size_t g = 0; g < groups.size(); ++g) {
    const GbkText key(std::to_string(question) + "-" + std::to_string(g + 1));
    const bool ordered = !Occurrences(order_text, key, false, true).empty();
    std::vector<GbkText> alternatives;
    size_t begin = 0;
    for (size_t bar : Occurrences(groups[g], "|"_gbk, false, false)) {
      if (bar > begin) alternatives.push_back(groups[g].substr(begin, bar - begin));
      begin = bar + 1;
    }
    if (begin < groups[g].size()) alternatives.push_back(groups[g].substr(begin));
    for (const GbkText& alternative : alternatives) {
      if (Occurrences(answer, alternative, false, true).empty()) continue;
      if (ordered) {
        for (size_t p : Occurrences(answer, alternative, true, false)) {
          chain.push_back(static_cast<int64_t>(p) + 1);
        }
      } else {
        score = add(score, static_cast<double>(points));
      }
      break;
    }
  }
  bool rising = true;
  for (size_t i = 1; i < chain.size(); ++i) rising = rising && chain[i] > chain[i - 1];
  if (chain.size() >= 2 && chain.size() <= 4 && rising) {
    score = add(score, static_cast<double>(chain.size()) * static_cast<double>(points));
  }
  return score;
}

struct Exam {
  vantry::ProgramState state;
  std::vector<std::vector<GbkText>> papers;  // the answers of each paper

  Exam() {
    state.SetParametersText(vantry::Utf8ToGbk(
        "<综合题><分值>10</分值><关键词>光合作用|光合</关键词><关键词>叶绿体</关键词>"
        "<关键词>氧气|O2</关键词></综合题>"
        "<综合题><分值>6</分值><关键词>细胞膜</关键词><关键词>|</关键词>"
        "<关键词>DNA|dna</关键词><关键词>细胞核</关键词></综合题>"
        "<综合题><关键词>A</关键词><关键词>a|b</关键词></综合题>"));
    for (const char* paper :
         {"光合作用在叶绿体中进行，产生氧气。\t细胞膜控制物质进出，DNA在细胞核。\tab",
          "叶绿体中的色素。氧气在叶绿体中产生。\tdna Dna DNA 细胞核\tBA",
          "光合光合作用O2o2\t\tAaAa", "\t细胞核细胞膜\t"}) {
      std::vector<GbkText> answers;
      const GbkText text = vantry::Utf8ToGbk(paper);
      size_t begin = 0;
      for (size_t tab; (tab = text.find('\t', begin)) != GbkText::npos; begin = tab + 1) {
        answers.push_back(text.substr(begin, tab - begin));
      }
      answers.push_back(text.substr(begin));
      papers.push_back(answers);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Exam exam;
  static const vantry::CompiledRules compiled(exam.state);
  FuzzedDataProvider input(data, size);
  const GbkText points(input.ConsumeRandomLengthString(24));
  const GbkText order(input.ConsumeRemainingBytesAsString());

  vantry::InMemoryControls controls;
  controls.SetControlText(vantry::controls::kPointsPerHit, points);
  controls.SetControlText(vantry::controls::kOrderKeys, order);
  vantry::BoxesReadAtUse live_boxes(controls);
  vantry::FixedScoringBoxes fixed(points, order, compiled);
  vantry::FixedScoringBoxes fixed_searching(points, order);
  vantry::ScoreLog log;
  for (const std::vector<GbkText>& answers : exam.papers) {
    for (size_t q = 1; q <= answers.size() + 1; ++q) {
      const int question = static_cast<int>(q);
      const GbkText answer = q <= answers.size() ? answers[q - 1] : GbkText();
      const int32_t live =
          vantry::ScoreQuestion(exam.state, live_boxes, question, answer);
      log.clear();
      const int32_t batch =
          vantry::ScoreAnswer(compiled.Question(question), question, answer, fixed, log)
              .raw_score;
      log.clear();
      const int32_t searched = vantry::ScoreAnswer(compiled.Question(question), question,
                                                   answer, fixed_searching, log)
                                   .raw_score;
      const std::optional<GbkView> rule = exam.state.Rule(question);
      const int32_t reference =
          rule ? ReferenceScore(*rule, question, answer, points, order) : 0;
      Check(live == reference, "the window's scoring equals the reference");
      Check(batch == reference, "the batch scoring equals the reference");
      Check(searched == reference, "order decided per call equals the reference");
    }
  }
  return 0;
}
