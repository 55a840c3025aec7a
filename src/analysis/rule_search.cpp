#include "analysis/rule_search.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>
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
                      std::span<const int64_t> half_marks,
                      std::span<const uint32_t> papers) {
  std::vector<int64_t> rules, teacher;
  for (uint32_t i : papers) {
    rules.push_back(scores[i]);
    teacher.push_back(half_marks[i] / 2);
  }
  return MeasureAgreement(rules, teacher);
}

// An edit with what the search needs to score it: the candidate wording it adds.
struct Step {
  RuleEdit edit;
  int candidate = -1;
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
  return {e.kind, e.kind == RuleEdit::Kind::kAddGroup ? 0 : e.group, e.wording};
}

int KindOrder(RuleEdit::Kind kind) { return static_cast<int>(kind); }

// The rule being edited and every marked paper's score under it.
class RuleState {
 public:
  RuleState(const QuestionCase& c, ScoringBoxes& boxes) : case_(c), boxes_(boxes) {}

  void Set(GbkText rule) {
    rule_ = std::move(rule);
    rules_.Extract(rule_);
    const size_t n = case_.answers.size();
    const auto groups = static_cast<size_t>(rules_.group_count());
    shown_.assign(n, 0);
    raw_.assign(n, 0);
    matched_.assign(n * groups, 0);
    for (size_t i = 0; i < n; ++i) {
      if (!case_.answers[i]) continue;
      log_.clear();
      const QuestionRecord r = GradeQuestion(&rules_, case_.question, *case_.answers[i],
                                             case_.cap, boxes_, log_);
      shown_[i] = r.shown_score;
      raw_[i] = r.raw_score;
      for (const GroupRecord& g : log_.groups) {
        matched_[i * groups + static_cast<size_t>(g.group - 1)] = g.alternative;
      }
    }
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
  std::span<const int32_t> scores() const { return shown_; }

 private:
  const QuestionCase& case_;
  ScoringBoxes& boxes_;
  GbkText rule_;
  QuestionRules rules_;
  std::vector<int32_t> shown_, raw_, matched_;
  ScoreLog log_;
};

// Everything one run of the procedure (on one set of training papers) needs.
class Search {
 public:
  Search(const QuestionCase& c, const SearchSettings& s)
      : case_(c),
        settings_(s),
        boxes_(c.points_text, c.order_text),
        state_(c, boxes_),
        points_(boxes_.PointsPerHit()) {
    int64_t full = c.cap && *c.cap > 0 ? int64_t{*c.cap} * 2 : 0;
    if (full == 0) {
      for (int64_t m : c.half_marks) full = std::max(full, m);
    }
    half_full_marks_ = full;
  }

  // The edits chosen with `weights` (how often each marked paper counts; 0: not
  // learned from), greedily from the question's rule.
  std::vector<Step> Greedy(const std::vector<int32_t>& weights) {
    Prepare(weights);
    state_.Set(case_.rule);
    std::vector<Step> chosen;
    while (static_cast<int>(chosen.size()) < settings_.max_edits) {
      std::optional<Evaluation> best = Best(weights);
      if (!best) break;
      chosen.push_back(best->step);
      state_.Set(std::move(best->rule));
    }
    return chosen;
  }

  // The whole procedure on the papers with `weights` > 0: the greedy choice, its
  // stability over resamples, and the stable edits applied again in turn, each kept
  // only when it still fixes several papers and breaks almost none. Leaves the state
  // at the resulting rule.
  std::vector<ChosenEdit> Procedure(const std::vector<int32_t>& weights, uint64_t seed) {
    const std::vector<Step> full = Greedy(weights);
    std::vector<uint32_t> training;
    for (uint32_t i = 0; i < weights.size(); ++i) {
      if (weights[i] > 0) training.push_back(i);
    }
    std::map<std::tuple<RuleEdit::Kind, int, GbkText>, int> chosen_again;
    if (!full.empty() && !training.empty()) {
      Draws draws(seed);
      std::vector<int32_t> resampled(weights.size());
      for (int b = 0; b < settings_.resamples; ++b) {
        std::fill(resampled.begin(), resampled.end(), 0);
        for (size_t k = 0; k < training.size(); ++k)
          ++resampled[training[draws.Below(static_cast<uint32_t>(training.size()))]];
        for (const Step& step : Greedy(resampled)) ++chosen_again[KeyOf(step.edit)];
      }
    }

    Prepare(weights);
    state_.Set(case_.rule);
    std::vector<ChosenEdit> kept;
    int skipped_group_edit = 0;  // the lowest group number a skipped edit moved
    for (const Step& step : full) {
      const int again = chosen_again[KeyOf(step.edit)];
      const bool stable =
          settings_.resamples == 0 || again > settings_.stability * settings_.resamples;
      const RuleEdit& e = step.edit;
      if (skipped_group_edit > 0 && e.group >= skipped_group_edit) continue;
      std::optional<Evaluation> now = stable ? Evaluate(step, weights) : std::nullopt;
      if (!now || !Valid(*now)) {
        if (e.kind == RuleEdit::Kind::kAddGroup || e.kind == RuleEdit::Kind::kDropGroup)
          skipped_group_edit =
              skipped_group_edit == 0 ? e.group : std::min(skipped_group_edit, e.group);
        continue;
      }
      ChosenEdit& c = kept.emplace_back();
      c.edit = e;
      c.resamples_chosen = again;
      Describe(*now, weights, c);
      state_.Set(std::move(now->rule));
    }
    return kept;
  }

  RuleState& state() { return state_; }

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
      (Low(i) ? low_papers_ : high_papers_)++;
    }
    const auto& candidates = case_.candidates;
    proxy_.assign(candidates.wordings.size(), Proxy());
    usable_.clear();
    for (size_t c = 0; c < candidates.wordings.size(); ++c) {
      Proxy& p = proxy_[c];
      int distinct = 0;
      for (uint32_t i : candidates.marked_with[c]) {
        if (weights[i] == 0) continue;
        ++distinct;
        (Low(i) ? p.low : p.high)++;
      }
      if (distinct < settings_.min_fixed) continue;
      if (low_papers_ > 0) {
        p.low_share = static_cast<double>(p.low) / low_papers_;
        const double high_share =
            high_papers_ > 0 ? static_cast<double>(p.high) / high_papers_ : 0;
        p.passes = p.low_share < settings_.proxy_ratio * high_share;
      }
      if (p.passes) usable_.push_back(static_cast<uint32_t>(c));
    }
  }

  bool Low(size_t i) const { return case_.half_marks[i] * 2 < half_full_marks_; }

  // Half-point difference of paper i's score `score` from the teacher's mark.
  int64_t Gap(size_t i, int32_t score) const {
    return int64_t{score} * 2 - case_.half_marks[i];
  }

  // Whether every group from 1 to one past the last is scored alone, and the points
  // box is a plain number: then an added match raises a paper's raw score by the
  // points box exactly, and the prediction below is the scorer's result.
  bool Plain() {
    if (points_ < 0 || points_ > kPlainPointsLimit) return false;
    const int groups = state_.groups();
    if (groups + 1 > kPlainGroupLimit) return false;
    for (int g = 1; g <= groups + 1; ++g) {
      if (boxes_.IsOrdered(case_.question, g)) return false;
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
        if (boxes_.IsOrdered(case_.question, h) !=
            boxes_.IsOrdered(case_.question, h - 1))
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
        ++out.fixed;
        if (step.candidate >= 0) {
          const auto& as_words =
              case_.candidates.marked_as_words[static_cast<size_t>(step.candidate)];
          out.as_words += std::binary_search(as_words.begin(), as_words.end(), i);
        }
      }
      if (std::llabs(after_gap) > std::llabs(before_gap)) ++out.broken;
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

  // The best valid edit of the current rule, or none. Edits are taken in the order of
  // an upper bound of their gain and scored exactly until no bound can beat the best.
  std::optional<Evaluation> Best(const std::vector<int32_t>& weights) {
    struct Option {
      double bound;
      Step step;
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
    for (uint32_t c : usable_) {
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
          fix_i = std::llabs(after) < std::llabs(before);
          break_i = std::llabs(after) > std::llabs(before);
        } else {
          g_i = static_cast<double>(weights[i]) * static_cast<double>(before * before);
          fix_i = before != 0;
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
      const GbkText& wording = candidates.wordings[c];
      // A wording the rule already has would count twice.
      bool in_rule = false;
      for (int g = 0; g < groups && !in_rule; ++g) {
        for (std::string_view a : state_.rules().alternatives(g)) in_rule |= a == wording;
      }
      if (in_rule) continue;
      for (int g = 0; g <= groups; ++g) {
        const auto k = static_cast<size_t>(g);
        if (fixed[k] < settings_.min_fixed || gain[k] <= 0) continue;
        if (plain &&
            broken[k] > static_cast<int>(fixed[k] * settings_.max_broken_share + 1e-9))
          continue;
        Step step;
        step.candidate = static_cast<int>(c);
        step.edit.kind =
            g == groups ? RuleEdit::Kind::kAddGroup : RuleEdit::Kind::kAddWording;
        step.edit.group = g + 1;
        step.edit.wording = wording;
        options.push_back({gain[k], std::move(step)});
      }
    }
    // Drops: only the papers that scored through the wording or the group can change,
    // and a drop only lowers when plain.
    for (int g = 0; g < groups; ++g) {
      const auto alternatives = state_.rules().alternatives(g);
      for (int a = 0; a <= static_cast<int>(alternatives.size()); ++a) {
        // a == 0: the whole group; a wording only when another is left.
        if (a > 0 && alternatives.size() < 2) break;
        double bound = 0;
        int could_fix = 0;
        for (uint32_t i = 0; i < case_.answers.size(); ++i) {
          if (weights[i] == 0) continue;
          const int32_t m = state_.matched(i, g);
          if (a == 0 ? m == 0 : m != a) continue;
          const int64_t gap = Gap(i, state_.shown(i));
          if (plain ? gap <= 0 : gap == 0) continue;
          bound += static_cast<double>(weights[i]) * static_cast<double>(gap * gap);
          ++could_fix;
        }
        if (could_fix < settings_.min_fixed) continue;
        Step step;
        step.edit.kind =
            a == 0 ? RuleEdit::Kind::kDropGroup : RuleEdit::Kind::kDropWording;
        step.edit.group = g + 1;
        step.edit.alternative = a;
        if (a > 0) step.edit.wording = GbkText(alternatives[static_cast<size_t>(a) - 1]);
        options.push_back({bound, std::move(step)});
      }
    }
    std::sort(options.begin(), options.end(),
              [](const Option& x, const Option& y) { return x.bound > y.bound; });

    std::optional<Evaluation> best;
    for (const Option& option : options) {
      if (best && option.bound < best->gain) break;
      std::optional<Evaluation> e = Evaluate(option.step, weights);
      if (!e || !Valid(*e)) continue;
      if (!best || Better(*e, *best, case_)) best = std::move(e);
    }
    return best;
  }

  const QuestionCase& case_;
  const SearchSettings& settings_;
  FixedScoringBoxes boxes_;
  RuleState state_;
  int32_t points_;
  int64_t half_full_marks_ = 0;
  int low_papers_ = 0, high_papers_ = 0;
  std::vector<Proxy> proxy_;
  std::vector<uint32_t> usable_;
};

}  // namespace

QuestionSearch SearchRuleEdits(const QuestionCase& c, const SearchSettings& settings,
                               int threads) {
  const auto n = static_cast<uint32_t>(c.answers.size());
  QuestionSearch out;
  std::vector<uint32_t> all(n);
  for (uint32_t i = 0; i < n; ++i) all[i] = i;

  // The folds: the marked papers in a drawn order, dealt out in turn.
  const int folds = std::max(2, std::min<int>(settings.folds, static_cast<int>(n)));
  std::vector<uint32_t> order = all;
  Draws draws(Mix(settings.seed, static_cast<uint64_t>(c.question)));
  for (uint32_t i = n; i > 1; --i) std::swap(order[i - 1], order[draws.Below(i)]);
  std::vector<int> fold_of(n);
  for (uint32_t k = 0; k < n; ++k) fold_of[order[k]] = static_cast<int>(k % folds);

  std::vector<int32_t> held_out(n, 0);
  // Task `folds` is the procedure on every marked paper; the others leave one fold out.
  RunTasks(folds + 1, threads, [&](int task) {
    Search search(c, settings);
    std::vector<int32_t> weights(n, 1);
    if (task < folds) {
      for (uint32_t i = 0; i < n; ++i) weights[i] = fold_of[i] == task ? 0 : 1;
    }
    std::vector<ChosenEdit> kept = search.Procedure(
        weights, Mix(settings.seed, static_cast<uint64_t>(c.question), task + 1u));
    RuleState& state = search.state();
    if (task < folds) {
      // Distinct folds write distinct papers.
      for (uint32_t i = 0; i < n; ++i) {
        if (fold_of[i] == task) held_out[i] = state.shown(i);
      }
      return;
    }
    out.edits = std::move(kept);
    out.rule_after = state.rule();
    out.scores_after.assign(state.scores().begin(), state.scores().end());
    state.Set(c.rule);
    out.scores_before.assign(state.scores().begin(), state.scores().end());
  });

  HeldOutEstimate& e = out.estimate;
  e.folds = folds;
  e.before = AgreementOf(out.scores_before, c.half_marks, all);
  e.after = AgreementOf(held_out, c.half_marks, all);
  // The spread: the same figures over resamples of the held-out papers.
  std::vector<double> kappas, changes;
  std::vector<uint32_t> resample(n);
  Draws spread(Mix(settings.seed, static_cast<uint64_t>(c.question), 0xA11));
  for (int r = 0; r < settings.spread_resamples && n > 0; ++r) {
    for (uint32_t& i : resample) i = spread.Below(n);
    const Agreement a = AgreementOf(held_out, c.half_marks, resample);
    const Agreement b = AgreementOf(out.scores_before, c.half_marks, resample);
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
  return out;
}

}  // namespace vantry
