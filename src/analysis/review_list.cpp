#include "analysis/review_list.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <unordered_map>

#include "analysis/teacher_marks.h"
#include "text/answer_content.h"

namespace vantry {
namespace {

template <typename Entry>
void Add(ReviewEntries<Entry>& list, Entry entry) {
  if (list.entries.size() < kMaxReviewEntries) list.entries.push_back(std::move(entry));
  ++list.count;
}

// The characters of a GBK text, each as one number.
std::vector<uint16_t> Characters(GbkView gbk) {
  std::vector<uint16_t> characters;
  for (size_t i = 0; i < gbk.size();) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    if (IsLeadByte(c) && i + 1 < gbk.size()) {
      characters.push_back(
          static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(gbk[i + 1])));
      i += 2;
    } else {
      characters.push_back(c);
      ++i;
    }
  }
  return characters;
}

// The edit distance, or `limit` + 1 when above it; `row` is scratch.
int Distance(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b, int limit,
             std::vector<int>& row) {
  const auto gap = static_cast<int>(a.size()) - static_cast<int>(b.size());
  if (std::abs(gap) > limit) return limit + 1;
  // One row of the usual table, the smallest of each row kept to stop early.
  row.resize(b.size() + 1);
  for (size_t k = 0; k <= b.size(); ++k) row[k] = static_cast<int>(k);
  for (size_t i = 1; i <= a.size(); ++i) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    int smallest = row[0];
    for (size_t k = 1; k <= b.size(); ++k) {
      const int above = row[k];
      row[k] = std::min({above + 1, row[k - 1] + 1, diagonal + (a[i - 1] != b[k - 1])});
      diagonal = above;
      smallest = std::min(smallest, row[k]);
    }
    if (smallest > limit) return limit + 1;
  }
  return std::min(row[b.size()], limit + 1);
}

// Whether two papers' answers hold the same content, question by question.
bool SameAnswers(const PaperRecord& a, const PaperRecord& b) {
  const size_t questions = std::max(a.questions.size(), b.questions.size());
  for (size_t q = 0; q < questions; ++q) {
    const GbkView x = q < a.questions.size() ? a.questions[q].answer : ""_gbk;
    const GbkView y = q < b.questions.size() ? b.questions[q].answer : ""_gbk;
    if (!SameContent(x, y)) return false;
  }
  return true;
}

void FindIdentical(const GradedClass& graded, ReviewList& list) {
  const auto papers = graded.papers();
  // Papers by their content's digest, the digests in order of their first paper.
  std::unordered_map<uint64_t, std::vector<size_t>> by_digest;
  std::vector<uint64_t> digests;
  for (size_t p = 0; p < papers.size(); ++p) {
    if (papers[p].answered_count == 0) continue;
    auto& same = by_digest[papers[p].content_digest];
    if (same.empty()) digests.push_back(papers[p].content_digest);
    same.push_back(p);
  }
  PaperRecord first, other;
  for (uint64_t digest : digests) {
    const std::vector<size_t>& candidates = by_digest[digest];
    if (candidates.size() < 2) continue;
    // Equal digests almost surely mean equal answers; the records say for sure.
    graded.Record(candidates[0], first);
    std::vector<size_t> group = {candidates[0]};
    for (size_t i = 1; i < candidates.size(); ++i) {
      graded.Record(candidates[i], other);
      if (SameAnswers(first, other)) group.push_back(candidates[i]);
    }
    if (group.size() >= 2) Add(list.identical, std::move(group));
  }
}

void FindUnanswered(const GradedClass& graded, const ClassStatistics& statistics,
                    ReviewList& list) {
  const auto papers = graded.papers();
  // The questions whose zero scores say something: a rule with keywords, a cap (if
  // any) above 0.
  std::vector<bool> telling;
  for (const QuestionStatistics& q : statistics.questions)
    telling.push_back(!q.groups.empty() && (!q.cap || *q.cap > 0));
  std::map<uint32_t, int64_t> papers_answering;  // answers with content → papers
  for (size_t p = 0; p < papers.size(); ++p) {
    if (papers[p].answered_count == 0) {
      Add(list.blank, p);
      continue;
    }
    ++papers_answering[papers[p].answered_count];
    const auto scores = graded.Scores(papers[p]);
    for (size_t q = 0; q < scores.size(); ++q) {
      if (scores[q].answered && scores[q].shown == 0 && q < telling.size() && telling[q])
        Add(list.zero_with_content, {.paper = p, .question = static_cast<int>(q) + 1});
    }
  }
  // The most common number of answers; of equally common ones the larger.
  int64_t most = 0;
  for (const auto& [answers, count] : papers_answering) {
    if (count >= most) {
      most = count;
      list.usual_answers = answers;
    }
  }
  for (size_t p = 0; p < papers.size(); ++p) {
    const uint32_t answered = papers[p].answered_count;
    if (answered > 0 && answered < list.usual_answers) Add(list.fewer_answers, p);
  }
}

void SuggestNames(const GradedClass& graded, const MarksComparison& comparison,
                  ReviewList& list) {
  std::vector<std::vector<uint16_t>> candidates;
  for (size_t p : comparison.papers_without_marks)
    candidates.push_back(Characters(TrimCell(graded.papers()[p].name)));
  std::vector<int> row;
  for (size_t n = 0; n < comparison.names_without_paper.size(); ++n) {
    const GbkText& name = comparison.names_without_paper[n];
    ReviewList::UnknownName entry{.name = name, .nearest_paper = std::nullopt};
    if (n < kSuggestedNames) {
      const std::vector<uint16_t> characters = Characters(name);
      const int limit = std::min(characters.size() <= 3 ? 1 : 2,
                                 static_cast<int>(characters.size()) - 1);
      int best = limit + 1;
      for (size_t c = 0; c < candidates.size() && best > 1; ++c) {
        const int distance = Distance(characters, candidates[c], best - 1, row);
        if (distance < best) {
          best = distance;
          entry.nearest_paper = comparison.papers_without_marks[c];
        }
      }
    }
    Add(list.unknown_names, std::move(entry));
  }
}

}  // namespace

int NameDistance(GbkView a, GbkView b, int limit) {
  std::vector<int> row;
  return Distance(Characters(a), Characters(b), limit, row);
}

ReviewList FindPapersToReview(const GradedClass& graded,
                              const ClassStatistics& statistics,
                              const MarksComparison* comparison) {
  ReviewList list;
  FindIdentical(graded, list);
  FindUnanswered(graded, statistics, list);
  if (comparison != nullptr) SuggestNames(graded, *comparison, list);
  return list;
}

}  // namespace vantry
