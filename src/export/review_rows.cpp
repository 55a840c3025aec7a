#include "export/review_rows.h"

#include "export/answer_marks.h"
#include "export/explanation.h"
#include "export/figure_text.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// Characters of a name shown in a list, and of an answer quoted in an entry.
constexpr size_t kNameCharacters = 100;
constexpr size_t kQuotedCharacters = 40;
// Names listed in the summary's line of changed totals.
constexpr size_t kListedChanges = 10;

std::string NameOf(const GradedClass& graded, size_t paper) {
  return ShownName(graded.papers()[paper].name, kNameCharacters);
}

ReviewSection Section(std::string title, std::string explanation, int64_t count) {
  return {.title = std::move(title),
          .explanation = std::move(explanation),
          .rows = {},
          .count = count};
}

void AddChanges(const GradedClass& graded, const TotalChanges& changes, size_t max_rows,
                std::vector<ReviewSection>& sections) {
  if (changes.changed.empty()) return;
  ReviewSection section =
      Section("总分有变化",
              "与今天早先写出的阅卷结果相比（同一天再次阅卷时），这些学生的总分变了。",
              static_cast<int64_t>(changes.changed.size()));
  for (size_t i = 0; i < changes.changed.size() && i < max_rows; ++i) {
    const TotalChanges::Change& c = changes.changed[i];
    section.rows.push_back(
        {.paper = c.paper,
         .name = NameOf(graded, c.paper),
         .question = 0,
         .detail = "总分 " + std::to_string(c.before) + " → " + std::to_string(c.after),
         .others = {}});
  }
  sections.push_back(std::move(section));
}

void AddZeroScores(const GradedClass& graded, const ReviewList& review, size_t max_rows,
                   std::vector<ReviewSection>& sections) {
  const auto& list = review.zero_with_content;
  if (list.count == 0) return;
  ReviewSection section =
      Section("有内容却得 0 分",
              "答案写了东西，却一个得分点也没有命中：可能是换了说法，关键词需要补充。",
              list.count);
  PaperRecord record;
  for (size_t i = 0; i < list.entries.size() && i < max_rows; ++i) {
    const ReviewList::Answer& a = list.entries[i];
    graded.Record(a.paper, record);
    std::string detail = QuestionLabel(a.question) + "：";
    if (static_cast<size_t>(a.question) <= record.questions.size()) {
      detail +=
          "「" +
          AnswerExcerpt(record, record.questions[static_cast<size_t>(a.question) - 1],
                        kQuotedCharacters) +
          "」";
    }
    section.rows.push_back({.paper = a.paper,
                            .name = NameOf(graded, a.paper),
                            .question = a.question,
                            .detail = std::move(detail),
                            .others = {}});
  }
  sections.push_back(std::move(section));
}

void AddIdentical(const GradedClass& graded, const ReviewList& review, size_t max_rows,
                  std::vector<ReviewSection>& sections) {
  const auto& list = review.identical;
  if (list.count == 0) return;
  ReviewSection section = Section(
      "与其他试卷完全相同",
      "这些试卷的每道题答案都一模一样（不计空格和换行）：请看是否抄袭或重复录入。",
      list.count);
  for (size_t i = 0; i < list.entries.size() && i < max_rows; ++i) {
    const std::vector<size_t>& group = list.entries[i];
    std::string detail = "与 ";
    for (size_t k = 1; k < group.size() && k <= 10; ++k) {
      if (k > 1) detail += "、";
      detail += NameOf(graded, group[k]);
    }
    if (group.size() > 11) detail += " 等 " + std::to_string(group.size() - 1) + " 份";
    detail += " 的答案完全相同";
    section.rows.push_back(
        {.paper = group[0],
         .name = NameOf(graded, group[0]),
         .question = 0,
         .detail = std::move(detail),
         .others = std::vector<size_t>(group.begin() + 1, group.end())});
  }
  sections.push_back(std::move(section));
}

void AddPapers(const GradedClass& graded, const ReviewEntries<size_t>& list,
               std::string title, std::string explanation, const std::string& detail,
               size_t max_rows, std::vector<ReviewSection>& sections) {
  if (list.count == 0) return;
  ReviewSection section = Section(std::move(title), std::move(explanation), list.count);
  for (size_t i = 0; i < list.entries.size() && i < max_rows; ++i) {
    const size_t p = list.entries[i];
    std::string shown = detail;
    if (shown.empty()) {
      shown = "只答了 " + std::to_string(graded.papers()[p].answered_count) + " 道题";
    }
    section.rows.push_back({.paper = p,
                            .name = NameOf(graded, p),
                            .question = 0,
                            .detail = std::move(shown),
                            .others = {}});
  }
  sections.push_back(std::move(section));
}

void AddCheck(const GradedClass& graded, const ReviewList& review,
              const TeacherCheck& check, size_t max_rows,
              std::vector<ReviewSection>& sections) {
  const auto& names = review.unknown_names;
  if (names.count > 0) {
    ReviewSection section =
        Section("评分表里的姓名找不到试卷",
                check.sheet_name +
                    " 里的这些姓名在答题文本里没有：可能写错了字，这些行没有比对。",
                names.count);
    for (size_t i = 0; i < names.entries.size() && i < max_rows; ++i) {
      const ReviewList::UnknownName& n = names.entries[i];
      ReviewRow row{.paper = std::nullopt,
                    .name = ShownName(n.name, kNameCharacters),
                    .question = 0,
                    .detail = "答题文本里没有这个姓名",
                    .others = {}};
      if (n.nearest_paper) {
        row.detail += "；是不是“" + NameOf(graded, *n.nearest_paper) + "”？";
        row.others.push_back(*n.nearest_paper);
      }
      section.rows.push_back(std::move(row));
    }
    sections.push_back(std::move(section));
  }
  const std::vector<Disagreement> largest = TeacherCheckDisagreements(check, graded);
  if (!largest.empty()) {
    ReviewSection section =
        Section("与教师评分相差最大",
                "规则给分与您的评分逐题相差最多的试卷：看看规则漏掉或多给了什么。",
                static_cast<int64_t>(largest.size()));
    for (size_t i = 0; i < largest.size() && i < max_rows; ++i) {
      const Disagreement& d = largest[i];
      section.rows.push_back({.paper = check.comparison.largest[i].paper,
                              .name = d.name,
                              .question = 0,
                              .detail = "规则 " + HalfPointsText(d.rules_sum) +
                                        " 分，教师 " + HalfPointsText(d.teacher_sum) +
                                        " 分，逐题相差共 " +
                                        HalfPointsText(d.disagreement) + " 分",
                              .others = {}});
    }
    sections.push_back(std::move(section));
  }
}

}  // namespace

std::string ShownName(GbkView gbk, size_t max_characters) {
  const size_t cut = PrefixOfCharacters(gbk, max_characters);
  std::string out;
  AppendOneLine(gbk.substr(0, cut), out);
  if (cut < gbk.size()) out += "…";
  return out;
}

std::vector<ReviewSection> ReviewSections(const GradedClass& graded,
                                          const ReviewList& review,
                                          const TeacherCheck* check,
                                          const TotalChanges* changes, size_t max_rows) {
  std::vector<ReviewSection> sections;
  if (changes != nullptr) AddChanges(graded, *changes, max_rows, sections);
  AddZeroScores(graded, review, max_rows, sections);
  AddIdentical(graded, review, max_rows, sections);
  AddPapers(graded, review.blank, "空白试卷",
            "没有一道题写了内容：请看是否缺考，或答题文本漏录。", "没有作答任何题目",
            max_rows, sections);
  AddPapers(graded, review.fewer_answers, "作答题数少于全班",
            "全班多数试卷答了 " + std::to_string(review.usual_answers) +
                " 道题，这些试卷答得少：可能漏答，也可能答题文本里少了分隔的 Tab。",
            "", max_rows, sections);
  if (check != nullptr && check->ok())
    AddCheck(graded, review, *check, max_rows, sections);
  return sections;
}

GbkText TotalChangesLine(const GradedClass& graded, const TotalChanges& changes) {
  if (changes.papers_matched == 0) return {};
  if (changes.changed.empty()) return Utf8ToGbk("与今天早先的结果相比，总分都没有变化。");
  std::string line = "与今天早先的结果相比，" + std::to_string(changes.changed.size()) +
                     " 名学生的总分变了：";
  for (size_t i = 0; i < changes.changed.size() && i < kListedChanges; ++i) {
    const TotalChanges::Change& c = changes.changed[i];
    if (i > 0) line += "、";
    line += NameOf(graded, c.paper) + " " + std::to_string(c.before) + " → " +
            std::to_string(c.after);
  }
  if (changes.changed.size() > kListedChanges) line += " 等（见“需要复核”）";
  return Utf8ToGbk(line);
}

}  // namespace vantry
