// A student's answer as the outputs show it: the wordings that scored marked, and cut
// to a length with the cut visible.
#ifndef VANTRY_EXPORT_ANSWER_MARKS_H_
#define VANTRY_EXPORT_ANSWER_MARKS_H_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "grading/paper_record.h"
#include "text/gbk_text.h"

namespace vantry {

// A range of bytes [begin, end) of a GBK answer.
using ByteRange = std::pair<size_t, size_t>;

// Where the wordings that decided `question`'s groups stand in its answer: every
// occurrence of each matched group's wording (and of an ordered group's chain, found
// ignoring case), sorted and merged, on character boundaries. Only ranges that begin
// within the first `limit` bytes are found.
std::vector<ByteRange> MatchedRanges(const PaperRecord& paper,
                                     const QuestionRecord& question, size_t limit);

// The length in bytes of the first `characters` characters of GBK `text` (all of it
// when it is shorter).
size_t PrefixOfCharacters(GbkView text, size_t characters);

// A GBK answer (or a part of one) as UTF-8 to show as a block of text: line breaks as
// "\n", bytes that are not valid GBK and other control characters as U+FFFD.
std::string AnswerText(GbkView gbk);

// The answer on one line for a terminal (UTF-8, as AppendOneLine shows it): whole when
// it has at most `max_characters` characters, else that many around its first marked
// wording (from its start when none), "…" standing for each part left out.
std::string AnswerExcerpt(const PaperRecord& paper, const QuestionRecord& question,
                          size_t max_characters);

}  // namespace vantry

#endif  // VANTRY_EXPORT_ANSWER_MARKS_H_
