#include "export/explanation.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "text/answer_content.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// One wording for a question not answered, wherever it stands in the paper: an empty
// or blank piece, a piece the answer lacks, an empty answer field.
constexpr std::string_view kNotAnswered = "未作答，记 0 分";
constexpr std::string_view kNoAnswerField = "答题文本里没有这名学生的答案，记 0 分";

void AppendNumber(int64_t value, std::string& out) {
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, static_cast<size_t>(end - digits));
}

// An amount of points: always with its ASCII sign, so the amounts can be told from
// other numbers and add up to the raw score.
void AppendAmount(int64_t value, std::string& out) {
  if (value >= 0) out += '+';
  AppendNumber(value, out);
}

// A score that is not an amount: a negative one takes the minus sign U+2212, never the
// ASCII "-" that marks amounts.
void AppendScore(int64_t value, std::string& out) {
  if (value < 0) out += "−";
  AppendNumber(value < 0 ? -value : value, out);
}

// "第3题 5分（满分8）：", or "（未设满分）" for a question without a maximum.
void AppendHead(int question, int32_t score, std::optional<int32_t> cap,
                std::string& out) {
  out += "第";
  AppendNumber(question, out);
  out += "题 ";
  AppendScore(score, out);
  out += "分";
  if (cap) {
    out += "（满分";
    AppendScore(*cap, out);
    out += "）：";
  } else {
    out += "（未设满分）：";
  }
}

// "得分点2、3、5": the groups of `numbers`.
void AppendGroupList(const std::vector<int>& numbers, std::string& out) {
  out += "得分点";
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) out += "、";
    AppendNumber(numbers[i], out);
  }
}

// Collects the parts of a sentence, separated by "；".
class Parts {
 public:
  explicit Parts(std::string& out) : out_(out) {}
  std::string& Next() {
    if (count_++ > 0) out_ += "；";
    return out_;
  }

 private:
  std::string& out_;
  int count_ = 0;
};

// 「text」: a wording from the rules, on one line.
void AppendQuoted(GbkView gbk, std::string& out) {
  out += "「";
  AppendOneLine(gbk, out);
  out += "」";
}

// The ordered groups that were found, with the entries each added to the chain.
struct ChainLink {
  const GroupRecord* group = nullptr;
  uint32_t first = 0;  // its first entry, counted from the question's chain start
};

// Why a chain of 2 to 4 positions that does not rise earned nothing: the first
// position not above the one before it, said with the wordings involved, e.g.
// 「遵义会议」出现 2 次，第 2 次在「四渡赤水」之后.
void AppendBrokenOrder(const PaperRecord& paper, const QuestionRecord& question,
                       const std::vector<ChainLink>& links, std::string& out) {
  const auto chain = paper.Chain(question);
  size_t at = 1;
  while (at < chain.size() && chain[at] > chain[at - 1]) ++at;
  // The group owning an entry: the last link that starts at or before it.
  const auto owner = [&](size_t entry) -> const ChainLink* {
    const ChainLink* found = nullptr;
    for (const ChainLink& link : links) {
      if (link.first <= entry) found = &link;
    }
    return found;
  };
  const ChainLink* later = at < chain.size() ? owner(at) : nullptr;
  const ChainLink* earlier = at < chain.size() ? owner(at - 1) : nullptr;
  if (later == nullptr || earlier == nullptr || later == earlier) {
    out += " 先后顺序不对，不加分";
    return;
  }
  const GroupRecord& a = *earlier->group;  // should come first
  const GroupRecord& b = *later->group;    // should come after it
  const bool same_place = chain[at] == chain[at - 1];
  out += " 先后顺序不对：";
  if (a.chain_size > 1 && chain[earlier->first] < chain[at]) {
    // It stood in order at first, then came again at or after the next wording.
    AppendQuoted(a.alternative_text, out);
    out += "出现 ";
    AppendNumber(a.chain_size, out);
    out += " 次，第 ";
    AppendNumber(a.chain_size, out);
    out += same_place ? " 次和" : " 次在";
    AppendQuoted(b.alternative_text, out);
    out += same_place ? "在同一处" : "之后";
  } else if (same_place) {
    AppendQuoted(a.alternative_text, out);
    out += "和";
    AppendQuoted(b.alternative_text, out);
    out += "出现在同一处";
  } else {
    AppendQuoted(b.alternative_text, out);
    out += "出现在";
    AppendQuoted(a.alternative_text, out);
    out += "之前";
  }
  out += "，不加分";
}

// What the order chain earned, or why it earned nothing.
void AppendChain(const PaperRecord& paper, const QuestionRecord& question,
                 const std::vector<ChainLink>& links, Parts& parts) {
  if (links.empty()) return;
  std::string& out = parts.Next();
  std::vector<int> numbers;
  for (const ChainLink& link : links) numbers.push_back(link.group->group);
  AppendGroupList(numbers, out);
  const uint32_t n = question.chain_size;
  if (question.earned_bonus()) {
    out += " 先后顺序正确 ";
    AppendAmount(question.bonus, out);
  } else if (n == 1) {
    out += " 只出现 1 处，按先后顺序计分至少要 2 处，不加分";
  } else if (n > 4) {
    out += " 共出现 ";
    AppendNumber(n, out);
    out += " 处（";
    for (size_t i = 0; i < links.size(); ++i) {
      if (i > 0) out += "、";
      AppendQuoted(links[i].group->alternative_text, out);
      AppendNumber(links[i].group->chain_size, out);
      out += " 处";
    }
    out += "），按先后顺序计分最多 4 处，不加分";
  } else {
    AppendBrokenOrder(paper, question, links, out);
  }
}

// "未命中得分点1「光合作用」、5「氧气」": each missed group with its first wording.
void AppendMissed(const std::vector<const GroupRecord*>& missed, std::string& out) {
  out += "未命中得分点";
  for (size_t i = 0; i < missed.size(); ++i) {
    if (i > 0) out += "、";
    AppendNumber(missed[i]->group, out);
    if (missed[i]->first_alternative.empty()) {
      out += "（没有关键词）";
    } else {
      AppendQuoted(missed[i]->first_alternative, out);
    }
  }
}

}  // namespace

void AppendOneLine(GbkView gbk, std::string& out) {
  const std::string utf8 = GbkToUtf8(gbk);
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
      out += c;
    } else if (c == '\r' || c == '\n') {
      out += "↵";
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else if (c == '\t') {
      out += "⇥";
    } else {
      out += "\uFFFD";
    }
  }
}

void AppendQuestionExplanation(const PaperRecord& paper, const QuestionRecord& question,
                               std::string& out) {
  AppendHead(question.question, question.shown_score, question.cap, out);
  if (!question.has_rule) {
    out += "参数设置里没有这道题的评分规则，记 0 分";
    return;
  }
  const auto groups = paper.Groups(question);
  if (groups.empty()) {
    out += "这道题的评分规则里没有关键词，记 0 分";
    return;
  }
  const bool any_hit = std::any_of(groups.begin(), groups.end(),
                                   [](const GroupRecord& g) { return g.matched(); });
  if (!any_hit && !HasContent(question.answer)) {
    out += kNotAnswered;
    return;
  }
  Parts parts(out);
  std::vector<ChainLink> links;
  std::vector<const GroupRecord*> missed;
  bool zero_points = false, negative_points = false;
  const auto note_points = [&](std::optional<int32_t> read) {
    if (read && *read == 0) zero_points = true;
    if (read && *read < 0) negative_points = true;
  };
  for (const GroupRecord& group : groups) {
    if (!group.matched()) {
      missed.push_back(&group);
      continue;
    }
    switch (group.mode) {
      case GroupMode::kUnordered: {
        std::string& part = parts.Next();
        part += "得分点";
        AppendNumber(group.group, part);
        AppendQuoted(group.alternative_text, part);
        AppendAmount(group.points, part);
        note_points(group.points_read);
        break;
      }
      case GroupMode::kOrdered:
        links.push_back(
            {.group = &group, .first = group.chain_begin - question.chain_begin});
        break;
    }
  }
  AppendChain(paper, question, links, parts);
  note_points(question.bonus_points_read);
  if (missed.size() == groups.size()) {
    parts.Next() += "没有命中任何得分点";
  } else if (!missed.empty()) {
    AppendMissed(missed, parts.Next());
  }
  if (zero_points) parts.Next() += "分值框为 0，命中不加分";
  if (negative_points) parts.Next() += "分值框为负数，命中反而扣分";
  if (question.shown_score < question.raw_score) {
    std::string& part = parts.Next();
    part += "原始 ";
    AppendScore(question.raw_score, part);
    part += " 分，封顶 ";
    AppendScore(question.shown_score, part);
    part += " 分";
  }
}

std::string ExplainQuestion(const PaperRecord& paper, const QuestionRecord& question) {
  std::string out;
  AppendQuestionExplanation(paper, question, out);
  return out;
}

void AppendAbsentQuestionExplanation(const PaperRecord& paper, int question,
                                     std::optional<int32_t> cap, std::string& out) {
  AppendHead(question, 0, cap, out);
  out += paper.has_answer ? kNotAnswered : kNoAnswerField;
}

std::string ExplainPaperWithoutQuestions(const PaperRecord& paper) {
  return std::string(paper.has_answer ? kNotAnswered : kNoAnswerField);
}

void ExplainPaper(const PaperRecord& paper, const GradedClass& graded,
                  std::vector<std::string>& rows, int max_questions) {
  const int question_count = std::min(graded.question_count(), max_questions);
  rows.resize(static_cast<size_t>(std::max(question_count, 1)));
  for (std::string& row : rows) row.clear();
  if (question_count == 0) {
    rows[0] = ExplainPaperWithoutQuestions(paper);
    return;
  }
  for (int q = 1; q <= question_count; ++q) {
    std::string& row = rows[static_cast<size_t>(q) - 1];
    if (static_cast<size_t>(q) <= paper.questions.size()) {
      AppendQuestionExplanation(paper, paper.questions[static_cast<size_t>(q) - 1], row);
    } else {
      AppendAbsentQuestionExplanation(paper, q, graded.Cap(q), row);
    }
  }
}

}  // namespace vantry
