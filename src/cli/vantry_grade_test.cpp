// Runs the built vantry-grade program on exams in temporary folders.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "testing/explained_amounts.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::SumOfAmounts;
using testing::TempDir;

using Result = testing::CommandResult;

// Runs vantry-grade from the program folder in `cwd` with `args`.
Result Grade(const std::filesystem::path& cwd, const std::vector<std::string>& args) {
  return testing::RunProgram("vantry-grade", args, cwd);
}

// The one report file in `dir`, by its bytes; fails when there is none or several.
GbkText ReportBytes(const TempDir& dir, std::string* utf8_name = nullptr) {
  std::vector<std::filesystem::path> reports;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = PathToUtf8(entry.path().filename());
    if (name.starts_with("阅卷结果") && name.ends_with(".txt"))
      reports.push_back(entry.path());
  }
  EXPECT_EQ(reports.size(), 1u);
  if (reports.empty()) return {};
  if (utf8_name) *utf8_name = PathToUtf8(reports[0].filename());
  return GbkText(ReadWholeFile(reports[0]));
}

void WriteExam(const TempDir& dir) {
  dir.Write("参数设置.txt",
            Gbk("<综合题><分值>10</分值><关键词>光合作用|光合</关键词>"
                "<关键词>叶绿体</关键词><关键词>氧气</关键词></综合题>\r\n"
                "<综合题><分值>3</分值><关键词>细胞膜</关键词>"
                "<关键词>细胞核</关键词></综合题>\r\n"));
  dir.Write(
      "学生答题文本.txt",
      Gbk("<姓名>\t王小明\t</姓名>\r\n<答题文本>\t光合作用在叶绿体中进行，产生氧气。"
          "\t细胞膜和细胞核\t</答题文本>\r\n"
          "<姓名>\t李华\t</姓名>\r\n<答题文本>\t氧气在叶绿体中产生\t\t\t</"
          "答题文本>\r\n"));
}

TEST(VantryGradeTest, GradesTheFolderAndPrintsTheSummary) {
  TempDir dir;
  WriteExam(dir);
  const Result r =
      Grade(dir.path(), {"--dir", PathToUtf8(dir.path()), "--order", "1-2,1-3"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::string name;
  EXPECT_EQ(ReportBytes(dir, &name), Gbk("王小明 6 3  9\r\n李华 0 0  0"));
  EXPECT_EQ(name.size(), std::string("阅卷结果20261208.txt").size());
  EXPECT_TRUE(r.out.starts_with("共有试卷：2 份\n批卷用时：")) << r.out;
  EXPECT_NE(r.out.find("\n平均每份用时："), std::string::npos);
  // The summary's specified lines, then one line per further file written.
  const std::string day = name.substr(name.size() - 12, 8);
  EXPECT_TRUE(r.out.ends_with("\n阅卷结果已保存在‘" + name +
                              "’！\n成绩表已保存在‘阅卷结果" + day +
                              ".xlsx’！\n分析页已保存在‘阅卷分析" + day + ".html’！\n"))
      << r.out;
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
  EXPECT_EQ(r.err, "");  // no terminal, short run: no progress lines
}

TEST(VantryGradeTest, BoxesAreTakenAsTyped) {
  TempDir dir;
  WriteExam(dir);
  // The current folder is the default; values may be empty or negative.
  EXPECT_EQ(Grade(dir.path(), {"--points="}).exit_code, 0);
  EXPECT_EQ(ReportBytes(dir), Gbk("王小明 0 0  0\r\n李华 0 0  0"));
  EXPECT_EQ(Grade(dir.path(), {"--points", "-2", "--quiet"}).exit_code, 0);
  EXPECT_EQ(ReportBytes(dir), Gbk("王小明 -6 -4  -10\r\n李华 -4 0  -4"));
  EXPECT_EQ(Grade(dir.path(), {"--points=３"}).exit_code, 0);
  EXPECT_EQ(ReportBytes(dir), Gbk("王小明 9 3  12\r\n李华 6 0  6"));
}

TEST(VantryGradeTest, BadArgumentsExitTwoWithUsage) {
  TempDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--verbose"},
        {"--points"},
        {"stray"},
        {"--dir", PathToUtf8(dir.File("missing"))}}) {
    const Result r = Grade(dir.path(), args);
    EXPECT_EQ(r.exit_code, 2) << args[0];
    EXPECT_NE(r.err.find("usage: vantry-grade [--dir DIR]"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::directory_iterator(dir.path()) !=
               std::filesystem::directory_iterator());  // nothing was written

  const Result help = Grade(dir.path(), {"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.out.starts_with("usage: vantry-grade")) << help.out;
}

TEST(VantryGradeTest, UnwritableReportExitsOne) {
  TempDir dir;
  WriteExam(dir);
  // Learn today's report name from a first run, then put a folder in its place.
  ASSERT_EQ(Grade(dir.path(), {}).exit_code, 0);
  std::string name;
  ReportBytes(dir, &name);
  std::filesystem::remove(dir.File(name));
  std::filesystem::create_directory(dir.File(name));
  const Result r = Grade(dir.path(), {});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.out.find("阅卷结果未能保存到‘" + name + "’！"), std::string::npos) << r.out;
}

// Today's output of the given kind, learnt from the report a run left in `dir`.
std::string ReportName(const TempDir& dir, const std::string& extension) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("阅卷结果") && name.ends_with(".txt")) {
      return name.substr(0, name.size() - 4) + extension;
    }
  }
  ADD_FAILURE() << "no report in " << dir.path();
  return {};
}

bool AnyReport(const TempDir& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().filename().string().starts_with("阅卷结果")) return true;
  }
  return false;
}

// The analysis page in `dir`; empty when there is none.
std::string PageBytes(const TempDir& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("阅卷分析") && name.ends_with(".html"))
      return ReadWholeFile(entry.path());
  }
  return {};
}

TEST(VantryGradeTest, NothingToGradeExitsThreeWritesNothingAndSaysWhy) {
  const GbkText rules = Gbk("<综合题><分值>10</分值><关键词>光合</关键词></综合题>");
  const GbkText record = Gbk("<姓名>\t甲\t</姓名><答题文本>\t光合\t</答题文本>\r\n");
  struct Case {
    const char* what;
    std::optional<std::string> sheet;
    std::optional<std::string> parameters;
    std::string says;
  };
  const Case cases[] = {
      {"sheet missing", std::nullopt, rules.bytes(),
       "没有找到学生答题文件“学生答题文本.txt”"},
      {"no record", "", rules.bytes(), "里没有找到任何学生记录"},
      {"UTF-8 sheet with a character GBK lacks",
       "<姓名>\t王小明\t</姓名>\r\n<答题文本>\t光合\xF0\x9F\x98\x80\t</答题文本>",
       rules.bytes(),
       "是以 UTF-8 编码保存的，其中第 2 行第 10 个字“\xF0\x9F\x98\x80”（U+1F600）是 "
       "GBK（ANSI）"
       "编码里没有的字符"},
      {"UTF-16 sheet", std::string("\xFF\xFE<\0", 4), rules.bytes(), "是以 UTF-16"},
      // An answer holding its own end and start tags becomes two answers; the names
      // after it would be graded on their neighbours' answers.
      {"fields mismatch",
       (record +
        Gbk("<姓名>\t乙\t</姓名>\r\n<答题文本>\t一\t</答题文本><答题文本>\t二\t</"
            "答题文本>\r\n") +
        record)
           .bytes(),
       rules.bytes(), "姓名 3 个，答题文本 4 个"},
      {"parameters missing", record.bytes(), std::nullopt,
       "没有找到评分参数文件“参数设置.txt”"},
      {"no rule", record.bytes(), Gbk("<分值>10</分值>").bytes(), "没有找到任何题目规则"},
      {"UTF-8 parameters with a character GBK lacks", record.bytes(),
       "<综合题><关键词>光合作用</关键词></综合题>\r\n<综合题><关键词>\xF0\xA0\x80\x80"
       "</关键词></综合题>",
       "评分参数文件“参数设置.txt”是以 UTF-8 编码保存的，其中第 2 行第 11 "
       "个字“\xF0\xA0\x80\x80”"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.sheet) dir.Write("学生答题文本.txt", *c.sheet);
    if (c.parameters) dir.Write("参数设置.txt", *c.parameters);
    const Result r = Grade(dir.path(), {});
    EXPECT_EQ(r.exit_code, 3) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_FALSE(AnyReport(dir)) << c.what;
  }
}

// Notepad saves UTF-8 today: such files, with or without the byte-order mark, grade
// exactly as the GBK files with the same characters; so does GBK after a stray mark.
TEST(VantryGradeTest, Utf8ExamFilesGradeAsTheirGbkTwins) {
  const std::string sheet =
      "期末考试\r\n<姓名>\t王小明\t</姓名>\r\n<答题文本>\t光合作用在叶绿体中进行，产生"
      "氧气。\t细胞膜·细胞核\t</答题文本>\r\n<姓名>\t李华Ａ\t</姓名>\r\n<答题文本>\t"
      "氧气在叶绿体中产生\t\t</答题文本>\r\n";
  const std::string rules =
      "<综合题><分值>10</分值><关键词>光合作用|光合</关键词><关键词>叶绿体</关键词>"
      "<关键词>氧气</关键词></综合题>\r\n<综合题><分值>3</分值><关键词>细胞膜,细胞核"
      "</关键词></综合题>\r\n";
  const std::string mark = "\xEF\xBB\xBF";
  TempDir twins;
  twins.Write("学生答题文本.txt", Gbk(sheet));
  twins.Write("参数设置.txt", Gbk(rules));
  ASSERT_EQ(Grade(twins.path(), {"--no-xlsx", "--no-html"}).exit_code, 0);
  const GbkText expected = ReportBytes(twins);
  ASSERT_NE(expected.find(Gbk("李华Ａ")), std::string::npos);
  const struct {
    const char* what;
    std::string sheet;
    std::string rules;
  } cases[] = {
      {"UTF-8 sheet", sheet, Gbk(rules).bytes()},
      {"UTF-8 sheet with its mark", mark + sheet, Gbk(rules).bytes()},
      {"UTF-8 parameters", Gbk(sheet).bytes(), rules},
      {"UTF-8 parameters with its mark", Gbk(sheet).bytes(), mark + rules},
      {"both UTF-8", mark + sheet, rules},
      {"GBK after a stray mark", mark + Gbk(sheet).bytes(), mark + Gbk(rules).bytes()},
      // The first GBK character just past 64 KiB of blank lines is still GBK.
      {"GBK after 65,535 blank lines", std::string(65535, '\n') + Gbk(sheet).bytes(),
       std::string(65535, '\n') + Gbk(rules).bytes()},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.Write("学生答题文本.txt", c.sheet);
    dir.Write("参数设置.txt", c.rules);
    const Result r = Grade(dir.path(), {"--no-xlsx", "--no-html"});
    EXPECT_EQ(r.exit_code, 0) << c.what << "\n" << r.err;
    EXPECT_EQ(ReportBytes(dir), expected) << c.what;
  }
}

TEST(VantryGradeTest, PageBesideTheReportWithTheCheckOfASheetBesideIt) {
  TempDir dir;
  WriteExam(dir);
  ASSERT_EQ(Grade(dir.path(), {}).exit_code, 0);
  std::string page = PageBytes(dir);
  EXPECT_NE(page.find("<summary>李华</summary>"), std::string::npos);
  EXPECT_EQ(page.find("id=\"check\""), std::string::npos);

  dir.Write("教师评分.csv", Gbk("姓名,第1题,第2题\r\n王小明,6,3\r\n李华,2,0\r\n"));
  ASSERT_EQ(Grade(dir.path(), {}).exit_code, 0);
  page = PageBytes(dir);
  EXPECT_NE(page.find("<section id=\"check\">"), std::string::npos);
  EXPECT_NE(page.find("比对 2 份试卷"), std::string::npos);

  // A faulty sheet: the page says so, and so does the summary (exit 4); the run goes
  // on.
  dir.Write("教师评分.csv", Gbk("姓名,第1题\r\n王小明,6,3\r\n"));
  const Result faulty = Grade(dir.path(), {});
  EXPECT_EQ(faulty.exit_code, 4);
  EXPECT_NE(faulty.out.find("\n教师评分.csv 第2行：这一行有 3 列，比表头多"),
            std::string::npos)
      << faulty.out;
  EXPECT_NE(PageBytes(dir).find("教师评分.csv 第2行：这一行有 3 列"), std::string::npos);

  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().extension() == ".html") std::filesystem::remove(entry.path());
  }
  // The workbook carries the check too (its verdict and names to look at).
  EXPECT_EQ(Grade(dir.path(), {"--no-html"}).exit_code, 4);
  EXPECT_EQ(PageBytes(dir), "");
  // The page is written when the workbook is left out.
  std::filesystem::remove(dir.File("教师评分.csv"));
  ASSERT_EQ(Grade(dir.path(), {"--no-xlsx"}).exit_code, 0);
  EXPECT_NE(PageBytes(dir), "");
}

TEST(VantryGradeTest, CheckPrintsTheAgreementWithTheTeachersMarks) {
  TempDir dir;
  WriteExam(dir);
  dir.Write("marks.csv",
            "\xEF\xBB\xBF姓名,第1题,第2题,总分\r\n王小明,6,3,9\r\n李华,2,0,2\r\n");
  const Result r = Grade(dir.path(), {"--check", "marks.csv", "--order", "1-2,1-3"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  // The summary closes with the verdict, then the check follows: rules 6, 0 against
  // 6, 2 on question 1.
  const std::string verdict =
      "规则平均比您少给 1.0 分；2 份中 1 份相差超过 1 分，等级都相同；r = 1.00，加权 "
      "kappa = 0.94（按 0–9 分计）。结论：一般（平均差偏大）；只比对了 2 份，仅供参考\n";
  EXPECT_NE(r.out.find("’！\n与教师评分核对：" + verdict +
                       "\n与教师评分核对（marks.csv）：比对 2 份试卷\n" + verdict),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\n第1题     2     50.0%     50.0%   -1.00"), std::string::npos)
      << r.out;
  EXPECT_NE(
      r.out.find(
          " 1. 李华：逐题相差共 2 分（规则 0 分，教师 2 分）\n    教师 2 分 | 规则 "
          "第1题 0分（满分10）：得分点2、3 先后顺序不对：「氧气」出现在「叶绿体」之前，"
          "不加分"),
      std::string::npos)
      << r.out;
  EXPECT_NE(PageBytes(dir).find("<section id=\"check\">"), std::string::npos);

  // A sheet that cannot be used stops the run before anything is written.
  for (const auto& [bytes, says] : std::vector<std::pair<std::string, std::string>>{
           {Gbk("姓名,第1题\r\n王小明,6\r\n李华,\"2\r\n").bytes(),
            "bad.csv 第3行：引号没有闭合"},
           {Gbk("姓名,第1题\r\n王小明,六\r\n").bytes(),
            "bad.csv 第2行：第1题的“六”不是整数或半分（如 6 或 6.5）"}}) {
    TempDir clean;
    WriteExam(clean);
    clean.Write("bad.csv", bytes);
    const Result bad = Grade(clean.path(), {"--check", "bad.csv"});
    EXPECT_EQ(bad.exit_code, 2);
    EXPECT_NE(bad.err.find(says), std::string::npos) << bad.err;
    EXPECT_EQ(bad.out, "");
    EXPECT_FALSE(AnyReport(clean));
    EXPECT_EQ(PageBytes(clean), "");
  }
  const Result missing = Grade(dir.path(), {"--check", "none.csv"});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_NE(missing.err.find("none.csv 找不到这个文件"), std::string::npos)
      << missing.err;
}

TEST(VantryGradeTest, ProposeWritesTheProposedRulesAndNeverTheRulesThemselves) {
  TempDir dir;
  WriteExam(dir);
  const std::string rules = ReadWholeFile(dir.File("参数设置.txt"));
  dir.Write("marks.csv", Gbk("姓名,第1题,第2题\r\n王小明,6,3\r\n李华,2,0\r\n"));
  // Two marked papers teach nothing: the proposed rules are the rules, byte for byte.
  const Result r = Grade(dir.path(), {"--propose", "marks.csv", "--order", "1-2,1-3"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  // The summary names the file, last of the files written.
  EXPECT_NE(
      r.out.find("建议的规则已保存在‘参数设置_建议.txt’！\n\n规则建议（根据 marks.csv "
                 "里您批改过的试卷）\n"),
      std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("第1题：已批改 2 份；批改的试卷太少，不提建议"), std::string::npos)
      << r.out;
  EXPECT_EQ(ReadWholeFile(dir.File("参数设置_建议.txt")), rules);
  EXPECT_EQ(ReadWholeFile(dir.File("参数设置.txt")), rules);
  const Result elsewhere =
      Grade(dir.path(), {"--propose", "marks.csv", "--propose-out", "新.txt"});
  EXPECT_EQ(elsewhere.exit_code, 0);
  EXPECT_NE(elsewhere.out.find("建议的规则已保存在‘新.txt’！"), std::string::npos)
      << elsewhere.out;
  EXPECT_EQ(ReadWholeFile(dir.File("新.txt")), rules);
  // A file that cannot be written: the summary says so and the run ends with 4.
  const Result unwritten =
      Grade(dir.path(), {"--propose", "marks.csv", "--propose-out", "无此文件夹/新.txt"});
  EXPECT_EQ(unwritten.exit_code, 4);
  EXPECT_NE(unwritten.out.find("规则建议未能保存到‘新.txt’！"), std::string::npos)
      << unwritten.out;

  // Bad marks stop the run as --check's do; the rules file is never the output.
  const struct {
    std::vector<std::string> args;
    std::string says;
  } refused[] = {
      {{"--propose", "none.csv"}, "none.csv 找不到这个文件"},
      {{"--propose", "marks.csv", "--propose-out", "参数设置.txt"}, "参数设置.txt 本身"},
      {{"--propose", "marks.csv", "--propose-out", "学生答题文本.txt"},
       "--propose-out 不能写到本次阅卷读取或写出的文件‘学生答题文本.txt’"},
      {{"--propose", "marks.csv", "--propose-out", "marks.csv"}, "‘marks.csv’"},
      {{"--propose", "marks.csv", "--propose-out", "x.json", "--json", "x.json"},
       "--json 不能写到本次阅卷读取或写出的文件‘x.json’"},
      {{"--propose-out", "x.txt"}, "--propose-out needs --propose"},
  };
  for (const auto& c : refused) {
    TempDir clean;
    WriteExam(clean);
    clean.Write("marks.csv", Gbk("姓名,第1题\r\n王小明,6\r\n"));
    const Result bad = Grade(clean.path(), c.args);
    EXPECT_EQ(bad.exit_code, 2) << c.says;
    EXPECT_NE(bad.err.find(c.says), std::string::npos) << bad.err;
    EXPECT_FALSE(AnyReport(clean)) << c.says;
    EXPECT_EQ(ReadWholeFile(clean.File("参数设置.txt")), rules) << c.says;
  }
}

TEST(VantryGradeTest, MismatchNamesTheFirstRecordOutOfStepAndItsLine) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk("<综合题><关键词>光合</关键词></综合题>"));
  dir.Write("学生答题文本.txt",
            Gbk("<姓名>\t甲\t</姓名>\r\n<答题文本>\t光合\t</答题文本>\r\n"
                "<姓名>\t乙\t</姓名>\r\n"  // line 3: no answer of its own
                "<姓名>\t丙\t</姓名>\r\n<答题文本>\t光合\t</答题文本>\r\n"));
  const Result r = Grade(dir.path(), {});
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_NE(r.err.find("姓名 3 个，答题文本 2 个"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("第 3 行的“乙”后面没有它自己的答题文本"), std::string::npos)
      << r.err;
}

TEST(VantryGradeTest, AnyNumberOfJobsGivesTheSameReport) {
  TempDir dir;
  dir.Write("参数设置.txt",
            Gbk("<综合题><分值>6</分值><关键词>甲|乙</关键词><关键词>丙</关键词>"
                "<关键词>丁</关键词></综合题><综合题><关键词>戊</关键词></综合题>"));
  GbkText sheet;
  const char* answers[] = {"甲丙丁\t戊", "丁丙\t", "\t戊戊", "", "乙丁丙甲\t\t\t戊"};
  for (int i = 0; i < 3000; ++i) {
    sheet += Gbk("<姓名>\t学生" + std::to_string(i) + "\t</姓名><答题文本>\t" +
                 answers[i % 5] + "\t</答题文本>\r\n");
  }
  dir.Write("学生答题文本.txt", sheet);
  GbkText first;
  for (const char* jobs : {"1", "4", "3"}) {
    const Result r = Grade(dir.path(), {"--jobs", jobs, "--order", "1-2,1-3"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const GbkText report = ReportBytes(dir);
    if (first.empty()) {
      first = report;
      EXPECT_TRUE(first.starts_with(Gbk("学生0 6 2  8\r\n学生1 0  0\r\n")))
          << ::testing::PrintToString(first);
    }
    EXPECT_EQ(report, first) << "--jobs " << jobs;
  }
}

TEST(VantryGradeTest, GradesTheDemoExam) {
  TempDir dir;
  for (const char* name : {"学生答题文本.txt", "参数设置.txt"}) {
    const std::string bytes = ReadWholeFile(PathInDirectory(testing::ProgramDir(), name));
    ASSERT_FALSE(bytes.empty()) << name << " missing from the program folder";
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    dir.Write(name, bytes);
  }
  const Result ordered = Grade(dir.path(), {"--order", "3-1,3-2,3-3,5-1,5-2,5-3"});
  EXPECT_EQ(ordered.exit_code, 0) << ordered.err;
  EXPECT_TRUE(ordered.out.starts_with("共有试卷：30 份\n")) << ordered.out;
  const GbkText report = ReportBytes(dir);
  EXPECT_TRUE(report.starts_with(Gbk("王小明 10 8 8 6 10  42\r\n")))
      << ::testing::PrintToString(report);
  EXPECT_TRUE(report.ends_with(Gbk("\r\n邓超 2 0 8 2 6  18")))
      << ::testing::PrintToString(report);
  EXPECT_NE(report.find(Gbk("\r\n杨帆  0\r\n")), std::string::npos);  // no answers
  EXPECT_NE(report.find(Gbk("\r\n赵磊 10 8 8 6 10  42\r\n")),
            std::string::npos);  // line breaks
  EXPECT_NE(report.find(Gbk("\r\n朱琳 10 6 2 4 4  26\r\n")),
            std::string::npos);  // out of order

  // Without order keys every group is worth its points wherever it stands.
  ASSERT_EQ(Grade(dir.path(), {}).exit_code, 0);
  EXPECT_NE(ReportBytes(dir).find(Gbk("\r\n朱琳 10 6 8 4 10  38\r\n")),
            std::string::npos);
}

// Copies the demo exam from the program folder into `dir`.
void CopyDemoExam(const std::filesystem::path& dir) {
  for (const char* name : {"学生答题文本.txt", "参数设置.txt"}) {
    const std::string bytes = ReadWholeFile(PathInDirectory(testing::ProgramDir(), name));
    ASSERT_FALSE(bytes.empty()) << name << " missing from the program folder";
    ASSERT_TRUE(WriteWholeFile(PathInDirectory(dir, name), {bytes}));
  }
}

TEST(VantryGradeTest, ChineseFolderAndFullWidthPointsOnTheCommandLine) {
  TempDir dir;
  const std::filesystem::path exam = dir.File("期末考试");
  std::filesystem::create_directory(exam);
  CopyDemoExam(exam);
  // Run from elsewhere, so that the folder and the points come only from the arguments.
  const Result r = Grade(dir.path(), {"--dir", PathToUtf8(exam), "--points", "３"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::vector<std::string> reports;
  for (const auto& entry : std::filesystem::directory_iterator(exam)) {
    const std::string name = PathToUtf8(entry.path().filename());
    if (name.starts_with("阅卷结果") && name.ends_with(".txt")) reports.push_back(name);
  }
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(r.out.find("\n阅卷结果已保存在‘" + reports[0] + "’！\n成绩表已保存在‘"),
            std::string::npos)
      << r.out;
  // Three points per group instead of two: 张伟 earns 9 6 8 3 9 instead of 6 4 8 2 6.
  EXPECT_NE(GbkText(ReadWholeFile(exam / PathFromUtf8(reports[0])))
                .find(Gbk("\r\n张伟 9 6 8 3 9  35\r\n")),
            GbkText::npos);
}

#ifdef _WIN32
TEST(VantryGradeTest, ReportHeldOpenByAnotherProgramStaysWholeAndExitsOne) {
  TempDir dir;
  WriteExam(dir);
  ASSERT_EQ(Grade(dir.path(), {"--quiet"}).exit_code, 0);
  std::string name;
  const GbkText before = ReportBytes(dir, &name);
  ASSERT_FALSE(before.empty());
  // An editor holds the report open and lets others read it, but not delete it.
  HANDLE held = CreateFileW(dir.File(name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const Result r = Grade(dir.path(), {"--points", "5", "--quiet"});
  CloseHandle(held);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.out.find("阅卷结果未能保存到‘" + name + "’！"), std::string::npos) << r.out;
  EXPECT_EQ(ReportBytes(dir), before);  // the old report, whole
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_EQ(PathToUtf8(entry.path().filename()).find(".vantry-tmp-"), std::string::npos)
        << "a temporary file was left behind";
  }
}
#endif

void CopyDemoExam(const TempDir& dir) {
  for (const char* name : {"学生答题文本.txt", "参数设置.txt"}) {
    const std::string bytes = ReadWholeFile(PathInDirectory(testing::ProgramDir(), name));
    ASSERT_FALSE(bytes.empty()) << name << " missing from the program folder";
    dir.Write(name, bytes);
  }
}

TEST(VantryGradeTest, ExplainsEveryQuestionOfTheDemoExamPointByPoint) {
  TempDir dir;
  CopyDemoExam(dir);
  const Result r =
      Grade(dir.path(), {"--explain", "--no-xlsx", "--order", "3-1,3-2,3-3,5-1,5-2,5-3"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // Per paper: "name  总分 T，名次 R", then "  第q题 S分（…）：…" per question, each
  // followed by "    答案：…" when it has an answer; then a blank line and the summary.
  const std::regex paper_line("(.+)  总分 (-?[0-9]+)，名次 ([0-9]+)");
  const std::regex question_line("  第([0-9]+)题 (-?[0-9]+)分（[^）]*）：(.*)");
  int answers = 0;
  const std::regex capped("原始 (-?[0-9]+) 分，封顶 (-?[0-9]+) 分");
  std::istringstream out(r.out);
  std::string line;
  std::vector<int> totals;
  int questions = 0, explained = 0, sum_of_scores = 0;
  const auto end_paper = [&] {
    if (totals.empty()) return;
    EXPECT_EQ(questions, 5) << "paper " << totals.size();
    EXPECT_EQ(sum_of_scores, totals.back()) << "paper " << totals.size();
  };
  while (std::getline(out, line) && !line.empty()) {
    std::smatch m;
    if (line.starts_with("    答案：")) {
      ++answers;
      // One line, shortened where long: at most 60 characters and two "…".
      EXPECT_LE(line.size(), std::string("    答案：").size() + 62 * 3) << line;
      continue;
    }
    if (std::regex_match(line, m, paper_line)) {
      end_paper();
      totals.push_back(std::stoi(m[2]));
      questions = sum_of_scores = 0;
    } else {
      ASSERT_TRUE(std::regex_match(line, m, question_line)) << line;
      EXPECT_EQ(std::stoi(m[1]), ++questions) << line;
      const int shown = std::stoi(m[2]);
      sum_of_scores += shown;
      // The amounts add up to the score before the cap.
      const std::string said = m[3];
      std::smatch cap;
      if (std::regex_search(said, cap, capped)) {
        EXPECT_EQ(SumOfAmounts(line), std::stoi(cap[1])) << line;
        EXPECT_EQ(std::stoi(cap[2]), shown) << line;
      } else {
        EXPECT_EQ(SumOfAmounts(line), shown) << line;
      }
      ++explained;
    }
  }
  end_paper();
  EXPECT_EQ(totals.size(), 30u);
  EXPECT_EQ(explained, 150);
  EXPECT_GT(answers, 100);
  EXPECT_NE(r.out.find("  第3题 8分（满分8）：得分点4「小肠」+2；得分点5「大肠」+2；"
                       "得分点1、2、3 先后顺序正确 +6；原始 10 分，封顶 8 分\n"),
            std::string::npos);
  std::getline(out, line);
  EXPECT_EQ(line, "共有试卷：30 份");
  EXPECT_FALSE(PathExists(dir.File(ReportName(dir, ".xlsx"))));
}

TEST(VantryGradeTest, WritesTheWorkbookByDefaultAndTheRecordOnRequest) {
  TempDir dir;
  WriteExam(dir);
  ASSERT_EQ(Grade(dir.path(), {"--json", "记录.json"}).exit_code, 0);
  EXPECT_TRUE(ReadWholeFile(dir.File(ReportName(dir, ".xlsx"))).starts_with("PK"));
  const nlohmann::json record =
      nlohmann::json::parse(ReadWholeFile(dir.File("记录.json")));
  EXPECT_EQ(record["paper_count"], 2);
  EXPECT_EQ(record["papers"][1]["name"], "李华");
  EXPECT_EQ(record["boxes"]["points_per_hit"], "2");
}

TEST(VantryGradeTest, AnOutputNotWrittenIsSaidAndExitsFour) {
  TempDir dir;
  WriteExam(dir);
  ASSERT_EQ(Grade(dir.path(), {}).exit_code, 0);
  const std::string report = ReportName(dir, ".txt");
  const std::string workbook = ReportName(dir, ".xlsx");
  std::filesystem::remove(dir.File(workbook));
  std::filesystem::create_directory(dir.File(workbook));
  std::filesystem::remove(dir.File(report));

  Result r = Grade(dir.path(), {"--json", dir.File("missing/记录.json").string()});
  EXPECT_EQ(r.exit_code, 4);
  const std::string page = "阅卷分析" + report.substr(report.size() - 12, 8) + ".html";
  EXPECT_TRUE(r.out.ends_with(
      "阅卷结果已保存在‘" + report + "’！\n成绩表未能保存到‘" + workbook +
      "’！（这个名字已被一个文件夹占用）\n分析页已保存在‘" + page +
      "’！\nJSON 记录未能保存到‘" + dir.File("missing/记录.json").string() + "’！\n"))
      << r.out;
  EXPECT_EQ(ReportBytes(dir), Gbk("王小明 6 3  9\r\n李华 4 0  4"));

  // A report not written decides the code.
  std::filesystem::remove(dir.File(report));
  std::filesystem::create_directory(dir.File(report));
  EXPECT_EQ(Grade(dir.path(), {}).exit_code, 1);
}

}  // namespace
}  // namespace vantry
