#include "analysis/rule_search.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "analysis/run_tasks.h"
#include "grading/grade_paper.h"
#include "scoring/question_rules.h"
#include "scoring/scoring_boxes.h"

namespace vantry {
namespace {

// Points a paper may reach while the plain prediction below stays exact: far from the
// 32-bit limits at which the scorer's sums saturate.
constexpr int32_t kPlainPointsLimit = 1000000;
constexpr int kPlainGroupLimit = 1000;

// A small generator of its own, so that the same seed draws the same numbers on every
// platform and library.
class Draws {
 public:
  explicit Draws(uint64_t seed) : state_(seed) {}
  // Uniform in [0, n), n > 0.
  uint32_t Below(uint32_t n) {
    const uint64_t limit = UINT64_MAX - UINT64_MAX % n;
    uint64_t x;
    do x = Next();
    while (x >= limit);
    return static_cast<uint32_t>(x % n);
  }

 private:
  uint64_t Next() {  // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint64_t state_;
};

uint64_t Mix(uint64_t seed, uint64_t a, uint64_t b = 0) {
  Draws d(seed ^ (a * 0x100000001B3ull) ^ (b * 0xC2B2AE3D27D4EB4Full));
  return (static_cast<uint64_t>(d.Below(UINT32_MAX)) << 32) | d.Below(UINT32_MAX);
}

// The agreement of whole-point scores with marks in half points.
Agreement AgreementOf(std::span<const int32_t> scores,
                      std::span<const HalfPoints> half_marks,
                      std::span<const uint32_t> papers) {
  std::vector<HalfPoints> rules, teacher;
  for (uint32_t i : papers) {
    rules.push_back(ToHalfPoints(scores[i]));
    teacher.push_back(half_marks[i]);
  }
  return MeasureAgreement(rules, teacher);
}

// An edit with what the search needs to score it: the candidate wording it adds.
struct Step {
  RuleEdit edit;
  int candidate = -1;
  // Chosen on a resample: what it did there to the marked papers the resample left
  // out (drop in squared differences, papers brought closer and taken farther).
  double left_out_gain = 0;
  int left_out_fixed = 0;
  int left_out_broken = 0;
};

// What an edit does to the papers being learned from.
struct Evaluation {
  Step step;
  GbkText rule;     // the rule with the edit applied
  double gain = 0;  // weighted drop in squared differences, in half points squared
  int fixed = 0;    // distinct papers brought closer to the mark
  int broken = 0;   // and taken farther from it
  double low_share = 0;
  int as_words = 0;  // fixed papers in which the added wording stands as whole words
};

// The identity of an edit across resamples: an added group is the same edit whatever
// its number.
std::tuple<RuleEdit::Kind, int, GbkText> KeyOf(const RuleEdit& e) {
  if (e.kind == RuleEdit::Kind::kAddGroup || e.kind == RuleEdit::Kind::kAddWording)
    return {RuleEdit::Kind::kAddWording, 0, e.wording};
  return {e.kind, e.group, e.wording};
}

int KindOrder(RuleEdit::Kind kind) { return static_cast<int>(kind); }

// The rule being edited and every marked paper's score under it.
class RuleState {
 public:
  RuleState(const QuestionCase& c, ScoringBoxes& boxes) : case_(c), boxes_(boxes) {
    Set(c.rule);
    initial_shown_ = shown_;
    initial_raw_ = raw_;
    initial_matched_ = matched_;
    initial_backup_ = backup_;
  }

  // Back to the question's own rule.
  void Reset() {
    rule_ = case_.rule;
    rules_.Extract(rule_);
    shown_ = initial_shown_;
    raw_ = initial_raw_;
    matched_ = initial_matched_;
    backup_ = initial_backup_;
  }

  // The rule `rule`, which is the current one with `edit` applied, scoring again only
  // the papers `affected` (those the edit can change): the others keep their scores,
  // and only the bookkeeping of their groups moves with the edit. `holding` are the
  // papers that hold an added wording.
  void Apply(GbkText rule, const RuleEdit& edit, std::span<const uint32_t> affected,
             std::span<const uint32_t> holding) {
    const auto before = static_cast<size_t>(groups());
    rule_ = std::move(rule);
    rules_.Extract(rule_);
    const auto after = static_cast<size_t>(groups());
    const auto g = static_cast<size_t>(edit.group - 1);
    if (after != before) {
      std::vector<int32_t> moved(case_.answers.size() * after, 0);
      std::vector<char> moved_backup(moved.size(), 0);
      for (size_t i = 0; i < case_.answers.size(); ++i) {
        for (size_t k = 0, to = 0; k < before; ++k) {
          if (edit.kind == RuleEdit::Kind::kDropGroup && k == g) continue;
          moved_backup[i * after + to] = backup_[i * before + k];
          moved[i * after + to++] = matched_[i * before + k];
        }
      }
      matched_ = std::move(moved);
      backup_ = std::move(moved_backup);
    }
    switch (edit.kind) {
      case RuleEdit::Kind::kAddWording:
        // Appended last: where the group scored already, it is a further alternative.
        for (uint32_t i : holding) {
          if (matched_[i * after + g] != 0) backup_[i * after + g] = 1;
        }
        break;
      case RuleEdit::Kind::kDropWording:
        for (size_t i = 0; i < case_.answers.size(); ++i) {
          int32_t& m = matched_[i * after + g];
          if (m > edit.alternative) --m;
          // The wording may have been the further alternative of an earlier one.
          if (m != 0 && m < edit.alternative) Score(i);
        }
        break;
      case RuleEdit::Kind::kAddGroup:
      case RuleEdit::Kind::kDropGroup:
        break;
    }
    for (uint32_t i : affected) Score(i);
#ifndef NDEBUG
    // The shortcut must be exact: every paper as a full scoring gives it.
    const std::vector<int32_t> shown = shown_, raw = raw_, matched = matched_;
    const std::vector<char> backup = backup_;
    for (size_t i = 0; i < case_.answers.size(); ++i) Score(i);
    assert(shown == shown_ && raw == raw_ && matched == matched_ && backup == backup_);
#endif
  }

  // Paper i's score under a rule compiled elsewhere.
  int32_t ScoreWith(const QuestionRules& rules, size_t i) {
    if (!case_.answers[i]) return 0;
    log_.clear();
    return GradeQuestion(&rules, case_.question, *case_.answers[i], case_.cap, boxes_,
                         log_)
        .shown_score;
  }

  const GbkText& rule() const { return rule_; }
  const QuestionRules& rules() const { return rules_; }
  int groups() const { return rules_.group_count(); }
  int32_t shown(size_t i) const { return shown_[i]; }
  int32_t raw(size_t i) const { return raw_[i]; }
  // The alternative through which group g (0-based) scored on paper i; 0 for none.
  int32_t matched(size_t i, int g) const {
    return matched_[i * static_cast<size_t>(groups()) + static_cast<size_t>(g)];
  }
  // Whether another alternative of group g after the one it scored through occurs in
  // paper i: dropping that one leaves the group scoring.
  bool backup(size_t i, int g) const {
    return backup_[i * static_cast<size_t>(groups()) + static_cast<size_t>(g)] != 0;
  }
  std::span<const int32_t> scores() const { return shown_; }

 private:
  void Set(GbkText rule) {
    rule_ = std::move(rule);
    rules_.Extract(rule_);
    const size_t n = case_.answers.size();
    shown_.assign(n, 0);
    raw_.assign(n, 0);
    matched_.assign(n * static_cast<size_t>(groups()), 0);
    backup_.assign(matched_.size(), 0);
    for (size_t i = 0; i < n; ++i) Score(i);
  }

  // Scores paper i under the current rule.
  void Score(size_t i) {
    const auto groups = static_cast<size_t>(rules_.group_count());
    std::fill_n(matched_.begin() + static_cast<std::ptrdiff_t>(i * groups), groups, 0);
    std::fill_n(backup_.begin() + static_cast<std::ptrdiff_t>(i * groups), groups, 0);
    shown_[i] = raw_[i] = 0;
    if (!case_.answers[i]) return;
    const GbkView answer = *case_.answers[i];
    log_.clear();
    const QuestionRecord r =
        GradeQuestion(&rules_, case_.question, answer, case_.cap, boxes_, log_);
    shown_[i] = r.shown_score;
    raw_[i] = r.raw_score;
    for (const GroupRecord& g : log_.groups) {
      const auto k = static_cast<size_t>(g.group - 1);
      matched_[i * groups + k] = g.alternative;
      if (g.alternative == 0) continue;
      const auto later = rules_.exact_finders(static_cast<int>(k))
                             .subspan(static_cast<size_t>(g.alternative));
      backup_[i * groups + k] =
          std::any_of(later.begin(), later.end(),
                      [&](const TextFinder& f) { return f.Find(answer) > 0; });
    }
  }

  const QuestionCase& case_;
  ScoringBoxes& boxes_;
  GbkText rule_;
  QuestionRules rules_;
  std::vector<int32_t> shown_, raw_, matched_;
  std::vector<char> backup_;
  std::vector<int32_t> initial_shown_, initial_raw_, initial_matched_;
  std::vector<char> initial_backup_;
  ScoreLog log_;
};

// The search's candidates are chosen among up to `choices`; the rest of the list are
// other spellings of those, which are never chosen on their own.
struct Spellings {
  size_t choices = 0;
  // Per choice: the candidates that spell it otherwise.
  std::vector<std::vector<uint32_t>> of;
};

// Everything one run of the procedure (on one set of training papers) needs.
class Search {
 public:
  Search(const QuestionCase& c, const Spellings& spellings, const SearchSettings& s)
      : case_(c),
        spellings_(spellings),
        settings_(s),
        boxes_(c.points_text, c.order_text),
        state_(c, boxes_),
        points_(boxes_.PointsPerHit()) {
    HalfPoints full = c.cap && *c.cap > 0 ? ToHalfPoints(*c.cap) : 0;
    if (full == 0) {
      for (int64_t m : c.half_marks) full = std::max(full, m);
    }
    half_full_marks_ = full;
  }

  // The edits chosen with `weights` (how often each marked paper counts; 0: not
  // learned from), greedily from the question's rule; each also scored, where it was
  // chosen, on the papers `left_out` weighs (none: not scored).
  std::vector<Step> Greedy(const std::vector<int32_t>& weights,
                           const std::vector<int32_t>* left_out = nullptr) {
    Prepare(weights);
    state_.Reset();
    std::vector<Step> chosen;
    while (static_cast<int>(chosen.size()) < settings_.max_edits) {
      std::optional<Evaluation> best = Best(weights);
      if (!best) break;
      chosen.push_back(best->step);
      if (left_out) {
        if (std::optional<Evaluation> o = Evaluate(best->step, *left_out)) {
          chosen.back().left_out_gain = o->gain;
          chosen.back().left_out_fixed = o->fixed;
          chosen.back().left_out_broken = o->broken;
        }
      }
      Apply(std::move(*best));
    }
    return chosen;
  }

  // The whole procedure on the papers with `weights` > 0: the greedy choice made again
  // on resamples of them; the edits that, over the resamples that chose them (an added
  // wording counts wherever it went), brought the papers each resample left out closer
  // to her marks; and those applied in turn, most often chosen first, each placed where
  // it does most on all the papers and kept only when it still fixes several and
  // breaks almost none. Leaves the state at the resulting rule.
  //
  // Votes alone would ask whether the choice is made again; the papers left out ask
  // what matters, whether it helps on papers it was not chosen from. An edit the
  // greedy reaches on some resamples only (another edit fixed part of its papers
  // first, or a near twin took its turn) is kept when it helps there.
  std::vector<ChosenEdit> Procedure(const std::vector<int32_t>& weights, uint64_t seed) {
    struct Tally {
      int votes = 0;
      int first_seen = 0;
      Step step;
      double left_out_gain = 0;
      int left_out_fixed = 0;
      int left_out_broken = 0;
      void Count(const Step& s) {
        ++votes;
        left_out_gain += s.left_out_gain;
        left_out_fixed += s.left_out_fixed;
        left_out_broken += s.left_out_broken;
      }
    };
    std::vector<Tally> order;
    if (settings_.resamples == 0) {
      for (Step& step : Greedy(weights)) order.push_back({0, 0, std::move(step)});
    } else {
      std::vector<uint32_t> training;
      for (uint32_t i = 0; i < weights.size(); ++i) {
        if (weights[i] > 0) training.push_back(i);
      }
      std::map<std::tuple<RuleEdit::Kind, int, GbkText>, Tally> tally;
      std::vector<std::vector<Step>> paths;
      Draws draws(seed);
      std::vector<int32_t> resampled(weights.size()), left_out(weights.size());
      int seen = 0;
      for (int b = 0; b < settings_.resamples && !training.empty(); ++b) {
        std::fill(resampled.begin(), resampled.end(), 0);
        for (size_t k = 0; k < training.size(); ++k)
          ++resampled[training[draws.Below(static_cast<uint32_t>(training.size()))]];
        for (size_t i = 0; i < weights.size(); ++i)
          left_out[i] = weights[i] > 0 && resampled[i] == 0;
        std::vector<Step>& path = paths.emplace_back(Greedy(resampled, &left_out));
        for (const Step& step : path) {
          Tally& t = tally[KeyOf(step.edit)];
          if (t.votes == 0) {
            t.first_seen = seen++;
            t.step = step;
          }
          t.Count(step);
        }
      }
      // An added wording counts as chosen again where a wording found in largely the
      // same papers was added instead: the two are one choice, made in other words.
      // A resample that added the wording itself speaks for it with its own figures:
      // a wording common to most answers is "alike" to many others, and must not
      // report what another wording did beside it.
      for (auto& [key, t] : tally) {
        if (t.step.candidate < 0) continue;
        const Step first = t.step;
        t = Tally{0, t.first_seen, first};
        for (const std::vector<Step>& path : paths) {
          auto step = std::find_if(path.begin(), path.end(), [&](const Step& s) {
            return s.candidate == first.candidate;
          });
          if (step == path.end()) {
            step = std::find_if(path.begin(), path.end(), [&](const Step& s) {
              return s.candidate >= 0 && Alike(first.candidate, s.candidate, weights);
            });
          }
          if (step != path.end()) t.Count(*step);
        }
      }
      for (auto& [key, t] : tally) {
        if (t.left_out_gain > 0) order.push_back(std::move(t));
      }
      std::sort(order.begin(), order.end(), [](const Tally& a, const Tally& b) {
        return a.votes != b.votes ? a.votes > b.votes : a.first_seen < b.first_seen;
      });
    }

    Prepare(weights);
    state_.Reset();
    std::vector<ChosenEdit> kept;
    for (const Tally& t : order) {
      std::optional<Evaluation> now = Place(t.step, weights);
      if (!now) continue;
      ChosenEdit& c = kept.emplace_back();
      c.edit = now->step.edit;
      c.resamples_chosen = t.votes;
      c.left_out_fixed = t.left_out_fixed;
      c.left_out_broken = t.left_out_broken;
      Describe(*now, weights, c);
      const Step added = now->step;
      const ChosenEdit support = c;
      Apply(std::move(*now));
      if (added.candidate >= 0) AddOtherSpellings(added, support, weights, kept);
    }
    return kept;
  }

  RuleState& state() { return state_; }

  // Makes the evaluated edit the current rule.
  void Apply(Evaluation e) {
    std::vector<uint32_t> affected;
    ForAffected(e.step, [&](uint32_t i) { affected.push_back(i); });
    std::span<const uint32_t> holding;
    if (e.step.candidate >= 0)
      holding = case_.candidates.marked_with[static_cast<size_t>(e.step.candidate)];
    state_.Apply(std::move(e.rule), e.step.edit, affected, holding);
  }

 private:
  struct Proxy {
    int low = 0, high = 0;
    bool passes = true;
    double low_share = 0;
  };

  void Prepare(const std::vector<int32_t>& weights) {
    low_papers_ = high_papers_ = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
      if (weights[i] == 0) continue;
      (Low(i) ? low_papers_ : high_papers_) += weights[i];
    }
    const auto& candidates = case_.candidates;
    proxy_.assign(candidates.wordings.size(), Proxy());
    usable_.assign(candidates.wordings.size(), false);
    for (size_t c = 0; c < candidates.wordings.size(); ++c) {
      Proxy& p = proxy_[c];
      int distinct = 0;
      for (uint32_t i : candidates.marked_with[c]) {
        if (weights[i] == 0) continue;
        distinct += weights[i];
        (Low(i) ? p.low : p.high) += weights[i];
      }
      if (distinct < settings_.min_fixed) continue;
      if (low_papers_ > 0) {
        p.low_share = static_cast<double>(p.low) / low_papers_;
        const double high_share =
            high_papers_ > 0 ? static_cast<double>(p.high) / high_papers_ : 0;
        p.passes = p.low_share < settings_.proxy_ratio * high_share;
      }
      usable_[c] = p.passes && c < spellings_.choices;
    }
  }

  // The grader matches bytes exactly, and students write a Latin term in either case
  // and width ("Hash", "hash", "ＨＡＳＨ"): a kept wording's other spellings that
  // answers hold are added beside it, as long as they take no more marked papers
  // farther from her marks than an edit may. They need no support of their own (most
  // stand in no marked paper): the choice was made for the wording, not its spelling.
  void AddOtherSpellings(const Step& added, const ChosenEdit& support,
                         const std::vector<int32_t>& weights,
                         std::vector<ChosenEdit>& kept) {
    const int group = added.edit.group;
    for (uint32_t m : spellings_.of[static_cast<size_t>(added.candidate)]) {
      const GbkText& wording = case_.candidates.wordings[m];
      const auto alternatives = state_.rules().alternatives(group - 1);
      if (std::find(alternatives.begin(), alternatives.end(), wording) !=
          alternatives.end())
        continue;
      Step step;
      step.candidate = static_cast<int>(m);
      step.edit.kind = RuleEdit::Kind::kAddWording;
      step.edit.group = group;
      step.edit.wording = wording;
      std::optional<Evaluation> e = Evaluate(step, weights);
      if (!e || e->gain < 0 ||
          e->broken > static_cast<int>(e->fixed * settings_.max_broken_share + 1e-9))
        continue;
      ChosenEdit& c = kept.emplace_back();
      c.edit = e->step.edit;
      c.resamples_chosen = support.resamples_chosen;
      c.left_out_fixed = support.left_out_fixed;
      c.left_out_broken = support.left_out_broken;
      Describe(*e, weights, c);
      Apply(std::move(*e));
    }
  }

  bool Low(size_t i) const { return case_.half_marks[i] * 2 < half_full_marks_; }

  // Half-point difference of paper i's score `score` from the teacher's mark.
  int64_t Gap(size_t i, int32_t score) const {
    return ToHalfPoints(score) - case_.half_marks[i];
  }

  // Whether every group from 1 to one past the last is scored alone, and the points
  // box is a plain number: then an added match raises a paper's raw score by the
  // points box exactly, and the prediction below is the scorer's result.
  bool Plain() {
    if (points_ < 0 || points_ > kPlainPointsLimit) return false;
    const int groups = state_.groups();
    if (groups + 1 > kPlainGroupLimit) return false;
    for (int g = 1; g <= groups + 1; ++g) {
      switch (boxes_.Mode(case_.question, g)) {
        case GroupMode::kUnordered:
          break;
        case GroupMode::kOrdered:
          return false;
      }
    }
    return true;
  }

  bool Valid(const Evaluation& e) const {
    return e.gain > 0 && e.fixed >= settings_.min_fixed &&
           e.broken <= static_cast<int>(e.fixed * settings_.max_broken_share + 1e-9);
  }

  // True when `a` is the better of two valid edits.
  static bool Better(const Evaluation& a, const Evaluation& b, const QuestionCase& c) {
    if (a.gain != b.gain) return a.gain > b.gain;
    if (a.low_share != b.low_share) return a.low_share < b.low_share;
    const RuleEdit &x = a.step.edit, &y = b.step.edit;
    if (x.kind != y.kind) return KindOrder(x.kind) < KindOrder(y.kind);
    // At equal effect the wording that the papers it fixes use as words (not a piece
    // of another word), then the shorter, the word itself rather than a phrase around
    // it, then the one more answers use.
    if (a.as_words != b.as_words) return a.as_words > b.as_words;
    if (x.wording.size() != y.wording.size()) return x.wording.size() < y.wording.size();
    const auto found = [&](const Step& s) {
      return s.candidate >= 0
                 ? c.candidates.answers_found[static_cast<size_t>(s.candidate)]
                 : 0;
    };
    const int32_t fx = found(a.step), fy = found(b.step);
    if (fx != fy) return fx > fy;
    return std::tie(x.wording, x.group, x.alternative) <
           std::tie(y.wording, y.group, y.alternative);
  }

  // The papers the edit can change: only they are scored again.
  template <typename Visit>
  void ForAffected(const Step& step, Visit visit) {
    const RuleEdit& e = step.edit;
    const int g = e.group - 1;
    switch (e.kind) {
      case RuleEdit::Kind::kAddWording:
        // Appended last, the wording decides only where no alternative of the group
        // occurs.
        for (uint32_t i :
             case_.candidates.marked_with[static_cast<size_t>(step.candidate)]) {
          if (state_.matched(i, g) == 0) visit(i);
        }
        break;
      case RuleEdit::Kind::kAddGroup:
        for (uint32_t i :
             case_.candidates.marked_with[static_cast<size_t>(step.candidate)])
          visit(i);
        break;
      case RuleEdit::Kind::kDropWording:
        for (uint32_t i = 0; i < case_.answers.size(); ++i) {
          if (state_.matched(i, g) == e.alternative) visit(i);
        }
        break;
      case RuleEdit::Kind::kDropGroup:
        for (uint32_t i = 0; i < case_.answers.size(); ++i) {
          if (state_.matched(i, g) != 0) visit(i);
        }
        break;
    }
  }

  // The edit scored exactly: the edited rule through the scorer on every paper it can
  // change.
  std::optional<Evaluation> Evaluate(const Step& step,
                                     const std::vector<int32_t>& weights) {
    const RuleEdit& e = step.edit;
    if (e.kind == RuleEdit::Kind::kDropGroup) {
      // The groups after it move up one: their order keys must say the same.
      for (int h = e.group + 1; h <= state_.groups(); ++h) {
        if (boxes_.Mode(case_.question, h) != boxes_.Mode(case_.question, h - 1))
          return std::nullopt;
      }
    }
    std::optional<GbkText> rule = ApplyRuleEdit(state_.rule(), e);
    if (!rule) return std::nullopt;
    Evaluation out;
    out.step = step;
    out.rule = std::move(*rule);
    QuestionRules edited;
    edited.Extract(out.rule);
    ForAffected(step, [&](uint32_t i) {
      if (weights[i] == 0) return;
      const int32_t after = state_.ScoreWith(edited, i);
      const int64_t before_gap = Gap(i, state_.shown(i)), after_gap = Gap(i, after);
      out.gain += static_cast<double>(weights[i]) *
                  static_cast<double>(before_gap * before_gap - after_gap * after_gap);
      if (std::llabs(after_gap) < std::llabs(before_gap)) {
        out.fixed += weights[i];
        if (step.candidate >= 0) {
          const auto& as_words =
              case_.candidates.marked_as_words[static_cast<size_t>(step.candidate)];
          out.as_words += std::binary_search(as_words.begin(), as_words.end(), i);
        }
      }
      if (std::llabs(after_gap) > std::llabs(before_gap)) out.broken += weights[i];
    });
    if (step.candidate >= 0)
      out.low_share = proxy_[static_cast<size_t>(step.candidate)].low_share;
    return out;
  }

  // The fixed and broken papers and the wording's shares, for the teacher.
  void Describe(const Evaluation& e, const std::vector<int32_t>& weights, ChosenEdit& c) {
    QuestionRules edited;
    edited.Extract(e.rule);
    ForAffected(e.step, [&](uint32_t i) {
      if (weights[i] == 0) return;
      const int32_t before = state_.shown(i);
      const int32_t after = state_.ScoreWith(edited, i);
      const int64_t before_gap = std::llabs(Gap(i, before)),
                    after_gap = std::llabs(Gap(i, after));
      if (after_gap < before_gap) c.fixed.push_back({i, before, after});
      if (after_gap > before_gap) c.broken.push_back({i, before, after});
    });
    if (e.step.candidate >= 0) {
      c.low_papers = low_papers_;
      c.high_papers = high_papers_;
      const Proxy& p = proxy_[static_cast<size_t>(e.step.candidate)];
      c.low_with_wording = p.low;
      c.high_with_wording = p.high;
    }
  }

  // Whether candidates a and b stand in largely the same papers learned from: at
  // least half of the papers that hold either hold both.
  bool Alike(int a, int b, const std::vector<int32_t>& weights) const {
    if (a == b) return true;
    const auto& x = case_.candidates.marked_with[static_cast<size_t>(a)];
    const auto& y = case_.candidates.marked_with[static_cast<size_t>(b)];
    int both = 0, either = 0;
    size_t i = 0, j = 0;
    while (i < x.size() || j < y.size()) {
      uint32_t p;
      bool in_both = false;
      if (j == y.size() || (i < x.size() && x[i] < y[j])) {
        p = x[i++];
      } else if (i == x.size() || y[j] < x[i]) {
        p = y[j++];
      } else {
        p = x[i++];
        ++j;
        in_both = true;
      }
      if (weights[p] == 0) continue;
      ++either;
      both += in_both;
    }
    return either > 0 && 2 * both >= either;
  }

  // `step` made on the current rule where it does most, when it is still valid: an
  // added wording in the group (or the new group) where it gains most, a dropped
  // wording or group where it stands now.
  std::optional<Evaluation> Place(const Step& step, const std::vector<int32_t>& weights) {
    const RuleEdit& e = step.edit;
    const int groups = state_.groups();
    std::vector<Step> places;
    if (e.kind == RuleEdit::Kind::kAddWording || e.kind == RuleEdit::Kind::kAddGroup) {
      if (!usable_[static_cast<size_t>(step.candidate)]) return std::nullopt;
      for (int g = 0; g <= groups; ++g) {
        Step& place = places.emplace_back(step);
        place.edit.kind =
            g == groups ? RuleEdit::Kind::kAddGroup : RuleEdit::Kind::kAddWording;
        place.edit.group = g + 1;
      }
    } else if (e.group <= groups) {
      Step& place = places.emplace_back(step);
      if (e.kind == RuleEdit::Kind::kDropWording) {
        const auto alternatives = state_.rules().alternatives(e.group - 1);
        const auto at = std::find(alternatives.begin(), alternatives.end(), e.wording);
        if (at == alternatives.end() || alternatives.size() < 2) return std::nullopt;
        place.edit.alternative = static_cast<int>(at - alternatives.begin()) + 1;
      }
    }
    std::optional<Evaluation> best;
    for (const Step& place : places) {
      std::optional<Evaluation> now = Evaluate(place, weights);
      if (now && Valid(*now) && (!best || Better(*now, *best, case_)))
        best = std::move(now);
    }
    return best;
  }

  // The best valid edit of the current rule, or none. Edits are taken in the order of
  // an upper bound of their gain and scored exactly until no bound can beat the best.
  std::optional<Evaluation> Best(const std::vector<int32_t>& weights) {
    // An edit to consider, made into a Step only when it is scored.
    struct Option {
      double bound;
      RuleEdit::Kind kind;
      int group;        // 0-based
      int alternative;  // for drops
      int candidate;    // for adds
    };
    std::vector<Option> options;
    const int groups = state_.groups();
    const bool plain = Plain();
    const auto& candidates = case_.candidates;
    // The prediction of an added match, per paper: exact when plain.
    const auto predicted = [&](uint32_t i) {
      const int64_t raw = int64_t{state_.raw(i)} + points_;
      return static_cast<int32_t>(case_.cap ? std::min<int64_t>(raw, *case_.cap) : raw);
    };
    std::vector<double> gain(static_cast<size_t>(groups) + 1);
    std::vector<int> fixed(gain.size()), broken(gain.size());
    for (uint32_t c = 0; c < candidates.wordings.size(); ++c) {
      if (!usable_[c]) continue;
      std::fill(gain.begin(), gain.end(), 0);
      std::fill(fixed.begin(), fixed.end(), 0);
      std::fill(broken.begin(), broken.end(), 0);
      for (uint32_t i : candidates.marked_with[c]) {
        if (weights[i] == 0) continue;
        const int64_t before = Gap(i, state_.shown(i));
        double g_i;
        int fix_i, break_i;
        if (plain) {
          const int64_t after = Gap(i, predicted(i));
          g_i = static_cast<double>(weights[i]) *
                static_cast<double>(before * before - after * after);
          fix_i = weights[i] * (std::llabs(after) < std::llabs(before));
          break_i = weights[i] * (std::llabs(after) > std::llabs(before));
        } else {
          g_i = static_cast<double>(weights[i]) * static_cast<double>(before * before);
          fix_i = weights[i] * (before != 0);
          break_i = 0;
        }
        for (int g = 0; g < groups; ++g) {
          if (state_.matched(i, g) != 0) continue;
          gain[static_cast<size_t>(g)] += g_i;
          fixed[static_cast<size_t>(g)] += fix_i;
          broken[static_cast<size_t>(g)] += break_i;
        }
        gain.back() += g_i;
        fixed.back() += fix_i;
        broken.back() += break_i;
      }
      // A wording another group has already may be added too: it then counts twice,
      // the one way the rules can weigh a point more.
      for (int g = 0; g <= groups; ++g) {
        const auto k = static_cast<size_t>(g);
        if (fixed[k] < settings_.min_fixed || gain[k] <= 0) continue;
        if (plain &&
            broken[k] > static_cast<int>(fixed[k] * settings_.max_broken_share + 1e-9))
          continue;
        options.push_back(
            {gain[k],
             g == groups ? RuleEdit::Kind::kAddGroup : RuleEdit::Kind::kAddWording, g, 0,
             static_cast<int>(c)});
      }
    }
    // Drops: only the papers that scored through the wording or the group can change.
    // When plain, such a paper loses the points box exactly, unless a further
    // alternative of the group occurs in it; otherwise any change is possible.
    const auto dropped = [&](uint32_t i) {
      const int64_t raw = int64_t{state_.raw(i)} - points_;
      return static_cast<int32_t>(case_.cap ? std::min<int64_t>(raw, *case_.cap) : raw);
    };
    for (int g = 0; g < groups; ++g) {
      const auto alternatives = state_.rules().alternatives(g);
      for (int a = 0; a <= static_cast<int>(alternatives.size()); ++a) {
        // a == 0: the whole group; a wording only when another is left.
        if (a > 0 && alternatives.size() < 2) break;
        double bound = 0;
        int could_fix = 0, will_break = 0;
        for (uint32_t i = 0; i < case_.answers.size(); ++i) {
          if (weights[i] == 0) continue;
          const int32_t m = state_.matched(i, g);
          if (a == 0 ? m == 0 : m != a) continue;
          const int64_t gap = Gap(i, state_.shown(i));
          if (plain) {
            if (a > 0 && state_.backup(i, g)) continue;
            const int64_t after = Gap(i, dropped(i));
            bound += static_cast<double>(weights[i]) *
                     static_cast<double>(gap * gap - after * after);
            could_fix += weights[i] * (std::llabs(after) < std::llabs(gap));
            will_break += weights[i] * (std::llabs(after) > std::llabs(gap));
          } else if (gap != 0) {
            bound += static_cast<double>(weights[i]) * static_cast<double>(gap * gap);
            could_fix += weights[i];
          }
        }
        if (could_fix < settings_.min_fixed || bound <= 0) continue;
        if (plain &&
            will_break > static_cast<int>(could_fix * settings_.max_broken_share + 1e-9))
          continue;
        options.push_back(
            {bound, a == 0 ? RuleEdit::Kind::kDropGroup : RuleEdit::Kind::kDropWording, g,
             a, -1});
      }
    }
    // The options by falling bound, taken from a heap: most are never scored.
    const auto lower = [](const Option& x, const Option& y) { return x.bound < y.bound; };
    std::make_heap(options.begin(), options.end(), lower);
    std::optional<Evaluation> best;
    for (auto end = options.end(); end != options.begin(); --end) {
      std::pop_heap(options.begin(), end, lower);
      const Option& option = *(end - 1);
      if (best && option.bound < best->gain) break;
      Step step;
      step.candidate = option.candidate;
      step.edit.kind = option.kind;
      step.edit.group = option.group + 1;
      step.edit.alternative = option.alternative;
      if (option.candidate >= 0) {
        step.edit.wording = candidates.wordings[static_cast<size_t>(option.candidate)];
      } else if (option.alternative > 0) {
        step.edit.wording = GbkText(state_.rules().alternatives(
            option.group)[static_cast<size_t>(option.alternative) - 1]);
      }
      std::optional<Evaluation> e = Evaluate(step, weights);
      if (!e || !Valid(*e)) continue;
      if (!best || Better(*e, *best, case_)) best = std::move(e);
    }
    return best;
  }

  const QuestionCase& case_;
  const Spellings& spellings_;
  const SearchSettings& settings_;
  FixedScoringBoxes boxes_;
  RuleState state_;
  int32_t points_;
  int64_t half_full_marks_ = 0;
  int low_papers_ = 0, high_papers_ = 0;
  std::vector<Proxy> proxy_;
  // Candidates in enough papers learned from, and not proxies.
  std::vector<bool> usable_;
};

// `wording` with ASCII letters in lower case and the full-width forms of ASCII
// characters (A3 A1..A3 FD, but A3 A4, the yen sign) in half width: the spellings of
// one term share it. Empty for a wording without such characters, which has no other.
std::string SpellingKey(GbkView wording) {
  std::string key;
  bool ascii = false;
  for (size_t i = 0; i < wording.size(); ++i) {
    auto b = static_cast<unsigned char>(wording[i]);
    if (IsLeadByte(b) && i + 1 < wording.size()) {
      const auto t = static_cast<unsigned char>(wording[++i]);
      if (b != 0xA3 || t < 0xA1 || t > 0xFD || t == 0xA4) {
        key += static_cast<char>(b);
        key += static_cast<char>(t);
        continue;
      }
      b = static_cast<unsigned char>(t - 0x80);
    }
    if (b > ' ' && b < 0x7F) ascii = true;
    if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
    key += static_cast<char>(b);
  }
  return ascii ? key : std::string();
}

// The candidates with one wording for each set of marked papers: wordings found in the
// same marked papers do the same to them, and as separate choices they would split
// the resamples' votes between them. The one kept is the wording those papers use as
// words most often, then the shortest, then the one most answers use. After those
// come the other spellings of the ones kept (see SpellingKey), in no marked paper too.
WordingCandidates OnePerEffect(const WordingCandidates& all, Spellings& spellings) {
  std::map<std::vector<uint32_t>, size_t> best;  // marked papers -> candidate
  const auto better = [&](size_t a, size_t b) {
    const size_t wa = all.marked_as_words[a].size(), wb = all.marked_as_words[b].size();
    if (wa != wb) return wa > wb;
    const size_t la = all.wordings[a].size(), lb = all.wordings[b].size();
    if (la != lb) return la < lb;
    if (all.answers_found[a] != all.answers_found[b])
      return all.answers_found[a] > all.answers_found[b];
    return all.wordings[a] < all.wordings[b];
  };
  for (size_t c = 0; c < all.wordings.size(); ++c) {
    if (all.marked_with[c].empty()) continue;
    const auto [at, added] = best.try_emplace(all.marked_with[c], c);
    if (!added && better(c, at->second)) at->second = c;
  }
  std::vector<size_t> kept;
  for (const auto& [papers, c] : best) kept.push_back(c);
  std::sort(kept.begin(), kept.end());
  WordingCandidates out;
  const auto add = [&](size_t c) {
    out.wordings.push_back(all.wordings[c]);
    out.answers_found.push_back(all.answers_found[c]);
    out.marked_with.push_back(all.marked_with[c]);
    out.marked_as_words.push_back(all.marked_as_words[c]);
  };
  for (size_t c : kept) add(c);

  spellings.choices = kept.size();
  spellings.of.assign(kept.size(), {});
  std::unordered_map<std::string, std::vector<size_t>> by_key;  // key -> all's indices
  for (size_t c = 0; c < all.wordings.size(); ++c) {
    std::string key = SpellingKey(all.wordings[c]);
    if (!key.empty()) by_key[std::move(key)].push_back(c);
  }
  std::unordered_map<size_t, uint32_t> added;  // all's index -> out's index
  for (size_t k = 0; k < kept.size(); ++k) {
    const auto same = by_key.find(SpellingKey(all.wordings[kept[k]]));
    if (same == by_key.end()) continue;
    for (size_t c : same->second) {
      if (c == kept[k]) continue;
      const auto at = std::lower_bound(kept.begin(), kept.end(), c);
      if (at != kept.end() && *at == c) {
        spellings.of[k].push_back(static_cast<uint32_t>(at - kept.begin()));
        continue;
      }
      const auto [where, fresh] =
          added.try_emplace(c, static_cast<uint32_t>(out.wordings.size()));
      if (fresh) add(c);
      spellings.of[k].push_back(where->second);
    }
  }
  return out;
}

}  // namespace

QuestionSearch SearchRuleEdits(const QuestionCase& whole, const SearchSettings& settings,
                               int threads) {
  QuestionCase c = whole;
  Spellings spellings;
  c.candidates = OnePerEffect(whole.candidates, spellings);
  const auto n = static_cast<uint32_t>(c.answers.size());
  QuestionSearch out;
  std::vector<uint32_t> all(n);
  for (uint32_t i = 0; i < n; ++i) all[i] = i;

  // The cuts into folds: the marked papers in a drawn order, dealt out in turn.
  const int folds = std::max(2, std::min<int>(settings.folds, static_cast<int>(n)));
  int cuts = 1;
  while (cuts < settings.max_cuts && int64_t{cuts} * n < settings.estimate_papers) ++cuts;
  const auto cut_papers = static_cast<size_t>(cuts) * n;
  std::vector<int> fold_of(cut_papers);
  Draws draws(Mix(settings.seed, static_cast<uint64_t>(c.question)));
  for (size_t cut = 0; cut < static_cast<size_t>(cuts); ++cut) {
    std::vector<uint32_t> order = all;
    for (uint32_t i = n; i > 1; --i) std::swap(order[i - 1], order[draws.Below(i)]);
    for (uint32_t k = 0; k < n; ++k)
      fold_of[cut * n + order[k]] = static_cast<int>(k % folds);
  }

  // Paper i of cut k at k * n + i: its score under the rule learned without its fold.
  std::vector<int32_t> held_out(cut_papers, 0);
  const int fold_tasks = folds * cuts;
  // Task `fold_tasks` is the procedure on every marked paper; task t < fold_tasks leaves
  // fold t % folds of cut t / folds out.
  RunTasks(fold_tasks + 1, threads, [&](int task) {
    Search search(c, spellings, settings);
    std::vector<int32_t> weights(n, 1);
    const size_t cut = static_cast<size_t>(task / folds);
    const int fold = task % folds;
    if (task < fold_tasks) {
      for (uint32_t i = 0; i < n; ++i) weights[i] = fold_of[cut * n + i] == fold ? 0 : 1;
    }
    std::vector<ChosenEdit> kept =
        search.Procedure(weights, Mix(settings.seed, static_cast<uint64_t>(c.question),
                                      static_cast<uint64_t>(task) + 1u));
    RuleState& state = search.state();
    if (task < fold_tasks) {
      // Distinct folds write distinct papers.
      for (uint32_t i = 0; i < n; ++i) {
        if (fold_of[cut * n + i] == fold) held_out[cut * n + i] = state.shown(i);
      }
      return;
    }
    out.edits = std::move(kept);
    out.rule_after = state.rule();
    out.scores_after.assign(state.scores().begin(), state.scores().end());
    state.Reset();
    out.scores_before.assign(state.scores().begin(), state.scores().end());
  });

  // The rule's own scores and her marks beside every cut's held-out scores.
  std::vector<int32_t> before_each_cut(cut_papers);
  std::vector<HalfPoints> marks_each_cut(cut_papers);
  std::vector<uint32_t> every_cut(cut_papers);
  for (size_t k = 0; k < cut_papers; ++k) {
    before_each_cut[k] = out.scores_before[k % n];
    marks_each_cut[k] = c.half_marks[k % n];
    every_cut[k] = static_cast<uint32_t>(k);
  }
  HeldOutEstimate& e = out.estimate;
  e.folds = folds;
  e.cuts = cuts;
  e.before = AgreementOf(out.scores_before, c.half_marks, all);
  e.after = AgreementOf(held_out, marks_each_cut, every_cut);
  // The spread: the same figures over resamples of the marked papers, each drawn
  // paper with its score from every cut.
  std::vector<double> kappas, changes;
  std::vector<uint32_t> resample(cut_papers);
  Draws spread(Mix(settings.seed, static_cast<uint64_t>(c.question), 0xA11));
  for (int r = 0; r < settings.spread_resamples && n > 0; ++r) {
    for (uint32_t k = 0; k < n; ++k) {
      const uint32_t i = spread.Below(n);
      for (size_t cut = 0; cut < static_cast<size_t>(cuts); ++cut)
        resample[cut * n + k] = static_cast<uint32_t>(cut * n + i);
    }
    const Agreement a = AgreementOf(held_out, marks_each_cut, resample);
    const Agreement b = AgreementOf(before_each_cut, marks_each_cut, resample);
    if (!a.weighted_kappa) continue;
    kappas.push_back(*a.weighted_kappa);
    if (b.weighted_kappa) changes.push_back(*a.weighted_kappa - *b.weighted_kappa);
  }
  const auto deviation = [](const std::vector<double>& v) -> std::optional<double> {
    if (v.size() < 2) return std::nullopt;
    double mean = 0, squares = 0;
    for (double x : v) mean += x;
    mean /= static_cast<double>(v.size());
    for (double x : v) squares += (x - mean) * (x - mean);
    return std::sqrt(squares / static_cast<double>(v.size() - 1));
  };
  e.kappa_spread = deviation(kappas);
  e.kappa_change_spread = deviation(changes);

  // Edits not expected to agree better with the teacher on papers they were not
  // learned from are not proposed: by kappa where it is defined, else by the squared
  // differences the search lowers.
  if (!out.edits.empty()) {
    bool worse;
    if (e.before.weighted_kappa && e.after.weighted_kappa) {
      worse = *e.after.weighted_kappa <= *e.before.weighted_kappa;
    } else {
      double before_squares = 0, after_squares = 0;
      for (size_t k = 0; k < cut_papers; ++k) {
        const double b = before_each_cut[k] - ToPoints(marks_each_cut[k]);
        const double a = held_out[k] - ToPoints(marks_each_cut[k]);
        before_squares += b * b;
        after_squares += a * a;
      }
      worse = after_squares >= before_squares;
    }
    if (worse) {
      out.withheld = true;
      out.rule_after = c.rule;
      out.scores_after = out.scores_before;
    }
  }
  return out;
}

}  // namespace vantry
