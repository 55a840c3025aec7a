#include "export/analysis_page.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "export/answer_marks.h"
#include "export/explanation.h"
#include "export/figure_text.h"
#include "export/html_text.h"
#include "export/kept_outputs.h"
#include "export/page_assets.h"
#include "export/proposals_page.h"
#include "export/review_rows.h"
#include "export/svg_chart.h"
#include "platform/file_io.h"
#include "text/gbk_codec.h"
#include "text/numbers.h"

namespace vantry {
namespace {

// Digits of a whole number (ASCII, the same in GBK and UTF-8).
void AppendInt(int64_t value, std::string& out) { out += IntegerText(value); }

// One tile of the class summary.
void AppendTile(std::string_view title, std::string_view value, std::string_view small,
                std::string& out) {
  out += "<div><dt>";
  AppendHtml(title, out);
  out += "</dt><dd>";
  AppendHtml(value, out);
  if (!small.empty()) {
    out += " <small>";
    AppendHtml(small, out);
    out += "</small>";
  }
  out += "</dd></div>";
}

std::string LevelText(const std::optional<LevelCount>& level) {
  return level ? PercentText(level->rate) : std::string(kNoFigure);
}
std::string LevelCountText(const std::optional<LevelCount>& level) {
  return level ? IntegerText(level->count) + " 人" : "";
}

// Why the full marks, and with them the levels and the bands, are unknown.
std::string FullMarksProblem(const ScoreDistribution& d) {
  switch (d.status) {
    case FullMarksStatus::kKnown:
      return "";
    case FullMarksStatus::kNoQuestions:
      return "没有一份试卷有题目，算不出满分：优秀率、及格率、低分率和成绩分布从缺。";
    case FullMarksStatus::kQuestionWithoutCap:
      return QuestionLabel(d.question_without_cap) +
             "在参数设置里没有满分（<分值>），算不出全卷满分：优秀率、及格率、低分率和"
             "成绩分布从缺。";
    case FullMarksStatus::kNotPositive:
      return "各题满分加起来不大于 0：优秀率、及格率、低分率和成绩分布从缺。";
  }
  return "";
}

void AppendSummary(const ClassStatistics& s, std::string& out) {
  out += "<section id=\"summary\"><h2>全班概况</h2><dl class=\"summary\">";
  AppendTile("试卷", IntegerText(s.paper_count), "份", out);
  AppendTile("平均分", FixedText(s.totals.mean, 1), "", out);
  AppendTile("最高分",
             s.totals.highest ? IntegerText(*s.totals.highest) : std::string(kNoFigure),
             "", out);
  AppendTile("最低分",
             s.totals.lowest ? IntegerText(*s.totals.lowest) : std::string(kNoFigure), "",
             out);
  AppendTile("标准差", FixedText(s.totals.standard_deviation, 2), "", out);
  const ScoreDistribution& d = s.distribution;
  AppendTile("优秀率", LevelText(d.excellent), LevelCountText(d.excellent), out);
  AppendTile("及格率", LevelText(d.pass), LevelCountText(d.pass), out);
  AppendTile("低分率", LevelText(d.low), LevelCountText(d.low), out);
  out += "</dl><p class=\"note\">";
  if (d.full_marks) {
    out += "满分 ";
    AppendInt(*d.full_marks, out);
    out += " 分。";
  }
  out += "优秀：总分达到满分的 ";
  AppendInt(kExcellentPercent, out);
  out += "%；及格：达到 ";
  AppendInt(kPassPercent, out);
  out += "%；低分：低于 ";
  AppendInt(kLowPercent, out);
  out += "%。标准差按全班计算（除以份数）。</p>";
  const std::string problem = FullMarksProblem(d);
  if (!problem.empty()) {
    out += "<p class=\"warn\">";
    AppendHtml(problem, out);
    out += "</p>";
  }
  out += "</section>";
}

void AppendCharts(const ClassStatistics& s, int questions, std::string& out) {
  out += "<section id=\"charts\"><h2>成绩分布与各题得分率</h2>";
  const ScoreDistribution& d = s.distribution;
  out += "<figure><figcaption>总分分布（每段为满分的 10%）</figcaption>";
  if (d.bands.empty()) {
    out += "<p class=\"warn\">";
    AppendHtml(FullMarksProblem(d), out);
    out += "</p>";
  } else {
    BarChart chart;
    chart.title = "总分分布：各分数段的人数";
    chart.value_axis = "人数";
    chart.category_axis =
        "总分占满分的比例（满分 " + IntegerText(d.full_marks.value_or(0)) + " 分）";
    for (const ScoreBand& band : d.bands) {
      const bool last = &band == &d.bands.back();
      // The lowest band holds the negative totals too: no lower bound is claimed.
      const std::string from =
          band.below_zero ? "<" : IntegerText(band.lower_percent) + "–";
      const std::string range =
          band.below_zero
              ? "总分不足 " + FixedText(band.upper, 1) + " 分（含负分）"
              : "总分 " + FixedText(band.lower, 1) + (last ? "–" : " 至不足 ") +
                    FixedText(band.upper, 1) + " 分";
      chart.bars.push_back({.label = from + IntegerText(band.upper_percent) + "%",
                            .value = static_cast<double>(band.count),
                            .value_label = IntegerText(band.count),
                            .tooltip = range + "：" + IntegerText(band.count) + " 人（" +
                                       PercentText(band.rate) + "）"});
    }
    AppendBarChart(chart, out);
  }
  out += "</figure>";

  out += "<figure><figcaption>各题得分率（平均分 ÷ 满分）</figcaption>";
  if (s.questions.empty()) {
    out += "<p class=\"note\">没有题目。</p>";
  } else {
    BarChart chart;
    chart.title = "各题得分率";
    chart.value_axis = "得分率";
    chart.category_axis = "题目";
    chart.axis_max = 100;
    chart.tick_suffix = "%";
    const bool short_labels = questions > 12;
    for (const QuestionStatistics& q : s.questions) {
      if (q.question > questions) break;
      chart.bars.push_back(
          {.label = short_labels ? IntegerText(q.question) : QuestionLabel(q.question),
           .value = q.score_rate.value_or(0) * 100,
           .value_label = PercentText(q.score_rate, 0),
           .tooltip = QuestionLabel(q.question) + " 得分率 " + PercentText(q.score_rate) +
                      "，平均 " + FixedText(q.scores.mean, 2) + " 分"});
    }
    AppendBarChart(chart, out);
  }
  out += "</figure></section>";
}

void AppendQuestion(const QuestionStatistics& q, int64_t paper_count, std::string& out) {
  out += "<div class=\"question\"><h3>";
  AppendHtml(QuestionLabel(q.question), out);
  if (q.cap) {
    out += "（满分 ";
    AppendInt(*q.cap, out);
    out += " 分）";
  } else {
    out += "（未设满分）";
  }
  out += "</h3><p>平均 ";
  AppendHtml(FixedText(q.scores.mean, 2), out);
  out += " 分 · 得分率 ";
  AppendHtml(PercentText(q.score_rate), out);
  out += " · 最高 ";
  AppendHtml(q.scores.highest ? IntegerText(*q.scores.highest) : std::string(kNoFigure),
             out);
  out += " · 最低 ";
  AppendHtml(q.scores.lowest ? IntegerText(*q.scores.lowest) : std::string(kNoFigure),
             out);
  out += " · 满分 ";
  AppendHtml(q.full_count ? IntegerText(*q.full_count) + " 人" : std::string(kNoFigure),
             out);
  out += " · 零分 ";
  AppendInt(q.zero_count, out);
  out += " 人 · 作答 ";
  AppendInt(q.papers_answered, out);
  out += " / ";
  AppendInt(paper_count, out);
  out += " 份</p><p><strong>区分度 ";
  AppendHtml(FixedText(q.discrimination, 2), out);
  out += "</strong>：";
  AppendHtml(DiscriminationReading(q.discrimination), out);
  out += "</p>";
  if (!q.has_rule) {
    out += "<p class=\"warn\">参数设置里没有这道题的评分规则，每份都记 0 分。</p></div>";
    return;
  }
  if (q.groups.empty()) {
    out += "<p class=\"warn\">这道题的评分规则里没有关键词。</p></div>";
    return;
  }

  // The most-missed scoring points first; equal shares in the rule's order.
  std::vector<const GroupStatistics*> groups;
  for (const GroupStatistics& g : q.groups) groups.push_back(&g);
  std::stable_sort(groups.begin(), groups.end(), [](const auto* a, const auto* b) {
    return a->papers_hit < b->papers_hit;
  });
  const bool any_ordered =
      std::any_of(q.groups.begin(), q.groups.end(),
                  [](const auto& g) { return g.papers_ordered > 0; });
  out += "<p class=\"note\">得分点按命中率从低到高排列：最前面的是全班最常漏掉的。";
  if (any_ordered) {
    out += "按先后顺序计分的得分点，“顺序正确”是按顺序计分的试卷里拿到顺序分的比例。";
  }
  out +=
      "</p><div class=\"scroll\"><table><thead><tr><th "
      "class=\"n\">得分点</th><th>关键词（|分隔可互换的写法）</th>"
      "<th>命中率</th><th>最常见的写法</th>";
  if (any_ordered) out += "<th>顺序正确</th>";
  out += "</tr></thead><tbody>";
  for (const GroupStatistics* g : groups) {
    const double rate = g->hit_rate.value_or(0);
    out += rate < 0.5 ? "<tr class=\"missed\">" : "<tr>";
    out += "<td class=\"n\">";
    AppendInt(g->group, out);
    out += "</td><td class=\"kw\">";
    AppendGbkHtml(g->text, out);
    out += "</td><td class=\"hit\"><span class=\"meter\"><i style=\"width:";
    AppendHtml(FixedText(std::clamp(rate, 0.0, 1.0) * 100, 1), out);
    out += "%\"></i></span>";
    AppendHtml(PercentText(g->hit_rate), out);
    out += "（";
    AppendInt(g->papers_hit, out);
    out += " 人）</td><td class=\"kw\">";
    if (g->top_alternative > 0) AppendGbkHtml(g->top_alternative_text, out);
    out += "</td>";
    if (any_ordered) {
      out += "<td class=\"n\">";
      if (g->papers_ordered > 0) AppendHtml(PercentText(g->bonus_rate), out);
      out += "</td>";
    }
    out += "</tr>";
  }
  out += "</tbody></table></div></div>";
}

// Questions past `questions` are only counted; the workbook has them all.
void AppendQuestions(const ClassStatistics& s, int questions, std::string& out) {
  out += "<section id=\"questions\"><h2>逐题分析</h2>";
  if (s.questions.empty()) out += "<p class=\"note\">没有题目。</p>";
  for (const QuestionStatistics& q : s.questions) {
    if (q.question > questions) break;
    AppendQuestion(q, s.paper_count, out);
  }
  if (static_cast<int>(s.questions.size()) > questions) {
    out += "<p class=\"warn\">共 ";
    AppendInt(static_cast<int64_t>(s.questions.size()), out);
    out += " 道题，本页只列出前 ";
    AppendInt(questions, out);
    out += " 道；其余各题的分析见成绩表的“小题分析”和“得分点”。</p>";
  }
  out += "</section>";
}

void AppendCheck(const TeacherCheck& check, const GradedClass& graded, std::string& out) {
  out += "<section id=\"check\"><h2>与教师评分核对</h2>";
  if (!check.ok()) {
    out += "<p class=\"warn\">";
    AppendGbkHtml(TeacherCheckProblemLine(check), out);
    out += "</p></section>";
    return;
  }
  out += "<p class=\"verdict\">";
  AppendHtml(TeacherCheckVerdict(check), out);
  out += "</p><p>对照 ";
  AppendHtml(check.sheet_name, out);
  out += "：比对 ";
  AppendInt(check.comparison.papers_compared, out);
  out += " 份试卷。</p><div class=\"scroll\"><table><thead><tr>";
  const auto table = TeacherCheckTable(check);
  for (size_t c = 0; c < table[0].size(); ++c) {
    out += c == 0 ? "<th>" : "<th class=\"n\">";
    AppendHtml(table[0][c], out);
    out += "</th>";
  }
  out += "</tr></thead><tbody>";
  for (size_t r = 1; r < table.size(); ++r) {
    out += "<tr>";
    for (size_t c = 0; c < table[r].size(); ++c) {
      out += c == 0 ? "<td>" : "<td class=\"n\">";
      AppendHtml(table[r][c], out);
      out += "</td>";
    }
    out += "</tr>";
  }
  out += "</tbody></table></div>";
  for (const std::string& note : TeacherCheckNotes(check)) {
    out += "<p class=\"note\">";
    AppendHtml(note, out);
    out += "</p>";
  }

  const std::vector<Disagreement> largest = TeacherCheckDisagreements(check, graded);
  if (!largest.empty()) {
    out += "<h3>分歧最大的试卷</h3><ol class=\"disagree\">";
    for (const Disagreement& d : largest) {
      out += "<li><strong>";
      AppendHtml(d.name, out);
      out += "</strong>：逐题相差共 ";
      out += HalfPointsText(d.disagreement);
      out += " 分（规则 ";
      out += HalfPointsText(d.rules_sum);
      out += " 分，教师 ";
      out += HalfPointsText(d.teacher_sum);
      out += " 分）<ul>";
      for (const Disagreement::Question& q : d.questions) {
        out += "<li>教师 <strong>";
        out += HalfPointsText(q.teacher);
        out += " 分</strong> | 规则 ";
        AppendHtml(q.explanation, out);
        if (!q.answer.empty()) {
          out += "<br><span class=\"quote\">答案：";
          AppendHtml(q.answer, out);
          out += "</span>";
        }
        out += "</li>";
      }
      out += "</ul></li>";
    }
    out += "</ol>";
  } else if (check.comparison.papers_compared > 0) {
    out += "<p>比对的试卷里，规则给分与教师评分逐题一致。</p>";
  }
  const auto names = TeacherCheckNameLines(check, graded);
  if (!names.empty()) {
    out += "<h3>姓名核对</h3><ul>";
    for (const auto& [what, list] : names) {
      out += "<li>";
      AppendHtml(what, out);
      out += "：";
      AppendHtml(list, out);
      out += "</li>";
    }
    out += "</ul>";
  }
  out += "</section>";
}

// The entries of 需要复核 on the page; the workbook lists all of them.
constexpr size_t kReviewRowsOnPage = 30;

// A paper's name: a link to its row when the students' table lists it.
void AppendPaperName(const GradedClass& graded, size_t paper, bool linked,
                     size_t name_characters, std::string& out) {
  if (linked) {
    out += "<a class=\"paper\" href=\"#p";
    AppendInt(static_cast<int64_t>(paper), out);
    out += "\">";
  }
  AppendHtml(ShownName(graded.papers()[paper].name, name_characters), out);
  if (linked) out += "</a>";
}

void AppendReview(const GradedClass& graded, const AnalysisPageContent& c, bool linked,
                  std::string& out) {
  out += "<section id=\"review\"><h2>需要复核</h2>";
  const std::vector<ReviewSection> sections =
      ReviewSections(graded, *c.review, c.check, c.changes, kReviewRowsOnPage);
  if (sections.empty()) {
    out += "<p>没有发现需要特别复核的试卷。</p></section>";
    return;
  }
  out += "<p class=\"note\">关键词阅卷最容易出错的地方：先看这些试卷。";
  if (linked) out += "点击姓名跳到这名学生的成绩和答案。";
  out += "</p>";
  for (const ReviewSection& section : sections) {
    out += "<h3>";
    AppendHtml(section.title, out);
    out += "（";
    AppendInt(section.count, out);
    out += "）</h3><p class=\"note\">";
    AppendHtml(section.explanation, out);
    out += "</p><ul class=\"review\">";
    for (size_t r = 0; r < section.rows.size(); ++r) {
      const ReviewRow& row = section.rows[r];
      out += "<li>";
      if (row.paper) {
        AppendPaperName(graded, *row.paper, linked, c.limits.name_characters, out);
      } else {
        out += "<strong>";
        AppendHtml(row.name, out);
        out += "</strong>";
      }
      out += "：";
      AppendHtml(row.detail, out);
      // Entries about one paper's questions, one after another, share its line.
      while (row.paper && row.question > 0 && r + 1 < section.rows.size() &&
             section.rows[r + 1].paper == row.paper && section.rows[r + 1].question > 0) {
        out += "；";
        AppendHtml(section.rows[++r].detail, out);
      }
      if (linked && !row.others.empty()) {
        out += " <span class=\"note\">（";
        for (size_t i = 0; i < row.others.size() && i < 10; ++i) {
          if (i > 0) out += "、";
          AppendPaperName(graded, row.others[i], true, c.limits.name_characters, out);
        }
        out += "）</span>";
      }
      out += "</li>";
    }
    out += "</ul>";
    if (section.count > static_cast<int64_t>(section.rows.size())) {
      out += "<p class=\"note\">还有 ";
      AppendInt(section.count - static_cast<int64_t>(section.rows.size()), out);
      out += " 条";
      if (!c.workbook_name.empty()) {
        out += "，全部列在成绩表“";
        AppendHtml(c.workbook_name, out);
        out += "”的“需要复核”里";
      }
      out += "。</p>";
    }
  }
  out += "</section>";
}

// One question's answer as page data: [note, plain, marked, plain, …], the wordings
// that scored as the marked parts, cut to `budget` bytes (GBK) with the cut said in
// the note.
void AppendAnswerData(const PaperRecord& record, const QuestionRecord& question,
                      size_t& budget, const std::string& whole_answer_at,
                      std::string& out) {
  const GbkView answer = question.answer;
  const size_t shown =
      PrefixOfCharacters(answer, answer.size() <= budget ? answer.size() : budget / 2);
  budget -= std::min(budget, shown);
  std::string note;
  if (shown < answer.size()) {
    note = "…（答案共 " + IntegerText(static_cast<int64_t>(CharacterCount(answer))) +
           " 字，";
    if (shown > 0) {
      note += "这里只列出前 " +
              IntegerText(static_cast<int64_t>(CharacterCount(answer.substr(0, shown)))) +
              " 字；";
    }
    note += "全文见" + whole_answer_at + "）";
  }
  out += '[';
  AppendScriptJsonString(note, out);
  size_t at = 0;
  for (const ByteRange& range : MatchedRanges(record, question, shown)) {
    const size_t end = std::min(range.second, shown);
    if (range.first < at || range.first >= end) continue;
    out += ',';
    AppendScriptJsonString(AnswerText(answer.substr(at, range.first - at)), out);
    out += ',';
    AppendScriptJsonString(AnswerText(answer.substr(range.first, end - range.first)),
                           out);
    at = end;
  }
  out += ',';
  AppendScriptJsonString(AnswerText(answer.substr(at, shown - at)), out);
  out += ']';
}

// Texts kept once each, per question, in the order first seen.
class DistinctTexts {
 public:
  // The index of `text` among question `q`'s texts, adding it when new (and its
  // bytes to `bytes`).
  uint32_t Index(size_t q, std::string_view text, size_t& bytes) {
    if (texts_.size() <= q) {
      texts_.resize(q + 1);
      index_of_.resize(q + 1);
    }
    const auto [it, added] = index_of_[q].try_emplace(
        std::string(text), static_cast<uint32_t>(texts_[q].size()));
    if (added) {
      texts_[q].push_back(&it->first);
      bytes += text.size() + 3;
    }
    return it->second;
  }
  // [[question 1's texts], [question 2's], …] as JSON safe inside a script element.
  void AppendJson(std::string& out) const {
    out += '[';
    for (size_t q = 0; q < texts_.size(); ++q) {
      if (q > 0) out += ',';
      out += '[';
      for (size_t k = 0; k < texts_[q].size(); ++k) {
        if (k > 0) out += ',';
        AppendScriptJsonString(*texts_[q][k], out);
      }
      out += ']';
    }
    out += ']';
  }

 private:
  std::vector<std::vector<const std::string*>> texts_;
  std::vector<std::unordered_map<std::string, uint32_t>> index_of_;
};

// The students' table, ranked, with the distinct explanations and the answers its rows
// refer to; empty when it would pass the limits (the page then summarises).
struct StudentsTable {
  std::string html;
  bool listed = false;
  bool answers = false;
};

StudentsTable BuildStudentsTable(const GradedClass& graded, const ClassStatistics& s,
                                 const AnalysisPageContent& c) {
  const PageLimits& limits = c.limits;
  StudentsTable table;
  const auto papers = graded.papers();
  if (papers.size() > limits.listed_papers) return table;
  const int columns = std::min(graded.question_count(), limits.questions);
  uint64_t answer_bytes = 0;
  for (const GradedClass::Paper& paper : papers)
    answer_bytes += std::min<uint64_t>(paper.answer_bytes, limits.answer_bytes_per_paper);
  table.answers = answer_bytes <= limits.answer_bytes;
  const std::string whole_answer_at = c.workbook_name.empty()
                                          ? "学生答题文本.txt"
                                          : "成绩表“" + c.workbook_name + "”的“评分依据”";

  std::string& out = table.html;
  out +=
      "<div class=\"scroll\"><table id=\"student-table\"><thead><tr><th class=\"n\" "
      "data-type=\"number\">名次</th>"
      "<th data-type=\"text\">姓名</th>";
  for (int q = 1; q <= columns; ++q) {
    out += "<th class=\"n\" data-type=\"number\" data-first=\"descending\">";
    AppendHtml(QuestionLabel(q), out);
    out += "</th>";
  }
  out +=
      "<th class=\"n\" data-type=\"number\" data-first=\"descending\">总分</th>"
      "</tr></thead><tbody>";

  // Ranked, ties in sheet order. The body's cells carry no class (the style sheet
  // aligns the table's numbers): a class of 20,000 rows saves megabytes.
  std::vector<size_t> order(papers.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return s.ranks[a] < s.ranks[b]; });

  // Each explanation is kept as its head (第3题 6分（满分10）：, a few per question)
  // and its body, each distinct text of a question once; the answers by paper.
  DistinctTexts heads, bodies;
  size_t text_bytes = 0;
  std::vector<std::string> answers(table.answers ? papers.size() : 0);
  PaperRecord record;
  std::vector<std::string> rows;
  for (size_t i : order) {
    const GradedClass::Paper& paper = papers[i];
    graded.Record(i, record);
    ExplainPaper(record, graded, rows, columns);
    out += "<tr id=\"p";
    AppendInt(static_cast<int64_t>(i), out);
    out += "\" data-e=\"";
    for (size_t q = 0; q < rows.size(); ++q) {
      // The head ends at the first "："; a row without one is all body.
      const std::string_view row = rows[q];
      const size_t colon = row.find("：");
      const size_t split = colon == std::string_view::npos ? 0 : colon + 3;
      if (q > 0) out += ' ';
      AppendInt(heads.Index(q, row.substr(0, split), text_bytes), out);
      out += '.';
      AppendInt(bodies.Index(q, row.substr(split), text_bytes), out);
    }
    out += "\"><td>";
    AppendInt(s.ranks[i], out);
    out += "</td><td class=\"name\"><details><summary>";
    AppendHtml(ShownName(paper.name, limits.name_characters), out);
    out += "</summary></details></td>";
    for (int q = 1; q <= columns; ++q) {
      out += "<td>";
      AppendInt(ShownScore(graded, paper, q), out);
      out += "</td>";
    }
    out += "<td>";
    AppendInt(paper.total, out);
    out += "</td></tr>";
    if (table.answers) {
      std::string& data = answers[i];
      size_t budget = limits.answer_bytes_per_paper;
      data += '[';
      const size_t shown =
          std::min(record.questions.size(), static_cast<size_t>(columns));
      for (size_t q = 0; q < shown; ++q) {
        if (q > 0) data += ',';
        AppendAnswerData(record, record.questions[q], budget, whole_answer_at, data);
      }
      data += ']';
      text_bytes += data.size();
    }
    if (out.size() + text_bytes > limits.table_bytes) return StudentsTable();
  }
  out += "</tbody></table></div>";

  out += "<script type=\"application/json\" id=\"explanations\">{\"heads\":";
  heads.AppendJson(out);
  out += ",\"bodies\":";
  bodies.AppendJson(out);
  out += "}</script>";
  if (table.answers) {
    out += "<script type=\"application/json\" id=\"answers\">[";
    for (size_t i = 0; i < answers.size(); ++i) {
      if (i > 0) out += ',';
      out += answers[i];
    }
    out += "]</script>";
  }
  table.listed = true;
  return table;
}

void AppendStudents(const GradedClass& graded, const AnalysisPageContent& c,
                    const StudentsTable& table, std::string& out) {
  out += "<section id=\"students\"><h2>学生成绩</h2>";
  const std::string workbook =
      c.workbook_name.empty() ? "成绩表" : "成绩表“" + c.workbook_name + "”";
  if (!table.listed) {
    out += "<p class=\"warn\">这次有 ";
    AppendInt(static_cast<int64_t>(graded.paper_count()), out);
    out +=
        " 份试卷，逐个学生的成绩放不进这一页（页面太大，浏览器打不开）：每名学生的"
        "成绩、得分说明和答案见";
    AppendHtml(workbook, out);
    out += "。</p></section>";
    return;
  }
  out +=
      "<p class=\"hint "
      "note\">点击列标题排序（再点一次倒过来）；点击姓名展开这名学生每道题"
      "的得分说明和答案，命中的关键词标了底色。</p>";
  if (graded.question_count() > c.limits.questions) {
    out += "<p class=\"warn\">题目太多，这里只列出前 ";
    AppendInt(c.limits.questions, out);
    out += " 题的得分和说明（总分包括全部题目）；每道题的得分见";
    AppendHtml(workbook, out);
    out += "的“评分依据”。</p>";
  }
  if (!table.answers && graded.paper_count() > 0) {
    out += "<p class=\"note\">全班的答案太长，没有放进这一页：答案见";
    AppendHtml(workbook, out);
    out += "的“评分依据”。</p>";
  }
  out += table.html;
  out += "</section>";
}

// The header: which exam, when, with which boxes, and the links to the sections.
void AppendHeader(const GradedClass& graded, const ClassStatistics& s,
                  const AnalysisPageContent& c, bool listed, std::string& out) {
  const RunDescription& d = c.description;
  out += "<header><h1>阅卷分析";
  if (!d.exam.empty()) {
    out += " · ";
    AppendHtml(d.exam, out);
  }
  out += "</h1><p>";
  AppendHtml(DateTimeText(d.dated), out);
  out += " · 试卷 ";
  AppendInt(s.paper_count, out);
  out += " 份 · ";
  AppendInt(graded.question_count(), out);
  out += " 道题";
  if (s.distribution.full_marks) {
    out += " · 满分 ";
    AppendInt(*s.distribution.full_marks, out);
    out += " 分";
  }
  out += "</p><dl class=\"run\">";
  for (const auto& [label, value] : RunDescriptionLines(d)) {
    if (label == "考试" || label == "阅卷时间" || label == "试卷") continue;
    out += label == "注意" ? "<div class=\"warn\"><dt>" : "<div><dt>";
    AppendHtml(label, out);
    out += "</dt><dd>";
    AppendHtml(value, out);
    out += "</dd></div>";
  }
  out += "</dl><nav>";
  if (c.review) out += "<a href=\"#review\">需要复核</a>";
  out +=
      "<a href=\"#summary\">全班概况</a><a href=\"#charts\">成绩分布</a>"
      "<a href=\"#questions\">逐题分析</a>";
  if (c.check) out += "<a href=\"#check\">与教师评分核对</a>";
  if (c.proposals) out += "<a href=\"#proposals\">规则建议</a>";
  out += listed ? "<a href=\"#student-table\">学生成绩</a>"
                : "<a href=\"#students\">学生成绩</a>";
  out += "</nav></header>";
}

}  // namespace

std::string AnalysisPageHtml(const GradedClass& graded, const ClassStatistics& statistics,
                             const AnalysisPageContent& content) {
  const StudentsTable table = BuildStudentsTable(graded, statistics, content);
  const RunDescription& d = content.description;
  std::string out;
  out.reserve(table.html.size() + (64u << 10));
  // The policy lets the page load nothing and run only its own script, so no text
  // from the input files could run even if it were ever written unescaped.
  out +=
      "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
      "style-src 'unsafe-inline'; script-src '";
  out += PageScriptHash();
  out +=
      "'\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<meta name=\"generator\" content=\"Vantry\"><title>阅卷分析 ";
  if (!d.exam.empty()) {
    AppendHtml(d.exam, out);
    out += ' ';
  }
  AppendHtml(DateText(d.dated), out);
  out += "</title><style>";
  out += PageStyle();
  out += "</style></head><body><main>";
  AppendHeader(graded, statistics, content, table.listed, out);
  if (content.review) AppendReview(graded, content, table.listed, out);
  AppendSummary(statistics, out);
  const int questions = std::min(graded.question_count(), content.limits.questions);
  AppendCharts(statistics, questions, out);
  AppendQuestions(statistics, questions, out);
  if (content.check) AppendCheck(*content.check, graded, out);
  if (content.proposals) AppendProposalsSection(*content.proposals, out);
  AppendStudents(graded, content, table, out);
  out +=
      "<footer>由 Vantry 按关键词阅卷生成。关键词阅卷只是辅助，请教师复核。</footer>"
      "</main><script>";
  out += PageScript();
  out += "</script></body></html>\n";
  return out;
}

Status WriteAnalysisPage(const GradedClass& graded, const ClassStatistics& statistics,
                         const AnalysisPageContent& content,
                         const std::filesystem::path& path) {
  // A page too large for the memory left is a page not written, never a stopped run.
  try {
    std::string html = AnalysisPageHtml(graded, statistics, content);
    StampPage(html);
    return WriteWholeFile(path, {html});
  } catch (const std::exception&) {
    return Failure{"内存不足"};
  }
}

}  // namespace vantry
