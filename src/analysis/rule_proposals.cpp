#include "analysis/rule_proposals.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <unordered_map>
#include <utility>

#include "analysis/class_statistics.h"
#include "analysis/marks_comparison.h"
#include "analysis/rule_edit.h"
#include "analysis/run_tasks.h"
#include "analysis/word_segmenter.h"
#include "analysis/wording_candidates.h"
#include "grading/grade_paper.h"
#include "scoring/parameters.h"
#include "scoring/question_rules.h"
#include "scoring/scoring_boxes.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// The marked answers of a question may hold at most this many bytes together: the
// search keeps every place a wording could stand in them.
constexpr size_t kMaxMarkedBytes = size_t{64} << 20;
// A further segmenter (with its own dictionary in memory) for every so many bytes of
// answers, up to a few: loading a dictionary takes about as long as segmenting 1 MB.
constexpr size_t kBytesPerSegmenter = size_t{1} << 20;
constexpr int kMaxSegmenters = 4;

// Every paper's answer to each question: answers[q - 1][paper], none where the paper
// lacks the question.
std::vector<std::vector<std::optional<GbkView>>> Answers(const GradedClass& graded) {
  std::vector<std::vector<std::optional<GbkView>>> answers(
      static_cast<size_t>(graded.question_count()),
      std::vector<std::optional<GbkView>>(graded.paper_count()));
  PaperRecord record;
  for (size_t p = 0; p < graded.paper_count(); ++p) {
    graded.Record(p, record);
    for (const QuestionRecord& q : record.questions)
      answers[static_cast<size_t>(q.question) - 1][p] = q.answer;
  }
  return answers;
}

// Whether the rule's groups can be edited in place.
bool Editable(GbkView rule) {
  RuleEdit probe;
  probe.kind = RuleEdit::Kind::kAddGroup;
  QuestionRules rules;
  rules.Extract(rule);
  probe.group = rules.group_count() + 1;
  probe.wording = "x"_gbk;
  return ApplyRuleEdit(rule, probe).has_value();
}

}  // namespace

size_t RuleProposals::edit_count() const {
  size_t count = 0;
  for (const QuestionProposals& q : questions) {
    if (!q.search.withheld) count += q.search.edits.size();
  }
  return count;
}

RuleProposals ProposeRules(const GradedClass& graded, const ProgramState& state,
                           const TeacherMarks& marks,
                           std::optional<GbkView> parameters_file,
                           const ProposalOptions& options) {
  using Status = QuestionProposals::Status;
  RuleProposals out;
  out.resamples = options.settings.resamples;
  const std::vector<MarksComparison::Match> matches = MatchTeacherMarks(graded, marks);
  const auto answers = Answers(graded);
  std::vector<bool> marked_at_all(graded.paper_count(), false);
  for (const MarksComparison::Match& m : matches) marked_at_all[m.paper] = true;

  std::vector<size_t> columns(marks.questions.size());
  for (size_t c = 0; c < columns.size(); ++c) columns[c] = c;
  std::sort(columns.begin(), columns.end(),
            [&](size_t a, size_t b) { return marks.questions[a] < marks.questions[b]; });
  for (size_t column : columns) {
    QuestionProposals& q = out.questions.emplace_back();
    q.question = marks.questions[column];
    const auto index = static_cast<size_t>(q.question) - 1;
    for (const MarksComparison::Match& m : matches) {
      const std::optional<HalfPoints> mark = marks.half_points(m.row, column);
      if (!mark) continue;
      q.marked_papers.push_back(m.paper);
      q.half_marks.push_back(*mark);
      const auto answer = index < answers.size() ? answers[index][m.paper] : std::nullopt;
      q.marked_answers.push_back(answer.value_or(GbkView()));
    }
    const std::optional<GbkView> rule = state.Rule(q.question);
    if (!rule) {
      q.status = Status::kNoRule;
    } else if (static_cast<int>(q.marked_papers.size()) < kMinMarkedPapers) {
      q.status = Status::kTooFewMarked;
    } else if (!Editable(*rule)) {
      q.status = Status::kNotEditable;
    } else {
      size_t bytes = 0;
      for (GbkView a : q.marked_answers) bytes += a.size();
      if (bytes > kMaxMarkedBytes) q.status = Status::kNotEditable;
    }
    if (rule) q.rule_before = GbkText(*rule);
  }

  const int threads =
      options.threads > 0
          ? options.threads
          : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));

  // The words of every answer to the questions searched, with the teacher's own
  // wordings whole: the answers shared out among a few segmenters on threads of their
  // own (each holds its dictionary, so not too many).
  std::vector<QuestionCase> cases(out.questions.size());
  std::vector<size_t> searched;
  for (size_t k = 0; k < out.questions.size(); ++k) {
    if (out.questions[k].status == Status::kSearched) searched.push_back(k);
  }
  std::vector<std::vector<GbkView>> texts(searched.size());
  std::vector<std::vector<std::vector<WordSpan>>> words(searched.size());
  // Each distinct answer of a question is segmented once (blank answers and copies are
  // common); `first[s][p]` is the paper whose answer paper p repeats, or p itself.
  std::vector<std::vector<size_t>> first(searched.size());
  size_t bytes = 0;
  for (size_t s = 0; s < searched.size(); ++s) {
    const auto index = static_cast<size_t>(out.questions[searched[s]].question) - 1;
    // Every paper's answer, empty where it lacks the question.
    texts[s].assign(graded.paper_count(), GbkView());
    first[s].resize(graded.paper_count());
    std::unordered_map<GbkView, size_t> seen;
    for (size_t p = 0; p < graded.paper_count(); ++p) {
      if (index < answers.size()) texts[s][p] = answers[index][p].value_or(GbkView());
      first[s][p] = seen.try_emplace(texts[s][p], p).first->second;
      if (first[s][p] == p) bytes += texts[s][p].size();
    }
    words[s].resize(graded.paper_count());
  }
  if (!searched.empty()) {
    const CompiledRules compiled(state);
    std::vector<GbkView> own_words;
    for (int q = 1; q <= compiled.question_count(); ++q) {
      const QuestionRules& rules = *compiled.Question(q);
      for (int g = 0; g < rules.group_count(); ++g) {
        for (GbkView a : rules.alternatives(g)) own_words.push_back(a);
      }
    }
    const int segmenters = std::clamp(static_cast<int>(bytes / kBytesPerSegmenter) + 1, 1,
                                      std::min(threads, kMaxSegmenters));
    const size_t papers = graded.paper_count();
    std::atomic<bool> no_memory{false};
    RunTasks(segmenters, segmenters, [&](int part) {
      std::unique_ptr<WordSegmenter> segmenter = WordSegmenter::Create(own_words);
      if (segmenter == nullptr) {
        no_memory = true;
        return;
      }
      // Part `part` takes every segmenters-th answer of each question.
      for (size_t s = 0; s < searched.size(); ++s) {
        for (size_t p = static_cast<size_t>(part); p < papers;
             p += static_cast<size_t>(segmenters)) {
          if (first[s][p] == p) segmenter->Segment(texts[s][p], words[s][p]);
        }
      }
    });
    for (size_t s = 0; s < searched.size(); ++s) {
      for (size_t p = 0; p < papers; ++p) {
        if (first[s][p] != p) words[s][p] = words[s][first[s][p]];
      }
    }
    for (size_t s = 0; s < searched.size(); ++s) {
      const size_t k = searched[s];
      QuestionProposals& q = out.questions[k];
      if (no_memory) {
        q.status = Status::kNoMemory;
        continue;
      }
      const auto index = static_cast<size_t>(q.question) - 1;
      std::vector<uint32_t> marked(q.marked_papers.begin(), q.marked_papers.end());
      QuestionCase& c = cases[k];
      c.question = q.question;
      c.rule = q.rule_before;
      c.cap = state.Cap(q.question);
      c.points_text = options.points_text;
      c.order_text = options.order_text;
      c.half_marks = q.half_marks;
      for (size_t m = 0; m < q.marked_papers.size(); ++m) {
        const auto answer =
            index < answers.size() ? answers[index][q.marked_papers[m]] : std::nullopt;
        c.answers.push_back(answer);
      }
      c.candidates = FindWordingCandidates(texts[s], words[s], marked);
      words[s] = {};
    }
    std::erase_if(searched,
                  [&](size_t k) { return out.questions[k].status != Status::kSearched; });
  }

  // The searches: the questions side by side, or one question's folds side by side.
  const int per_question = searched.size() == 1 ? threads : 1;
  RunTasks(static_cast<int>(searched.size()), threads, [&](int t) {
    const size_t k = searched[static_cast<size_t>(t)];
    out.questions[k].search = SearchRuleEdits(cases[k], options.settings, per_question);
  });

  // What each edit does to the papers nobody marked, and what the proposals do to them.
  FixedScoringBoxes boxes(options.points_text, options.order_text);
  std::vector<std::vector<NextPaper::Change>> changes(graded.paper_count());
  ScoreLog log;
  for (size_t k : searched) {
    QuestionProposals& q = out.questions[k];
    const auto index = static_cast<size_t>(q.question) - 1;
    if (q.search.edits.empty() || index >= answers.size()) continue;
    // The rule after each edit in turn.
    std::vector<GbkText> texts = {q.rule_before};
    for (const ChosenEdit& e : q.search.edits) {
      std::optional<GbkText> next = ApplyRuleEdit(texts.back(), e.edit);
      texts.push_back(next.value_or(texts.back()));
    }
    std::vector<QuestionRules> rules(texts.size());
    for (size_t r = 0; r < texts.size(); ++r) rules[r].Extract(texts[r]);
    q.unmarked_changed.assign(q.search.edits.size(), 0);
    const std::optional<int32_t> cap = state.Cap(q.question);
    // Papers she has not marked on this question (whatever she marked on others).
    std::vector<bool> marked_here(graded.paper_count(), false);
    for (size_t m : q.marked_papers) marked_here[m] = true;
    for (size_t p = 0; p < graded.paper_count(); ++p) {
      const auto& answer = answers[index][p];
      if (marked_here[p] || !answer) continue;
      int32_t previous = 0, first = 0;
      for (size_t r = 0; r < rules.size(); ++r) {
        log.clear();
        const int32_t score =
            GradeQuestion(&rules[r], q.question, *answer, cap, boxes, log).shown_score;
        if (r == 0) first = score;
        if (r > 0 && score != previous) ++q.unmarked_changed[r - 1];
        previous = score;
      }
      if (previous != first && !q.search.withheld)
        changes[p].push_back({q.question, first, previous});
    }
  }

  // The papers to mark next: those the proposals change most, then those by a level
  // line, where one scoring point decides the level.
  std::vector<size_t> changed;
  for (size_t p = 0; p < changes.size(); ++p) {
    if (!changes[p].empty()) changed.push_back(p);
  }
  const auto moved = [&](size_t p) {
    int64_t sum = 0;
    for (const auto& c : changes[p]) sum += std::llabs(int64_t{c.after} - c.before);
    return sum;
  };
  std::stable_sort(changed.begin(), changed.end(),
                   [&](size_t a, size_t b) { return moved(a) > moved(b); });
  for (size_t p : changed) {
    if (out.next_papers.size() == options.next_papers) break;
    NextPaper& next = out.next_papers.emplace_back();
    next.paper = p;
    next.changes = changes[p];
    next.total = graded.papers()[p].total;
  }
  std::optional<int64_t> full_marks = 0;
  for (int q = 1; q <= graded.question_count() && full_marks; ++q) {
    const std::optional<int32_t> cap = graded.Cap(q);
    full_marks = cap ? std::optional<int64_t>(*full_marks + *cap) : std::nullopt;
  }
  const double step = std::abs(static_cast<double>(boxes.PointsPerHit()));
  if (full_marks && *full_marks > 0 && step > 0) {
    struct Edge {
      size_t paper;
      double distance;
      int percent;
      double line;
    };
    std::vector<Edge> edges;
    for (size_t p = 0; p < graded.paper_count(); ++p) {
      if (marked_at_all[p] || !changes[p].empty()) continue;
      const double total = graded.papers()[p].total;
      for (int percent : {kExcellentPercent, kPassPercent, kLowPercent}) {
        const double line = static_cast<double>(*full_marks) * percent / 100.0;
        if (total >= line - step && total < line + step) {
          edges.push_back({p, std::abs(total - line), percent, line});
          break;
        }
      }
    }
    std::stable_sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
      return a.distance < b.distance;
    });
    for (const Edge& e : edges) {
      if (out.next_papers.size() == options.next_papers) break;
      NextPaper& next = out.next_papers.emplace_back();
      next.paper = e.paper;
      next.total = graded.papers()[e.paper].total;
      next.level_percent = e.percent;
      next.level_line = e.line;
    }
  }

  // The proposed file, from the file as it stands, when that is still the file the
  // class was graded with.
  if (!parameters_file) {
    out.file_problem = Utf8ToGbk("读不到参数设置.txt，没有写规则建议");
    return out;
  }
  if (NormaliseParameters(*parameters_file) != state.parameters_text()) {
    out.file_problem =
        Utf8ToGbk("参数设置.txt 在程序启动后改过，没有写规则建议：请重新启动后再阅卷");
    return out;
  }
  std::vector<std::vector<RuleEdit>> edits;
  for (const QuestionProposals& q : out.questions) {
    if (q.search.edits.empty() || q.search.withheld) continue;
    const auto index = static_cast<size_t>(q.question) - 1;
    if (edits.size() <= index) edits.resize(index + 1);
    for (const ChosenEdit& e : q.search.edits) edits[index].push_back(e.edit);
  }
  std::optional<GbkText> file = ApplyRuleEdits(*parameters_file, edits);
  // The file must read back as exactly the rules that were scored.
  if (file) {
    ProgramState proposed;
    proposed.SetParametersText(NormaliseParameters(*file));
    for (const QuestionProposals& q : out.questions) {
      const bool edited = !q.search.edits.empty() && !q.search.withheld;
      if (edited && proposed.Rule(q.question) != q.search.rule_after) file.reset();
    }
  }
  if (file) {
    out.proposed_file = std::move(file);
  } else {
    out.file_problem = Utf8ToGbk("规则建议无法写进参数设置.txt 的格式，没有写规则建议");
  }
  return out;
}

}  // namespace vantry
