#include "analysis/wording_candidates.h"

#include <algorithm>
#include <unordered_map>

namespace vantry {
namespace {

// Bytes a wording may not hold: the parameters file's separator and tags, the ASCII
// comma the loader turns full-width, and control characters.
bool Writable(GbkView wording) {
  for (size_t i = 0; i < wording.size(); ++i) {
    const auto c = static_cast<unsigned char>(wording[i]);
    if (IsLeadByte(c)) {
      ++i;  // a trail byte is part of its character
      continue;
    }
    if (c < 0x20 || c == 0x7F || c == '|' || c == '<' || c == '>' || c == ',')
      return false;
  }
  return true;
}

struct Seen {
  int32_t answers = 0;
  size_t last_answer = SIZE_MAX;
};

// Calls `visit(text)` for every span of words of answer `a` that may be a wording.
template <typename Visit>
void ForEachSpan(GbkView answer, const std::vector<WordSpan>& w,
                 const WordingRules& rules, Visit visit) {
  for (size_t first = 0; first < w.size(); ++first) {
    if (w[first].stop_word) continue;
    for (size_t last = first; last < w.size() && last < first + rules.max_words; ++last) {
      if (w[last].punctuation) break;
      if (last > first && w[last].begin != w[last - 1].end) break;  // not in a row
      if (w[last].end - w[first].begin > rules.max_bytes) break;
      if (w[last].stop_word) continue;
      const GbkView text = answer.substr(w[first].begin, w[last].end - w[first].begin);
      if (CharacterCount(text) < rules.min_characters || !Writable(text)) continue;
      visit(text);
    }
  }
}

}  // namespace

WordingCandidates FindWordingCandidates(std::span<const GbkView> answers,
                                        std::span<const std::vector<WordSpan>> words,
                                        std::span<const uint32_t> marked,
                                        const WordingRules& rules) {
  std::unordered_map<GbkView, Seen> seen;
  for (size_t a = 0; a < answers.size() && a < words.size(); ++a) {
    ForEachSpan(answers[a], words[a], rules, [&](GbkView text) {
      Seen& s = seen[text];
      if (s.last_answer != a) {
        s.last_answer = a;
        ++s.answers;
      }
    });
  }

  WordingCandidates out;
  std::vector<std::pair<GbkView, int32_t>> kept;
  for (const auto& [text, s] : seen) {
    if (s.answers >= rules.min_answers) kept.emplace_back(text, s.answers);
  }
  std::sort(kept.begin(), kept.end());
  std::unordered_map<GbkView, uint32_t> index;
  std::vector<size_t> lengths;
  for (const auto& [text, count] : kept) {
    index.emplace(text, static_cast<uint32_t>(out.wordings.size()));
    out.wordings.emplace_back(text);
    out.answers_found.push_back(count);
    lengths.push_back(text.size());
  }
  std::sort(lengths.begin(), lengths.end());
  lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
  out.marked_with.resize(out.wordings.size());
  out.marked_as_words.resize(out.wordings.size());
  const auto add = [](std::vector<uint32_t>& papers, size_t m) {
    if (papers.empty() || papers.back() != m) papers.push_back(static_cast<uint32_t>(m));
  };

  // Every place where the grader's search could find a wording: each character
  // boundary of the scan from the first byte, with each wording length.
  for (size_t m = 0; m < marked.size(); ++m) {
    const GbkView answer = answers[marked[m]];
    if (marked[m] < words.size() && marked[m] < answers.size()) {
      ForEachSpan(answer, words[marked[m]], rules, [&](GbkView text) {
        const auto found = index.find(text);
        if (found != index.end()) add(out.marked_as_words[found->second], m);
      });
    }
    for (size_t at = 0; at < answer.size();
         at += IsLeadByte(static_cast<unsigned char>(answer[at])) ? 2 : 1) {
      for (size_t length : lengths) {
        if (at + length > answer.size()) break;
        const auto found = index.find(answer.substr(at, length));
        if (found != index.end()) add(out.marked_with[found->second], m);
      }
    }
  }
  return out;
}

}  // namespace vantry
