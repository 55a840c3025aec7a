#include "analysis/csv_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantry {
namespace {

using ::testing::ElementsAre;

TEST(ParseCsvTest, QuotedFieldsKeepCommasQuotesAndLineBreaks) {
  // Rows start on the line where they begin, whatever line ends the file uses.
  for (const std::string_view end : {"\r\n", "\n", "\r"}) {
    const std::string text = std::string("a,\"b,c\",\"say \"\"hi\"\"\"") +
                             std::string(end) + "\"two" + std::string(end) + "lines\",x" +
                             std::string(end) + "last,";
    const CsvTable table = ParseCsv(text);
    ASSERT_TRUE(table.ok()) << table.status.message();
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0].line, 1);
    EXPECT_THAT(table.rows[0].fields, ElementsAre("a", "b,c", "say \"hi\""));
    EXPECT_EQ(table.rows[1].line, 2);
    EXPECT_THAT(table.rows[1].fields,
                ElementsAre("two" + std::string(end) + "lines", "x"));
    EXPECT_EQ(table.rows[2].line, 4);
    EXPECT_THAT(table.rows[2].fields, ElementsAre("last", ""));
  }
}

TEST(ParseCsvTest, FaultsNameTheirLine) {
  struct Case {
    std::string_view text;
    int line;
    std::string_view error;
  } cases[] = {
      {"a,b\r\n\"open,\r\nc\r\n", 2, "引号没有闭合"},
      {"a,b\n\"x\ny\"z,1\n", 3, "右引号后面还有字符"},
  };
  for (const Case& c : cases) {
    const CsvTable table = ParseCsv(c.text);
    EXPECT_FALSE(table.ok()) << c.text;
    EXPECT_EQ(table.error_line, c.line) << c.text;
    EXPECT_EQ(table.status.message(), c.error) << c.text;
  }
  // A quote inside an unquoted field is text, as Excel reads it.
  const CsvTable loose = ParseCsv("5\"6,x");
  ASSERT_TRUE(loose.ok());
  EXPECT_THAT(loose.rows[0].fields, ElementsAre("5\"6", "x"));
}

}  // namespace
}  // namespace vantry
