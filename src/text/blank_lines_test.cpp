#include "text/blank_lines.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

#include "testing/blank_lines_by_pattern.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

// Cleans with both paths, which must agree; returns the byte path's result.
// Takes and gives the bytes, so that the tables below can spell them.
std::string Clean(std::string_view text) {
  GbkText by_bytes(text);
  GbkText by_pattern(text);
  const GbkText cleaned = RemoveBlankLines(by_bytes);
  EXPECT_EQ(cleaned, RemoveBlankLinesByPattern(by_pattern)) << text;
  EXPECT_EQ(by_bytes, by_pattern) << text;  // both trim the caller's text alike
  return cleaned.bytes();
}

TEST(RemoveBlankLinesTest, RemovesBlankLinesBetweenLines) {
  EXPECT_EQ(Clean("A\r\n\r\n\r\nB"), "A\r\nB");
  EXPECT_EQ(Clean("A\r\n  \r\nB"), "A\r\nB");
  EXPECT_EQ(Clean("A\r\n\t \f\v\r\n \r\n\r\nB\r\nC"), "A\r\nB\r\nC");
  EXPECT_EQ(Clean("A\r\n\r\nB\r\n\r\nC"), "A\r\nB\r\nC");
}

TEST(RemoveBlankLinesTest, KeepsLinesThatHoldAnything) {
  EXPECT_EQ(Clean("A\r\n  B"), "A\r\n  B");
  EXPECT_EQ(Clean("A  \r\nB"), "A  \r\nB");
  EXPECT_EQ(Clean(Gbk("甲 5 3  8\r\n乙 4  4").bytes()),
            Gbk("甲 5 3  8\r\n乙 4  4").bytes());
  // A full-width space is not white space for this purpose.
  EXPECT_EQ(Clean(("A\r\n"_gbk + Gbk("　") + "\r\nB"_gbk).bytes()),
            ("A\r\n"_gbk + Gbk("　") + "\r\nB"_gbk).bytes());
}

TEST(RemoveBlankLinesTest, TrimsOneLineBreakAtEachEndOfTheCallersText) {
  GbkText text("A\r\n");
  EXPECT_EQ(RemoveBlankLines(text), "A"_gbk);
  EXPECT_EQ(text, "A"_gbk);

  text = GbkText("A\r\n\r\n");
  EXPECT_EQ(RemoveBlankLines(text), "A\r\n"_gbk);
  EXPECT_EQ(text, "A\r\n"_gbk);

  text = GbkText("A\r\n\r\n\r\n");
  EXPECT_EQ(RemoveBlankLines(text), "A\r\n"_gbk);
  EXPECT_EQ(text, "A\r\n\r\n"_gbk);

  text = GbkText("\r\n\r\nA");
  EXPECT_EQ(RemoveBlankLines(text), "\r\nA"_gbk);
  EXPECT_EQ(text, "\r\nA"_gbk);
}

TEST(RemoveBlankLinesTest, EmptyAndLineBreakOnly) {
  EXPECT_EQ(Clean(""), "");
  EXPECT_EQ(Clean("\r\n"), "");
  EXPECT_EQ(Clean("\r\n\r\n"), "");
  EXPECT_EQ(Clean("\r\n\r\n\r\n"), "\r\n");
}

TEST(RemoveBlankLinesTest, ReportWithInvalidGbkComesBackByteForByte) {
  // A name pasted as UTF-8 into a GBK file, a lone high byte before a CR, a lone lead
  // byte at the end of a line, and blank lines among them.
  const std::string utf8_name = "\xE5\xBC\xA0\xE4\xB8\x89";  // 张三 in UTF-8
  const std::string lines[] = {
      utf8_name + " 5 3  8",
      Gbk("李四").bytes() + "\xFF 4  4",
      "\x81",
      Gbk("王五 1  1").bytes() + "\x80",
      "\xFE\x7F \xA1",
  };
  std::string report;
  std::string expected;
  for (const std::string& line : lines) {
    report += line + "\r\n \t\r\n\r\n";
    expected += line + "\r\n";
  }
  // The last blank lines leave one line break behind, as in any text that ends in
  // more than one.
  EXPECT_EQ(Clean(report), expected);
}

TEST(RemoveBlankLinesTest, AgreesWithThePatternOnRandomTexts) {
  // Texts of line breaks, white space, lone CRs and LFs, Chinese and invalid bytes.
  const std::string pieces[] = {
      "\r\n", "\r",       "\n",     " ",     "\t", "\v", "\f", "A", Gbk("甲").bytes(),
      "\x81", "\xA1\x0A", "\xFF\r", "\x80\n"};
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
    Clean(text);
  }
}

TEST(RemoveBlankLinesTest, LongReport) {
  std::string report;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    const std::string line = Gbk("学生").bytes() + std::to_string(i) + " 5 3  8";
    report += line + (i % 3 == 0 ? "\r\n\r\n  \r\n" : "\r\n");
    expected += line + "\r\n";
  }
  expected.resize(expected.size() - 2);
  EXPECT_EQ(Clean(report), expected);
}

}  // namespace
}  // namespace vantry
