#include "export/answer_marks.h"

#include <algorithm>

#include "export/explanation.h"
#include "text/find_text.h"
#include "text/gbk_codec.h"
#include "text/gbk_text.h"

namespace vantry {
namespace {

size_t Width(std::string_view text, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

}  // namespace

size_t PrefixOfCharacters(GbkView text, size_t characters) {
  size_t i = 0;
  for (size_t n = 0; n < characters && i < text.size(); ++n) i += Width(text.bytes(), i);
  return i;
}

std::vector<ByteRange> MatchedRanges(const PaperRecord& paper,
                                     const QuestionRecord& question, size_t limit) {
  std::vector<ByteRange> ranges;
  const GbkView answer = question.answer;
  const auto add_all = [&](GbkView wording, bool ignore_case) {
    if (wording.empty()) return;
    const TextFinder finder(wording, ignore_case);
    for (int64_t at = finder.Find(answer); at > 0 && static_cast<size_t>(at) <= limit;
         at = finder.Find(answer, at + static_cast<int64_t>(wording.size()))) {
      const auto begin = static_cast<size_t>(at) - 1;
      ranges.emplace_back(begin, begin + wording.size());
    }
  };
  for (const GroupRecord& group : paper.Groups(question)) {
    if (!group.matched()) continue;
    add_all(group.alternative_text, false);
    switch (group.mode) {
      case GroupMode::kUnordered:
        break;
      case GroupMode::kOrdered:
        // An ordered group's chain holds its wording's places found ignoring case.
        add_all(group.alternative_text, true);
        break;
    }
  }
  std::sort(ranges.begin(), ranges.end());
  std::vector<ByteRange> merged;
  for (const ByteRange& range : ranges) {
    if (!merged.empty() && range.first <= merged.back().second) {
      merged.back().second = std::max(merged.back().second, range.second);
    } else {
      merged.push_back(range);
    }
  }
  return merged;
}

std::string AnswerText(GbkView gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '\r') {
      out += '\n';
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else if (c == '\n' || static_cast<unsigned char>(c) >= 0x20) {
      out += c == 0x7F ? std::string("\uFFFD") : std::string(1, c);
    } else {
      out += "\uFFFD";
    }
  }
  return out;
}

std::string AnswerExcerpt(const PaperRecord& paper, const QuestionRecord& question,
                          size_t max_characters) {
  const GbkView answer = question.answer;
  std::string out;
  if (CharacterCount(answer) <= max_characters) {
    AppendOneLine(answer, out);
    return out;
  }
  // Start a few characters before the first marked wording, on a character boundary.
  const std::vector<ByteRange> marks = MatchedRanges(paper, question, answer.size());
  size_t begin = 0;
  if (!marks.empty()) {
    constexpr size_t kBefore = 8;
    const size_t lead = CharacterCount(answer.substr(0, marks.front().first));
    if (lead > kBefore) begin = PrefixOfCharacters(answer, lead - kBefore);
  }
  const GbkView rest = answer.substr(begin);
  const size_t shown = PrefixOfCharacters(rest, max_characters);
  if (begin > 0) out += "…";
  AppendOneLine(rest.substr(0, shown), out);
  if (shown < rest.size()) out += "…";
  return out;
}

}  // namespace vantry
