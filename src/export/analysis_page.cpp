#include "export/analysis_page.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "export/explanation.h"
#include "export/figure_text.h"
#include "export/html_text.h"
#include "export/page_assets.h"
#include "export/proposals_page.h"
#include "export/svg_chart.h"
#include "text/date_time.h"
#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/numbers.h"

namespace vantry {
namespace {

// Digits of a whole number (ASCII, the same in GBK and UTF-8).
void AppendInt(int64_t value, std::string& out) { out += FormatInteger(value); }

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
  return level ? FormatInteger(level->count) + " 人" : "";
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
  AppendTile("试卷", FormatInteger(s.paper_count), "份", out);
  AppendTile("平均分", FixedText(s.totals.mean, 1), "", out);
  AppendTile("最高分",
             s.totals.highest ? FormatInteger(*s.totals.highest) : std::string(kNoFigure),
             "", out);
  AppendTile("最低分",
             s.totals.lowest ? FormatInteger(*s.totals.lowest) : std::string(kNoFigure),
             "", out);
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

void AppendCharts(const ClassStatistics& s, std::string& out) {
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
        "总分占满分的比例（满分 " + FormatInteger(d.full_marks.value_or(0)) + " 分）";
    for (const ScoreBand& band : d.bands) {
      const bool last = &band == &d.bands.back();
      // The lowest band holds the negative totals too: no lower bound is claimed.
      const std::string from =
          band.below_zero ? "<" : FormatInteger(band.lower_percent) + "–";
      const std::string range =
          band.below_zero
              ? "总分不足 " + FixedText(band.upper, 1) + " 分（含负分）"
              : "总分 " + FixedText(band.lower, 1) + (last ? "–" : " 至不足 ") +
                    FixedText(band.upper, 1) + " 分";
      chart.bars.push_back({.label = from + FormatInteger(band.upper_percent) + "%",
                            .value = static_cast<double>(band.count),
                            .value_label = FormatInteger(band.count),
                            .tooltip = range + "：" + FormatInteger(band.count) +
                                       " 人（" + PercentText(band.rate) + "）"});
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
    const bool short_labels = s.questions.size() > 12;
    for (const QuestionStatistics& q : s.questions) {
      chart.bars.push_back(
          {.label = short_labels ? FormatInteger(q.question) : QuestionLabel(q.question),
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
  AppendHtml(q.scores.highest ? FormatInteger(*q.scores.highest) : std::string(kNoFigure),
             out);
  out += " · 最低 ";
  AppendHtml(q.scores.lowest ? FormatInteger(*q.scores.lowest) : std::string(kNoFigure),
             out);
  out += " · 满分 ";
  AppendHtml(q.full_count ? FormatInteger(*q.full_count) + " 人" : std::string(kNoFigure),
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
      "</p><table><thead><tr><th "
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
  out += "</tbody></table></div>";
}

void AppendQuestions(const ClassStatistics& s, std::string& out) {
  out += "<section id=\"questions\"><h2>逐题分析</h2>";
  if (s.questions.empty()) out += "<p class=\"note\">没有题目。</p>";
  for (const QuestionStatistics& q : s.questions) AppendQuestion(q, s.paper_count, out);
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
  out += "<p>对照 ";
  AppendHtml(check.sheet_name, out);
  out += "：比对 ";
  AppendInt(check.comparison.papers_compared, out);
  out += " 份试卷。</p><table><thead><tr>";
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
  out += "</tbody></table>";
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

// The students' table, ranked, and the distinct explanations it refers to.
void AppendStudents(const GradedClass& graded, const ClassStatistics& s,
                    std::string& out) {
  const auto papers = graded.papers();
  const int question_count = graded.question_count();
  out +=
      "<section id=\"students\"><h2>学生成绩</h2><p class=\"hint note\">"
      "点击列标题排序（再点一次倒过来）；点击姓名展开这名学生每道题的得分说明。"
      "</p><div class=\"scroll\"><table id=\"student-table\"><thead><tr><th class=\"n\" "
      "data-type=\"number\">名次</th>"
      "<th data-type=\"text\">姓名</th>";
  for (int q = 1; q <= question_count; ++q) {
    out += "<th class=\"n\" data-type=\"number\" data-first=\"descending\">";
    AppendHtml(QuestionLabel(q), out);
    out += "</th>";
  }
  out +=
      "<th class=\"n\" data-type=\"number\" data-first=\"descending\">总分</th>"
      "</tr></thead><tbody>";

  // Ranked, ties in sheet order.
  std::vector<size_t> order(papers.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return s.ranks[a] < s.ranks[b]; });

  // Each distinct explanation of a question is kept once.
  std::vector<std::vector<const std::string*>> texts;
  std::vector<std::unordered_map<std::string, uint32_t>> index_of;
  PaperRecord record;
  std::vector<std::string> rows;
  for (size_t i : order) {
    const GradedClass::Paper& paper = papers[i];
    graded.Record(i, record);
    ExplainPaper(record, graded, rows);
    if (texts.size() < rows.size()) {
      texts.resize(rows.size());
      index_of.resize(rows.size());
    }
    out += "<tr data-e=\"";
    for (size_t q = 0; q < rows.size(); ++q) {
      const auto [it, added] = index_of[q].try_emplace(
          std::move(rows[q]), static_cast<uint32_t>(texts[q].size()));
      if (added) texts[q].push_back(&it->first);
      if (q > 0) out += ' ';
      AppendInt(it->second, out);
    }
    out += "\"><td class=\"n\">";
    AppendInt(s.ranks[i], out);
    out += "</td><td class=\"name\"><details><summary>";
    AppendGbkHtml(paper.name, out);
    out += "</summary></details></td>";
    for (int q = 1; q <= question_count; ++q) {
      out += "<td class=\"n\">";
      AppendInt(ShownScore(graded, paper, q), out);
      out += "</td>";
    }
    out += "<td class=\"n\">";
    AppendInt(paper.total, out);
    out += "</td></tr>";
  }
  out += "</tbody></table></div></section>";

  out += "<script type=\"application/json\" id=\"explanations\">[";
  for (size_t q = 0; q < texts.size(); ++q) {
    if (q > 0) out += ',';
    out += '[';
    for (size_t k = 0; k < texts[q].size(); ++k) {
      if (k > 0) out += ',';
      AppendScriptJsonString(*texts[q][k], out);
    }
    out += ']';
  }
  out += "]</script>";
}

std::string PageFileNameUtf8(const LocalDateTime& now) {
  return "阅卷分析" + GbkToUtf8(FormatDateTime(OleDateFromLocal(now), "yyyyMMdd")) +
         ".html";
}

}  // namespace

std::string AnalysisPageHtml(const GradedClass& graded, const ClassStatistics& statistics,
                             const AnalysisPageContent& content) {
  std::string out;
  out.reserve(4096 + graded.paper_count() *
                         (160 + 16 * static_cast<size_t>(graded.question_count())));
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
  AppendHtml(content.date, out);
  out += "</title><style>";
  out += PageStyle();
  out += "</style></head><body><main><header><h1>阅卷分析</h1><p>";
  AppendHtml(content.date, out);
  out += " · 试卷 ";
  AppendInt(statistics.paper_count, out);
  out += " 份 · ";
  AppendInt(graded.question_count(), out);
  out += " 道题";
  if (statistics.distribution.full_marks) {
    out += " · 满分 ";
    AppendInt(*statistics.distribution.full_marks, out);
    out += " 分";
  }
  out +=
      "</p><nav><a href=\"#summary\">全班概况</a><a href=\"#charts\">成绩分布</a>"
      "<a href=\"#questions\">逐题分析</a>";
  if (content.check) out += "<a href=\"#check\">与教师评分核对</a>";
  if (content.proposals) out += "<a href=\"#proposals\">规则建议</a>";
  out += "<a href=\"#student-table\">学生成绩</a></nav></header>";
  AppendSummary(statistics, out);
  AppendCharts(statistics, out);
  AppendQuestions(statistics, out);
  if (content.check) AppendCheck(*content.check, graded, out);
  if (content.proposals) AppendProposalsSection(*content.proposals, out);
  AppendStudents(graded, statistics, out);
  out +=
      "<footer>由 Vantry 按关键词阅卷生成。关键词阅卷只是辅助，请教师复核。</footer>"
      "</main><script>";
  out += PageScript();
  out += "</script></body></html>\n";
  return out;
}

AnalysisPageResult WriteAnalysisPage(const GradedClass& graded,
                                     const ClassStatistics& statistics,
                                     const AnalysisPageOptions& options) {
  const LocalDateTime& now = options.day;
  AnalysisPageContent content;
  content.date = FormatInteger(now.year) + "年" + FormatInteger(now.month) + "月" +
                 FormatInteger(now.day) + "日";
  content.check = options.check;
  content.proposals = options.proposals;

  AnalysisPageResult result;
  const std::string name = PageFileNameUtf8(now);
  result.path = PathInDirectory(options.directory, name);
  result.file_name = Utf8ToGbk(name);
  // A page too large for the memory left is a page not written, never a stopped run.
  try {
    result.written =
        WriteWholeFile(result.path, {AnalysisPageHtml(graded, statistics, content)});
  } catch (const std::exception&) {
    result.written = false;
  }
  if (!result.written) {
    result.notes.push_back(Utf8ToGbk("分析页未能保存到‘" + name + "’！"));
  }
  return result;
}

}  // namespace vantry
