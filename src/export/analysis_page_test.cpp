#include "export/analysis_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/review_list.h"
#include "export/explanation.h"
#include "export/kept_outputs.h"
#include "export/output_table.h"
#include "platform/file_io.h"
#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using ::testing::HasSubstr;
using testing::TestClass;

int Count(const std::string& text, std::string_view part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

// Two questions: 光合作用 (max 6, three groups, one of them hostile markup) and 细胞
// (max 4, two groups).
ProgramState Exam() {
  return testing::StateWithRules(
      {Gbk("<关键词>光合作用|光合</关键词><关键词>叶绿体</关键词>"
           "<关键词><img src=x onerror=alert(1)></关键词>"),
       Gbk("<关键词>细胞膜</关键词><关键词>细胞核</关键词>")},
      {"6"_gbk, "4"_gbk});
}

struct Papers {
  ProgramState state = Exam();
  TestClass papers{state};
  Papers() {
    papers.Add(Gbk("王小明"), Gbk("光合作用在叶绿体中\t细胞膜和细胞核"))
        .Add(Gbk("<script>alert(1)</script>"), Gbk("光合\t细胞膜"))
        .Add(Gbk("\"><img src=x onerror=alert(2)>"), Gbk("叶绿体\t细胞膜"))
        .Add(Gbk("李华"), Gbk("光合作用在叶绿体中\t细胞膜和细胞核"))
        .Add(Gbk("缺考"), std::nullopt);
  }
  const GradedClass& graded() const { return papers.graded(); }
};

TEST(AnalysisPageTest, InputTextsNeverBecomeMarkup) {
  const Papers p;
  const std::string html =
      AnalysisPageHtml(p.graded(), ComputeClassStatistics(p.graded(), p.state), {});
  // Only the page's own script and its two data blocks, and no image at all.
  EXPECT_EQ(Count(html, "<script"), 3);
  EXPECT_EQ(Count(html, "<img"), 0);
  EXPECT_THAT(html,
              HasSubstr("<summary>&lt;script&gt;alert(1)&lt;/script&gt;</summary>"));
  EXPECT_THAT(html, HasSubstr("<summary>&quot;&gt;&lt;img src=x onerror=alert(2)&gt;"));
  EXPECT_THAT(html, HasSubstr("&lt;img src=x onerror=alert(1)&gt;"));
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>"));
  // Self-contained: nothing is fetched.
  EXPECT_FALSE(std::regex_search(html, std::regex(R"((src|href)="(https?:)?//)")));
  EXPECT_EQ(Count(html, "@import"), 0);
}

TEST(AnalysisPageTest, StudentsRankedWithTheirOwnExplanations) {
  const Papers p;
  const ClassStatistics stats = ComputeClassStatistics(p.graded(), p.state);
  AnalysisPageContent content;
  content.description = {
      .exam = "八年级3班",
      .dated = {.year = 2026, .month = 12, .day = 8, .hour = 14, .minute = 5},
      .points_per_hit = "3",
      .order_keys = "1-2,1-3",
      .boxes_changed = false,
      .papers = 5};
  const std::string html = AnalysisPageHtml(p.graded(), stats, content);
  // Two classes graded the same day are told apart by the title and the header.
  EXPECT_THAT(html, HasSubstr("<title>阅卷分析 八年级3班 2026年12月8日</title>"));
  EXPECT_THAT(html, HasSubstr("<h1>阅卷分析 · 八年级3班</h1><p>2026年12月8日 14:05 · "
                              "试卷 5 份"));
  EXPECT_THAT(html, HasSubstr("<dt>分值</dt><dd>3（每命中一个得分点的分数）</dd>"));
  EXPECT_THAT(html, HasSubstr("<dt>先后顺序</dt><dd>1-2,1-3</dd>"));

  // Rows: rank, name, each question, total; ranked, ties in sheet order.
  const std::regex row(R"re(<tr id="p\d+" data-e="([0-9. ]*)"><td>(\d+)</td>)re"
                       R"re(<td class="name"><details>)re"
                       R"re(<summary>([^<]*)</summary></details></td><td>(\d+)</td>)re"
                       R"re(<td>(\d+)</td><td>(\d+)</td></tr>)re");
  std::vector<std::string> names, ranks;
  std::map<std::string, std::string> indexes;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), row);
       it != std::sregex_iterator(); ++it) {
    ranks.push_back((*it)[2]);
    names.push_back((*it)[3]);
    indexes[(*it)[3]] = (*it)[1];
  }
  EXPECT_THAT(ranks, ElementsAre("1", "1", "3", "3", "5"));
  EXPECT_THAT(names,
              ElementsAre("王小明", "李华", "&lt;script&gt;alert(1)&lt;/script&gt;",
                          "&quot;&gt;&lt;img src=x onerror=alert(2)&gt;", "缺考"));

  // Each row's indexes name, per question, the head and the body of the explanation
  // the explainer gives.
  const size_t begin = html.find("id=\"explanations\">") + 18;
  const auto texts =
      nlohmann::json::parse(html.substr(begin, html.find("</script>", begin) - begin));
  ASSERT_EQ(texts["heads"].size(), 2u);
  ASSERT_EQ(texts["bodies"].size(), 2u);
  // 王小明 and 李华 answered alike: their explanations are kept once.
  EXPECT_EQ(indexes["王小明"], indexes["李华"]);
  PaperRecord record;
  std::vector<std::string> expected;
  for (size_t i = 0; i < p.graded().paper_count(); ++i) {
    p.graded().Record(i, record);
    ExplainPaper(record, p.graded(), expected);
    std::string name;
    AppendOneLine(record.name, name);
    name = std::regex_replace(name, std::regex("&"), "&amp;");
    name = std::regex_replace(name, std::regex("<"), "&lt;");
    name = std::regex_replace(name, std::regex(">"), "&gt;");
    name = std::regex_replace(name, std::regex("\""), "&quot;");
    ASSERT_TRUE(indexes.contains(name)) << name;
    std::istringstream words(indexes[name]);
    for (size_t q = 0; q < expected.size(); ++q) {
      size_t head = 0, body = 0;
      char dot = 0;
      ASSERT_TRUE(words >> head >> dot >> body);
      EXPECT_EQ(texts["heads"][q][head].get<std::string>() +
                    texts["bodies"][q][body].get<std::string>(),
                expected[q])
          << name;
    }
  }
}

TEST(AnalysisPageTest, MostMissedScoringPointsFirst) {
  const Papers p;
  const std::string html =
      AnalysisPageHtml(p.graded(), ComputeClassStatistics(p.graded(), p.state), {});
  // Question 1: group 3 hit by none, group 1 by 3 papers, group 2 by 3: 3, 1, 2.
  const size_t q1 = html.find("<h3>第1题（满分 6 分）</h3>");
  const size_t q2 = html.find("<h3>第2题（满分 4 分）</h3>");
  ASSERT_NE(q1, std::string::npos);
  ASSERT_NE(q2, std::string::npos);
  const std::string block = html.substr(q1, q2 - q1);
  std::vector<std::string> order;
  const std::regex group(R"re(<tr(?: class="missed")?><td class="n">(\d+)</td>)re");
  for (auto it = std::sregex_iterator(block.begin(), block.end(), group);
       it != std::sregex_iterator(); ++it) {
    order.push_back((*it)[1]);
  }
  EXPECT_THAT(order, ElementsAre("3", "1", "2"));
  EXPECT_THAT(block, HasSubstr("<tr class=\"missed\"><td class=\"n\">3</td>"));
  EXPECT_THAT(block, HasSubstr("区分度"));
}

TEST(AnalysisPageTest, AClassWithoutQuestionsOrPapersStillGivesAPage) {
  const ProgramState state = Exam();
  testing::TestClass blank(state);
  blank.Add(Gbk("甲"), std::nullopt).Add(Gbk("乙"), std::nullopt);
  const std::string html =
      AnalysisPageHtml(blank.graded(), ComputeClassStatistics(blank.graded(), state), {});
  EXPECT_THAT(html, HasSubstr("没有一份试卷有题目，算不出满分"));
  EXPECT_EQ(Count(html, "data-e=\"0.0\">"), 2);  // one explanation: why none
  EXPECT_THAT(html,
              HasSubstr("{\"heads\":[[\"\"]],\"bodies\":[[\"答题文本里没有这名学生的"
                        "答案，记 0 分\"]]}"));

  const GradedClass empty;
  const std::string none =
      AnalysisPageHtml(empty, ComputeClassStatistics(empty, state), {});
  EXPECT_THAT(none, HasSubstr("<tbody></tbody>"));
  EXPECT_TRUE(none.ends_with("</html>\n"));
}

TEST(AnalysisPageTest, WrittenWholeAndStampedOrReported) {
  const Papers p;
  const ClassStatistics stats = ComputeClassStatistics(p.graded(), p.state);
  const testing::TempDir dir;
  const LocalDateTime day{.year = 2026, .month = 12, .day = 8, .hour = 9};
  EXPECT_EQ(DatedOutputName(kPageOutput, day), "阅卷分析20261208.html");
  AnalysisPageContent content;
  content.description.dated = day;
  ASSERT_TRUE(WriteAnalysisPage(p.graded(), stats, content, dir.File("page.html")));
  const std::string html = ReadWholeFile(dir.File("page.html"));
  EXPECT_THAT(html, HasSubstr("2026年12月8日"));
  EXPECT_THAT(html, HasSubstr("</html>\n<!-- vantry-digest:"));
  EXPECT_TRUE(UnchangedSinceWritten(dir.File("page.html"), OutputKind::kPage));
  EXPECT_FALSE(
      WriteAnalysisPage(p.graded(), stats, content, dir.path() / "missing" / "p.html"));
}

TEST(AnalysisPageTest, CheckSectionShowsFiguresOrTheSheetsProblem) {
  const Papers p;
  const ClassStatistics stats = ComputeClassStatistics(p.graded(), p.state);
  const TeacherCheck check = CheckAgainstTeacher(
      p.graded(), "教师评分.csv",
      ParseTeacherMarks("姓名,第1题,第2题\n王小明,6,4\n李华,2,4\n缺考,0,0\n无名,1,1\n"));
  AnalysisPageContent content;
  content.check = &check;
  const std::string html = AnalysisPageHtml(p.graded(), stats, content);
  EXPECT_THAT(html, HasSubstr("<section id=\"check\"><h2>与教师评分核对</h2>"));
  EXPECT_THAT(html, HasSubstr("比对 3 份试卷"));
  // 李华: rules 4 on question 1, teacher 2.
  EXPECT_THAT(
      html,
      HasSubstr("<li><strong>李华</strong>：逐题相差共 2 分（规则 8 分，教师 6 分）"));
  EXPECT_THAT(html, HasSubstr("教师 <strong>2 分</strong> | 规则 第1题 4分（满分6）："));
  EXPECT_THAT(html, HasSubstr("<li>答题文本里找不到：无名</li>"));

  const TeacherCheck broken = CheckAgainstTeacher(
      p.graded(), "教师评分.csv", ParseTeacherMarks("姓名,第1题\n王小明,\"6\n"));
  content.check = &broken;
  const std::string broken_html = AnalysisPageHtml(p.graded(), stats, content);
  EXPECT_THAT(
      broken_html,
      HasSubstr(
          "<p class=\"warn\">教师评分.csv 第2行：引号没有闭合；没有与教师评分核对</p>"));
}

// The JSON of the data block `id`.
nlohmann::json Data(const std::string& html, std::string_view id) {
  const std::string start = "id=\"" + std::string(id) + "\">";
  const size_t begin = html.find(start);
  if (begin == std::string::npos) return nullptr;
  const size_t from = begin + start.size();
  return nlohmann::json::parse(html.substr(from, html.find("</script>", from) - from));
}

TEST(AnalysisPageTest, OpenedRowsCarryTheAnswersWithTheScoringWordingsMarked) {
  const Papers p;
  const std::string html =
      AnalysisPageHtml(p.graded(), ComputeClassStatistics(p.graded(), p.state), {});
  const nlohmann::json answers = Data(html, "answers");
  ASSERT_EQ(answers.size(), 5u);  // by the papers' places in the sheet
  // [note, plain, marked, plain, marked, …]
  EXPECT_EQ(answers[0][0],
            nlohmann::json::parse(R"(["","","光合作用","在","叶绿体","中"])"));
  EXPECT_EQ(answers[0][1], nlohmann::json::parse(R"(["","","细胞膜","和","细胞核",""])"));
  EXPECT_EQ(answers[4], nlohmann::json::array());  // no answer field
  EXPECT_THAT(html, HasSubstr("<tr id=\"p3\" data-e=\""));
}

TEST(AnalysisPageTest, NeedsASecondLookLinksEachEntryToItsPaper) {
  const ProgramState state = Exam();
  TestClass c(state);
  c.Add(Gbk("甲"), Gbk("光合作用\t细胞膜"))
      .Add(Gbk("乙"), Gbk("光合作用 \t细胞膜"))
      .Add(Gbk("丙"), Gbk(" "))
      .Add(Gbk("丁"), Gbk("植物\t细胞膜"));
  const ClassStatistics stats = ComputeClassStatistics(c.graded(), state);
  const ReviewList review = FindPapersToReview(c.graded(), stats, nullptr);
  AnalysisPageContent content;
  content.review = &review;
  content.workbook_name = "阅卷结果20261208.xlsx";
  const std::string html = AnalysisPageHtml(c.graded(), stats, content);
  EXPECT_THAT(html, HasSubstr("<section id=\"review\"><h2>需要复核</h2>"));
  EXPECT_THAT(html, HasSubstr("<h3>有内容却得 0 分（1）</h3>"));
  EXPECT_THAT(
      html,
      HasSubstr("<li><a class=\"paper\" href=\"#p3\">丁</a>：第1题：「植物」</li>"));
  EXPECT_THAT(html,
              HasSubstr("<a class=\"paper\" href=\"#p0\">甲</a>：与 乙 的答案完全相同"));
  EXPECT_THAT(html, HasSubstr("<h3>空白试卷（1）</h3>"));
  EXPECT_LT(html.find("id=\"review\""), html.find("id=\"summary\""));
}

TEST(AnalysisPageTest, LimitsKeepThePageOpenableAndSaySoOnIt) {
  const Papers p;
  const ClassStatistics stats = ComputeClassStatistics(p.graded(), p.state);
  AnalysisPageContent content;
  content.workbook_name = "阅卷结果20261208.xlsx";

  // One question shown of two; each paper's answers cut to 10 bytes.
  content.limits.questions = 1;
  content.limits.answer_bytes_per_paper = 10;
  std::string html = AnalysisPageHtml(p.graded(), stats, content);
  EXPECT_EQ(Count(html, "data-type=\"number\" data-first=\"descending\">第"), 1);
  EXPECT_THAT(html, HasSubstr("题目太多，这里只列出前 1 题的得分和说明"));
  EXPECT_THAT(html, HasSubstr("共 2 道题，本页只列出前 1 道"));
  EXPECT_EQ(Data(html, "answers")[0][0][0],
            "…（答案共 9 字，这里只列出前 5 字；全文见成绩表“阅卷结果20261208.xlsx”的"
            "“评分依据”）");
  EXPECT_EQ(Data(html, "explanations")["bodies"].size(), 1u);

  // The class's answers too long: no answers, and the page says where they are.
  content.limits = {};
  content.limits.answer_bytes = 10;
  html = AnalysisPageHtml(p.graded(), stats, content);
  EXPECT_TRUE(Data(html, "answers").is_null());
  EXPECT_THAT(html, HasSubstr("全班的答案太长，没有放进这一页：答案见成绩表"));

  // More papers than the page lists, or a table past its bytes: a summary.
  for (const auto& limits :
       {PageLimits{.listed_papers = 4}, PageLimits{.table_bytes = 500}}) {
    content.limits = limits;
    html = AnalysisPageHtml(p.graded(), stats, content);
    EXPECT_EQ(html.find("id=\"student-table\""), std::string::npos);
    EXPECT_TRUE(Data(html, "explanations").is_null());
    EXPECT_THAT(html, HasSubstr("这次有 5 份试卷，逐个学生的成绩放不进这一页"));
    EXPECT_THAT(html, HasSubstr("<a href=\"#students\">学生成绩</a>"));
  }
}

}  // namespace
}  // namespace vantry
