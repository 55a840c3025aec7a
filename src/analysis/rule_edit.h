// Edits of a question's keyword groups in the rules' own terms, applied to the rules'
// own text in place: what the rule assistant proposes and writes.
#ifndef VANTRY_ANALYSIS_RULE_EDIT_H_
#define VANTRY_ANALYSIS_RULE_EDIT_H_

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace vantry {

struct RuleEdit {
  enum class Kind {
    kAddWording,   // `wording` becomes the last alternative of group `group`
    kAddGroup,     // a new group of `wording` alone after the last group (its number
                   // is `group`)
    kDropWording,  // alternative `alternative` (`wording`) leaves group `group`
    kDropGroup,    // group `group` leaves the rule; the groups after it move up one
  };
  Kind kind = Kind::kAddWording;
  int group = 0;        // 1-based
  int alternative = 0;  // 1-based, among the group's non-empty alternatives
  GbkText wording;      // GBK; empty for kDropGroup

  bool operator==(const RuleEdit&) const = default;
};

// The keyword groups of a question's rule: the text of each "<关键词>" block, found as
// the scorer finds them (views into `rule`).
std::vector<GbkView> KeywordGroupTexts(GbkView rule);

// The text of a question's rule (between "<综合题>" and "</综合题>") with `edit`
// applied: an added wording goes at the end of its group ("叶绿体" → "叶绿体|叶绿素"),
// an added group after the last "</关键词>", a dropped wording leaves its group written
// as its remaining alternatives joined by "|", a dropped group leaves with its tags.
// Every byte outside the edited "<关键词>" block is kept. None when the result would not
// read back as exactly the edited groups (nested or unclosed blocks, a wording holding
// "|" or a tag, an index out of range): such a rule is not edited.
std::optional<GbkText> ApplyRuleEdit(GbkView rule, const RuleEdit& edit);

// The parameters file `bytes` with each question's edits (`edits[q - 1]`, in order)
// applied to its "<综合题>" block, every other byte copied, the bytes after a NUL
// included. None when an edited question's block overlaps another block or cannot be
// edited, or when the result, read as the program reads a parameters file, does not
// hold exactly the edited rules and the same maxima.
std::optional<GbkText> ApplyRuleEdits(GbkView bytes,
                                      std::span<const std::vector<RuleEdit>> edits);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_RULE_EDIT_H_
