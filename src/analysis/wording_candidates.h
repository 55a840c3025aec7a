// The wordings a rule proposal may add: whole words of the students' answers, and the
// marked papers whose answer holds each, found as the grader finds an alternative.
#ifndef VANTRY_ANALYSIS_WORDING_CANDIDATES_H_
#define VANTRY_ANALYSIS_WORDING_CANDIDATES_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/word_segmenter.h"
#include "text/gbk_text.h"

namespace vantry {

struct WordingRules {
  // A wording is one to this many words in a row, with nothing between them.
  int max_words = 3;
  // It is at least this many characters long, and at most this many bytes.
  size_t min_characters = 2;
  size_t max_bytes = 32;
  // It is found as such a span in at least this many answers.
  int min_answers = 3;
};

struct WordingCandidates {
  // GBK, in byte order. None holds a byte that the parameters file would read
  // differently ("|", "<", ">", an ASCII comma, a control character).
  std::vector<GbkText> wordings;
  // For each wording, the answers it was found in as a span of words (a measure of how
  // general it is).
  std::vector<int32_t> answers_found;
  // For each wording, the marked papers (indices into the `marked` list given) whose
  // answer contains it as the grader searches (exactly, from a character boundary of
  // the scan from the first byte), ascending...
  std::vector<std::vector<uint32_t>> marked_with;
  // ...and those in whose answer it stands as whole words, ascending.
  std::vector<std::vector<uint32_t>> marked_as_words;
};

// The wordings of `rules` found in `answers` (every paper's answer to one question,
// `words[i]` the words of answers[i]): spans of words that neither begin nor end with
// a stop word or punctuation; and which of the marked papers contain each, `marked`
// holding their indices in `answers`.
WordingCandidates FindWordingCandidates(std::span<const GbkView> answers,
                                        std::span<const std::vector<WordSpan>> words,
                                        std::span<const uint32_t> marked,
                                        const WordingRules& rules = {});

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_WORDING_CANDIDATES_H_
