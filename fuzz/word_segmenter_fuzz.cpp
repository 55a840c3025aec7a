// Properties of the word segmenter and the rule edits on arbitrary bytes: friso never
// sees anything but well-formed UTF-8 in bounded pieces, and whatever it reports, the
// words come back in order, inside the text and on the characters the grader steps
// through; an edit either reads back exactly as itself or is refused.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/rule_edit.h"
#include "analysis/word_segmenter.h"
#include "fuzz_check.h"
#include "text/gbk_text.h"

namespace {

using vantry::fuzz::Check;

// Loading the dictionary takes a fifth of a second: one segmenter serves every input.
vantry::WordSegmenter& Segmenter() {
  static const std::unique_ptr<vantry::WordSegmenter> segmenter =
      vantry::WordSegmenter::Create();
  return *segmenter;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vantry::GbkView bytes(
      std::string_view(reinterpret_cast<const char*>(data), size));

  // The character boundaries as the grader's search steps through the text.
  std::vector<bool> boundary(bytes.size() + 1, false);
  for (size_t i = 0; i < bytes.size();
       i += vantry::IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1)
    boundary[i] = true;
  boundary[bytes.size()] = true;
  std::vector<vantry::WordSpan> words;
  Segmenter().Segment(bytes, words);
  uint32_t last_end = 0;
  for (const vantry::WordSpan& w : words) {
    Check(w.begin >= last_end && w.begin < w.end && w.end <= bytes.size(),
          "words in order, inside the text");
    Check(boundary[w.begin] && (w.end == bytes.size() || boundary[w.end]),
          "words on character boundaries");
    Check(!w.punctuation || w.stop_word, "punctuation is never a wording's edge");
    last_end = w.end;
  }

  // An edit of a rule made of the input: applied only when it reads back as itself.
  if (size > 0) {
    const auto kind = static_cast<vantry::RuleEdit::Kind>(data[0] % 4);
    const vantry::GbkView rule = bytes.substr(1);
    const vantry::GbkText wording(rule.substr(0, rule.size() % 7));
    const vantry::RuleEdit edit{.kind = kind,
                                .group = 1 + static_cast<int>(size % 3),
                                .alternative = 1,
                                .wording = wording};
    if (const auto edited = vantry::ApplyRuleEdit(rule, edit)) {
      Check(vantry::KeywordGroupTexts(*edited).size() +
                    (kind == vantry::RuleEdit::Kind::kDropGroup) ==
                vantry::KeywordGroupTexts(rule).size() +
                    (kind == vantry::RuleEdit::Kind::kAddGroup),
            "an edit changes the number of groups as it says");
    }
  }
  return 0;
}
