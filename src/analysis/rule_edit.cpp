#include "analysis/rule_edit.h"

#include <algorithm>
#include <string>

#include "scoring/keyword_search.h"
#include "scoring/parameter_tags.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"
#include "text/find_text.h"
#include "text/gbk_codec.h"
#include "text/tagged_fields.h"
#include "text/text_slices.h"

namespace vantry {
namespace {

using Groups = std::vector<std::vector<GbkText>>;

// The alternatives of every group of `rule`, as the scorer reads them.
Groups ReadGroups(GbkView rule) {
  const std::vector<GbkView> bodies = KeywordGroupTexts(rule);
  Groups groups;
  std::vector<GbkView> pieces;
  for (GbkView body : bodies) {
    pieces.clear();
    AppendNonEmptyPieces(body, "|"_gbk, pieces);
    groups.emplace_back(pieces.begin(), pieces.end());
  }
  return groups;
}

size_t Offset(GbkView outer, GbkView inner) {
  return static_cast<size_t>(inner.data() - outer.data());
}

// Whether `later`, which starts at or after `earlier`, starts before `earlier` ends.
bool Overlap(GbkView earlier, GbkView later) {
  return later.data() < earlier.data() + earlier.size();
}

}  // namespace

std::vector<GbkView> KeywordGroupTexts(GbkView rule) {
  std::vector<GbkView> bodies;
  ExtractTaggedFieldViews(rule, GetParameterTags().group_start,
                          GetParameterTags().group_end, bodies);
  return bodies;
}

std::optional<GbkText> ApplyRuleEdit(GbkView rule, const RuleEdit& edit) {
  const ParameterTags& tags = GetParameterTags();
  const std::vector<GbkView> bodies = KeywordGroupTexts(rule);
  for (GbkView body : bodies) {
    if (FindText(body, tags.group_start) > 0) return std::nullopt;  // nested blocks
  }
  const auto count = static_cast<int>(bodies.size());
  Groups expected = ReadGroups(rule);
  const bool adds =
      edit.kind == RuleEdit::Kind::kAddWording || edit.kind == RuleEdit::Kind::kAddGroup;
  if (adds && edit.wording.empty()) return std::nullopt;
  const bool known_group = edit.group >= 1 && edit.group <= count;
  const auto g = static_cast<size_t>(edit.group - 1);

  GbkText out;
  switch (edit.kind) {
    case RuleEdit::Kind::kAddWording: {
      if (!known_group) return std::nullopt;
      const size_t at = Offset(rule, bodies[g]) + bodies[g].size();
      out = ConcatTexts(rule.substr(0, at), bodies[g].empty() ? ""_gbk : "|"_gbk,
                        edit.wording, rule.substr(at));
      expected[g].push_back(edit.wording);
      break;
    }
    case RuleEdit::Kind::kAddGroup: {
      if (edit.group != count + 1) return std::nullopt;
      const size_t at = bodies.empty() ? rule.size()
                                       : Offset(rule, bodies.back()) +
                                             bodies.back().size() + tags.group_end.size();
      out = ConcatTexts(rule.substr(0, at), tags.group_start, edit.wording,
                        tags.group_end, rule.substr(at));
      expected.push_back({edit.wording});
      break;
    }
    case RuleEdit::Kind::kDropWording: {
      if (!known_group || edit.alternative < 1 ||
          static_cast<size_t>(edit.alternative) > expected[g].size() ||
          // The wording as the scorer saw it: the file's ASCII commas made full-width.
          NormaliseParameters(expected[g][static_cast<size_t>(edit.alternative) - 1]) !=
              edit.wording) {
        return std::nullopt;
      }
      expected[g].erase(expected[g].begin() + (edit.alternative - 1));
      GbkText body;
      for (const GbkText& alternative : expected[g]) {
        if (!body.empty()) body += '|';
        body += alternative;
      }
      const size_t at = Offset(rule, bodies[g]);
      out = ConcatTexts(rule.substr(0, at), body, rule.substr(at + bodies[g].size()));
      break;
    }
    case RuleEdit::Kind::kDropGroup: {
      if (!known_group) return std::nullopt;
      const size_t from = Offset(rule, bodies[g]) - tags.group_start.size();
      const size_t to =
          Offset(rule, bodies[g]) + bodies[g].size() + tags.group_end.size();
      out = ConcatTexts(rule.substr(0, from), rule.substr(to));
      expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(g));
      break;
    }
  }
  if (ReadGroups(out) != expected) return std::nullopt;
  return out;
}

std::optional<GbkText> ApplyRuleEdits(GbkView bytes,
                                      std::span<const std::vector<RuleEdit>> edits) {
  const ParameterTags& tags = GetParameterTags();
  // The blocks as the loader finds them: in the text up to the first NUL.
  const GbkView text = bytes.substr(0, TextUpToNul(bytes.bytes()).size());
  std::vector<GbkView> rules;
  ExtractTaggedFieldViews(text, tags.rule_start, tags.rule_end, rules);
  if (edits.size() > rules.size()) return std::nullopt;

  std::vector<GbkText> expected(rules.begin(), rules.end());
  GbkText out;
  size_t copied = 0;
  for (size_t q = 0; q < edits.size(); ++q) {
    if (edits[q].empty()) continue;
    // A block that holds or overlaps another cannot change alone; nested blocks all
    // end at one end tag, so a block overlaps a neighbour when it overlaps any.
    if ((q > 0 && Overlap(rules[q - 1], rules[q])) ||
        (q + 1 < rules.size() && Overlap(rules[q], rules[q + 1]))) {
      return std::nullopt;
    }
    for (const RuleEdit& edit : edits[q]) {
      std::optional<GbkText> edited = ApplyRuleEdit(expected[q], edit);
      if (!edited) return std::nullopt;
      expected[q] = std::move(*edited);
    }
    const size_t at = Offset(bytes, rules[q]);
    out.append(bytes.substr(copied, at - copied)).append(expected[q]);
    copied = at + rules[q].size();
  }
  out.append(bytes.substr(copied));

  // Read back as the program reads the file: the edited rules, the others and the
  // maxima as they were.
  ProgramState before, after;
  before.SetParametersText(NormaliseParameters(bytes));
  after.SetParametersText(NormaliseParameters(out));
  if (after.rule_list().size() != rules.size() ||
      !std::ranges::equal(after.max_score_list(), before.max_score_list())) {
    return std::nullopt;
  }
  for (size_t q = 0; q < rules.size(); ++q) {
    if (after.rule_list()[q] != NormaliseParameters(expected[q])) return std::nullopt;
  }
  return out;
}

}  // namespace vantry
