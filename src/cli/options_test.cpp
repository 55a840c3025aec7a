#include "cli/options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/utf8_path.h"

namespace vantry {
namespace {

GradeArguments Parse(std::vector<std::string_view> args) {
  return ParseGradeArguments(args);
}

TEST(ParseGradeArgumentsTest, DefaultsWithoutArguments) {
  const GradeArguments a = Parse({});
  ASSERT_TRUE(a.ok()) << a.message();
  EXPECT_EQ(a->directory, ".");
  EXPECT_EQ(a->points, "2");
  EXPECT_EQ(a->order, "");
  EXPECT_FALSE(a->quiet);
  EXPECT_FALSE(a->help);
  EXPECT_EQ(a->jobs, 0);
  EXPECT_TRUE(a->outputs.workbook && a->outputs.page);
  EXPECT_FALSE(a->outputs.explain);
  EXPECT_TRUE(a->outputs.json.empty());
  EXPECT_TRUE(a->outputs.check.empty());
}

TEST(ParseGradeArgumentsTest, ValuesInBothFormsTakenAsTyped) {
  const GradeArguments a =
      Parse({"--dir", "/tmp/考试", "--points=-2", "--order", "1-2,1-3", "--quiet"});
  ASSERT_TRUE(a.ok()) << a.message();
  EXPECT_EQ(a->directory, PathFromUtf8("/tmp/考试"));
  EXPECT_EQ(a->points, "-2");
  EXPECT_EQ(a->order, "1-2,1-3");
  EXPECT_TRUE(a->quiet);

  // A value beginning with "-" or "--" is still the value, and an empty one is empty.
  EXPECT_EQ(Parse({"--points", "-2"})->points, "-2");
  EXPECT_EQ(Parse({"--order", "--quiet"})->order, "--quiet");
  EXPECT_EQ(Parse({"--points", ""})->points, "");
  EXPECT_EQ(Parse({"--points="})->points, "");
  EXPECT_EQ(Parse({"--order=a=b"})->order, "a=b");
  EXPECT_EQ(Parse({"--points", "3", "--points", "５分"})->points, "５分");
  EXPECT_TRUE(Parse({"-h"})->help);
  EXPECT_TRUE(Parse({"--help"})->help);
  EXPECT_EQ(Parse({"--jobs", "4"})->jobs, 4);
  EXPECT_EQ(Parse({"--jobs=1"})->jobs, 1);
  const OutputChoices outputs =
      Parse({"--no-xlsx", "--json", "结果/记录.json", "--explain"})->outputs;
  EXPECT_TRUE(!outputs.workbook && outputs.page && outputs.explain);
  EXPECT_EQ(outputs.json, std::filesystem::path(u8"结果/记录.json"));
  const OutputChoices page =
      Parse({"--no-html", "--check", "评分/教师评分.csv"})->outputs;
  EXPECT_TRUE(page.workbook && !page.page);
  EXPECT_EQ(page.check, std::filesystem::path(u8"评分/教师评分.csv"));
  const OutputChoices propose =
      Parse({"--propose=评分.csv", "--propose-out", "新规则.txt"})->outputs;
  EXPECT_EQ(propose.propose, std::filesystem::path(u8"评分.csv"));
  EXPECT_EQ(propose.propose_out, std::filesystem::path(u8"新规则.txt"));
}

TEST(ParseGradeArgumentsTest, BadArgumentsSayWhatIsWrong) {
  EXPECT_EQ(Parse({"--points"}).message(), "--points needs a value");
  EXPECT_EQ(Parse({"--quiet", "--dir"}).message(), "--dir needs a value");
  EXPECT_EQ(Parse({"--dir", ""}).message(), "--dir needs a folder");
  EXPECT_EQ(Parse({"--dir="}).message(), "--dir needs a folder");
  EXPECT_EQ(Parse({"--json="}).message(), "--json needs a file");
  EXPECT_EQ(Parse({"--explain=yes"}).message(), "--explain takes no value");
  EXPECT_EQ(Parse({"--check="}).message(), "--check needs a CSV file");
  EXPECT_EQ(Parse({"--propose", ""}).message(), "--propose needs a CSV file");
  EXPECT_EQ(Parse({"--propose-out", "x.txt"}).message(), "--propose-out needs --propose");
  EXPECT_EQ(Parse({"--no-html=1"}).message(), "--no-html takes no value");
  EXPECT_EQ(Parse({"--verbose"}).message(), "unknown option --verbose");
  EXPECT_EQ(Parse({"-p", "2"}).message(), "unknown option -p");
  EXPECT_EQ(Parse({"--quiet=yes"}).message(), "--quiet takes no value");
  EXPECT_EQ(Parse({"exam"}).message(), "unexpected argument exam");
  EXPECT_EQ(Parse({"--points", "2", "extra"}).message(), "unexpected argument extra");
  for (std::string_view jobs : {"0", "-1", "two", "2x", "", "100000"}) {
    EXPECT_EQ(Parse({"--jobs", jobs}).message(),
              "--jobs needs a whole number from 1 to 1024")
        << jobs;
  }
}

// Every option of the further outputs' table is in the usage line, in the help at the
// start of its line, and understood by the parser.
TEST(GradeHelpTextTest, EveryOutputOptionIsUsedHelpedAndParsed) {
  const std::string help = GradeHelpText();
  for (const FurtherOutput* output : kFurtherOutputs) {
    for (const OutputOption& option : output->options) {
      if (option.name.empty()) continue;
      const std::string name(option.name);
      SCOPED_TRACE(name);
      EXPECT_NE(kGradeUsage.find("[" + name + (option.value.empty() ? "]" : " ")),
                std::string_view::npos);
      EXPECT_NE(help.find("\n  " + name + (option.value.empty() ? " " : " FILE")),
                std::string::npos);
      const std::string_view args[] = {"--propose", "p.csv", option.name, "x.csv"};
      const GradeArguments parsed =
          ParseGradeArguments(option.value.empty() ? std::span(args).first(3) : args);
      ASSERT_TRUE(parsed.ok()) << parsed.message();
      if (option.toggle != nullptr) {
        EXPECT_EQ(parsed->outputs.*(option.toggle), option.set_to);
      } else {
        EXPECT_EQ(parsed->outputs.*(option.file), "x.csv");
      }
    }
  }
}

}  // namespace
}  // namespace vantry
