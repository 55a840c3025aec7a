#include "analysis/class_statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "scoring/question_rules.h"

namespace vantry {
namespace {

std::optional<double> Ratio(double part, double whole) {
  if (whole <= 0) return std::nullopt;
  return part / whole;
}

// Accumulates a set of scores in two passes: the sums first, then the spread around
// the mean, which stays exact where a sum of squares would lose digits.
class SummaryBuilder {
 public:
  void Add(int32_t value, int64_t times = 1) {
    if (times <= 0) return;
    count_ += times;
    sum_ += static_cast<double>(value) * static_cast<double>(times);
    highest_ = highest_ ? std::max(*highest_, value) : value;
    lowest_ = lowest_ ? std::min(*lowest_, value) : value;
  }
  std::optional<double> Mean() const {
    if (count_ == 0) return std::nullopt;
    return sum_ / static_cast<double>(count_);
  }
  void AddDeviation(int32_t value, int64_t times = 1) {
    const double d = static_cast<double>(value) - Mean().value_or(0);
    squares_ += d * d * static_cast<double>(times);
  }
  ScoreSummary Summary() const {
    ScoreSummary summary;
    summary.count = count_;
    if (count_ == 0) return summary;
    summary.mean = Mean();
    summary.highest = highest_;
    summary.lowest = lowest_;
    summary.standard_deviation = std::sqrt(squares_ / static_cast<double>(count_));
    return summary;
  }

 private:
  int64_t count_ = 0;
  double sum_ = 0;
  double squares_ = 0;
  std::optional<int32_t> highest_;
  std::optional<int32_t> lowest_;
};

// A paper of a discrimination group and the share of a place it holds.
struct Weighted {
  size_t paper;
  double weight;
};

// The papers of one extreme group: walking `order` (papers sorted from that extreme),
// whole tie blocks enter until `places` are filled; the block at the edge shares what
// is left equally.
std::vector<Weighted> ExtremeGroup(const std::vector<size_t>& order,
                                   std::span<const GradedClass::Paper> papers,
                                   double places) {
  std::vector<Weighted> group;
  size_t begin = 0;
  while (begin < order.size() && static_cast<double>(begin) < places) {
    size_t end = begin + 1;
    while (end < order.size() && papers[order[end]].total == papers[order[begin]].total)
      ++end;
    const double size = static_cast<double>(end - begin);
    const double take = std::min(size, places - static_cast<double>(begin));
    for (size_t i = begin; i < end; ++i) group.push_back({order[i], take / size});
    begin = end;
  }
  return group;
}

double GroupMean(const GradedClass& graded, const std::vector<Weighted>& group, int q,
                 double places) {
  double sum = 0;
  for (const Weighted& w : group) {
    sum += w.weight * ShownScore(graded, graded.papers()[w.paper], q);
  }
  return sum / places;
}

void FillGroups(const HitTally::Question* tally, const QuestionRules* rules,
                int64_t paper_count, QuestionStatistics& question) {
  const size_t rule_groups = rules ? static_cast<size_t>(rules->group_count()) : 0;
  const size_t tally_groups = tally ? tally->groups.size() : 0;
  const size_t count = std::max(rule_groups, tally_groups);
  for (size_t g = 0; g < count; ++g) {
    GroupStatistics& group = question.groups.emplace_back();
    group.group = static_cast<int>(g) + 1;
    std::span<const GbkView> alternatives;
    if (g < rule_groups) {
      group.text = GbkText(rules->group_text(static_cast<int>(g)));
      alternatives = rules->alternatives(static_cast<int>(g));
    }
    if (g < tally_groups) {
      const HitTally::Group& counted = tally->groups[g];
      group.papers_hit = counted.papers_hit;
      group.papers_ordered = counted.papers_ordered;
      group.papers_ordered_with_bonus = counted.papers_ordered_with_bonus;
      for (size_t a = 0; a < counted.alternative_hits.size(); ++a) {
        if (counted.alternative_hits[a] > group.top_alternative_hits) {
          group.top_alternative_hits = counted.alternative_hits[a];
          group.top_alternative = static_cast<int>(a) + 1;
        }
      }
    }
    if (group.top_alternative > 0 &&
        static_cast<size_t>(group.top_alternative) <= alternatives.size()) {
      group.top_alternative_text =
          GbkText(alternatives[static_cast<size_t>(group.top_alternative) - 1]);
    }
    group.hit_rate =
        Ratio(static_cast<double>(group.papers_hit), static_cast<double>(paper_count));
    group.bonus_rate = Ratio(static_cast<double>(group.papers_ordered_with_bonus),
                             static_cast<double>(group.papers_ordered));
  }
}

ScoreDistribution Distribute(const GradedClass& graded,
                             const std::vector<QuestionStatistics>& questions) {
  ScoreDistribution distribution;
  if (questions.empty()) {
    distribution.status = FullMarksStatus::kNoQuestions;
    return distribution;
  }
  int64_t full = 0;
  for (const QuestionStatistics& q : questions) {
    if (!q.cap) {
      distribution.status = FullMarksStatus::kQuestionWithoutCap;
      distribution.question_without_cap = q.question;
      return distribution;
    }
    full += *q.cap;
  }
  if (full <= 0) {
    distribution.status = FullMarksStatus::kNotPositive;
    return distribution;
  }
  distribution.status = FullMarksStatus::kKnown;
  distribution.full_marks = full;

  // Integer comparisons: a total exactly on a bound falls where the bound says.
  std::vector<int64_t> counts(kScoreBandCount, 0);
  LevelCount excellent, pass, low;
  bool below_zero = false;
  for (const GradedClass::Paper& paper : graded.papers()) {
    const int64_t total = paper.total;
    below_zero = below_zero || total < 0;
    const int64_t band = total <= 0 ? 0
                                    : std::min<int64_t>(total * kScoreBandCount / full,
                                                        kScoreBandCount - 1);
    ++counts[static_cast<size_t>(band)];
    if (total * 100 >= kExcellentPercent * full) ++excellent.count;
    if (total * 100 >= kPassPercent * full) ++pass.count;
    if (total * 100 < kLowPercent * full) ++low.count;
  }
  const auto papers = static_cast<double>(graded.paper_count());
  for (int b = 0; b < kScoreBandCount; ++b) {
    ScoreBand& band = distribution.bands.emplace_back();
    band.lower_percent = b * 100 / kScoreBandCount;
    band.upper_percent = (b + 1) * 100 / kScoreBandCount;
    band.lower = static_cast<double>(full) * band.lower_percent / 100.0;
    band.upper = static_cast<double>(full) * band.upper_percent / 100.0;
    band.count = counts[static_cast<size_t>(b)];
    band.rate = Ratio(static_cast<double>(band.count), papers);
    band.below_zero = b == 0 && below_zero;
  }
  for (LevelCount* level : {&excellent, &pass, &low}) {
    level->rate = Ratio(static_cast<double>(level->count), papers);
  }
  distribution.excellent = excellent;
  distribution.pass = pass;
  distribution.low = low;
  return distribution;
}

}  // namespace

int32_t ShownScore(const GradedClass& graded, const GradedClass::Paper& paper, int q) {
  const auto scores = graded.Scores(paper);
  return q >= 1 && static_cast<size_t>(q) <= scores.size()
             ? scores[static_cast<size_t>(q) - 1].shown
             : 0;
}

std::vector<int64_t> CompetitionRanks(std::span<const int32_t> totals) {
  std::vector<size_t> order(totals.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return totals[a] > totals[b]; });
  std::vector<int64_t> ranks(totals.size());
  for (size_t i = 0; i < order.size(); ++i) {
    const bool tied = i > 0 && totals[order[i]] == totals[order[i - 1]];
    ranks[order[i]] = tied ? ranks[order[i - 1]] : static_cast<int64_t>(i) + 1;
  }
  return ranks;
}

ClassStatistics ComputeClassStatistics(const GradedClass& graded,
                                       const ProgramState& state) {
  ClassStatistics stats;
  const auto papers = graded.papers();
  const auto n = static_cast<int64_t>(papers.size());
  stats.paper_count = n;

  std::vector<int32_t> totals;
  totals.reserve(papers.size());
  SummaryBuilder total_summary;
  for (const GradedClass::Paper& paper : papers) {
    totals.push_back(paper.total);
    total_summary.Add(paper.total);
  }
  for (int32_t total : totals) total_summary.AddDeviation(total);
  stats.totals = total_summary.Summary();
  stats.ranks = CompetitionRanks(totals);

  // The top and bottom groups by total, for every question's discrimination.
  const double places = kDiscriminationShare * static_cast<double>(n);
  std::vector<Weighted> top, bottom;
  if (n >= 2) {
    std::vector<size_t> order(papers.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return papers[a].total > papers[b].total; });
    top = ExtremeGroup(order, papers, places);
    std::reverse(order.begin(), order.end());
    bottom = ExtremeGroup(order, papers, places);
  }

  const int question_count = graded.question_count();
  const CompiledRules rules(state);
  const auto tally = graded.tally().questions();
  // Per question: the scores the papers have, then the zeros of those that lack it.
  std::vector<SummaryBuilder> builders(static_cast<size_t>(question_count));
  // `present`: papers with a piece for the question; `answered`: with content in it.
  std::vector<int64_t> present(builders.size(), 0), answered(builders.size(), 0),
      zeros(builders.size(), 0), full(builders.size(), 0);
  std::vector<std::optional<int32_t>> caps(builders.size());
  for (int q = 1; q <= question_count; ++q)
    caps[static_cast<size_t>(q) - 1] = graded.Cap(q);
  for (const GradedClass::Paper& paper : papers) {
    const auto scores = graded.Scores(paper);
    for (size_t i = 0; i < scores.size(); ++i) {
      const int32_t s = scores[i].shown;
      builders[i].Add(s);
      ++present[i];
      if (scores[i].answered) ++answered[i];
      if (s == 0) ++zeros[i];
      if (caps[i] && *caps[i] > 0 && s == *caps[i]) ++full[i];
    }
  }
  for (size_t i = 0; i < builders.size(); ++i) {
    builders[i].Add(0, n - present[i]);
    zeros[i] += n - present[i];
  }
  for (const GradedClass::Paper& paper : papers) {
    const auto scores = graded.Scores(paper);
    for (size_t i = 0; i < scores.size(); ++i) builders[i].AddDeviation(scores[i].shown);
  }

  for (int q = 1; q <= question_count; ++q) {
    const size_t i = static_cast<size_t>(q) - 1;
    builders[i].AddDeviation(0, n - present[i]);
    QuestionStatistics& question = stats.questions.emplace_back();
    question.question = q;
    const QuestionRules* rule = rules.Question(q);
    question.has_rule = rule != nullptr;
    question.cap = caps[i];
    question.papers_answered = answered[i];
    question.scores = builders[i].Summary();
    question.zero_count = zeros[i];
    const bool positive_cap = question.cap && *question.cap > 0;
    if (positive_cap) {
      question.full_count = full[i];
      if (question.scores.mean)
        question.score_rate = *question.scores.mean / *question.cap;
      if (n >= 2) {
        question.discrimination =
            (GroupMean(graded, top, q, places) - GroupMean(graded, bottom, q, places)) /
            *question.cap;
      }
    }
    const HitTally::Question* counted = i < tally.size() ? &tally[i] : nullptr;
    if (counted != nullptr) question.papers_with_bonus = counted->papers_with_bonus;
    FillGroups(counted, rule, n, question);
  }
  stats.distribution = Distribute(graded, stats.questions);
  return stats;
}

}  // namespace vantry
