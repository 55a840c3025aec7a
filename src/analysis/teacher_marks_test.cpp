#include "analysis/teacher_marks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using ::testing::HasSubstr;

// Marks in half points: 10 points are 20.
using Marks = std::vector<std::optional<HalfPoints>>;

// The marks of row `row`, one per question column.
// A read's problem as the summary shows it (GBK, where a character GBK lacks is "?"),
// back in UTF-8.
std::string Shown(const MarksRead& read) { return GbkToUtf8(Utf8ToGbk(read.message())); }

Marks RowMarks(const TeacherMarks& marks, size_t row) {
  Marks row_marks;
  for (size_t c = 0; c < marks.questions.size(); ++c)
    row_marks.push_back(marks.half_points(row, c));
  return row_marks;
}

// The UTF-8 text of a sheet saved in GBK, as the bytes a sheet file holds.
std::string GbkSheet(std::string_view utf8) { return Gbk(utf8).bytes(); }

// The UTF-8 text of a sheet in UTF-16LE with its byte order mark, as Excel's
// "Unicode text" saves it.
std::string Utf16Le(std::string_view utf8) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : GbkToUtf16(Gbk(utf8))) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(TeacherMarksTest, ReadsTheShapesExcelAndWpsSave) {
  const std::string sheet =
      "姓名,第1题,第2题,总分\r\n王小明,10,8,18\r\n\"李,华\",6,,6\r\n,,,\r\n";
  struct Case {
    std::string name;
    std::string bytes;
  } cases[] = {
      {"Excel CSV, GBK, CRLF", GbkSheet(sheet)},
      {"Excel CSV UTF-8 with BOM", "\xEF\xBB\xBF" + sheet},
      {"WPS UTF-8 without BOM, LF",
       "姓名,第1题,第2题,总分\n王小明,10,8,18\n\"李,华\",6,,6\n"},
      // The first GBK character just past 64 KiB of blank lines.
      {"GBK after 65,535 bytes of blank lines",
       std::string(65535, '\n') + GbkSheet(sheet)},
      {"GBK after a stray UTF-8 byte-order mark", "\xEF\xBB\xBF" + GbkSheet(sheet)},
      {"hand-made headers, padding and full-width digits",
       GbkSheet(
           "\r\n,,,,\r\n 姓名 ,第一题（10分）,第２题,总分,\r\n王小明,１０, 8.0 ,18,\r\n"
           "\"李,华\",6,,,\r\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MarksRead read = ParseTeacherMarks(c.bytes);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_THAT(read->questions, ElementsAre(1, 2));
    ASSERT_EQ(read->row_count(), 2u);
    EXPECT_EQ(read->name(0), Gbk("王小明"));
    EXPECT_EQ(RowMarks(*read, 0), (Marks{20, 16}));
    EXPECT_EQ(read->name(1), Gbk("李,华"));
    EXPECT_EQ(RowMarks(*read, 1), (Marks{12, std::nullopt}));
  }
}

TEST(TeacherMarksTest, ColumnsInAnyOrderAndNamesSpanningLines) {
  const MarksRead read = ParseTeacherMarks(
      Gbk("第十二题,备注,姓名,第3题\n5,缺考,\"张\n三\",-1\n0,,　赵磊　,+4\n").bytes());
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_THAT(read->questions, ElementsAre(12, 3));
  ASSERT_EQ(read->row_count(), 2u);
  EXPECT_EQ(read->line(0), 2);
  EXPECT_EQ(read->name(0), Gbk("张\n三"));
  EXPECT_EQ(RowMarks(*read, 0), (Marks{10, -2}));
  EXPECT_EQ(read->line(1), 4);
  EXPECT_EQ(read->name(1), Gbk("赵磊"));  // full-width spaces trimmed
  EXPECT_EQ(RowMarks(*read, 1), (Marks{0, 8}));
}

TEST(TeacherMarksTest, HalfMarksAsExcelAndWpsExportThem) {
  const MarksRead read =
      ParseTeacherMarks(Gbk("姓名,第1题,第2题,第3题,第4题,第5题,第6题\r\n"
                            "王小明,6.5,６.５,6.5分,７．５ 分,-0.5,2147483647.5\r\n"
                            "李华,6.50,0.5,8.0,8分,+1.5,\r\n")
                            .bytes());
  ASSERT_TRUE(read.ok()) << read.message();
  ASSERT_EQ(read->row_count(), 2u);
  EXPECT_EQ(RowMarks(*read, 0), (Marks{13, 13, 13, 15, -1, 4294967295}));
  EXPECT_EQ(RowMarks(*read, 1), (Marks{13, 1, 16, 16, 3, std::nullopt}));
}

TEST(TeacherMarksTest, MalformedSheetsNameTheLineAndGiveNothing) {
  struct Case {
    std::string bytes;
    std::string_view problem;  // UTF-8
  } cases[] = {
      {GbkSheet("姓名,第1题\r\n王,小明,5\r\n"), "第2行：这一行有 3 列，比表头多"},
      {GbkSheet("姓名,第1题,第2题\r\n王小明,5,6\r\n李华,5\r\n"),
       "第3行：这一行只有 2 列"},
      {GbkSheet("姓名,第1题\r\n王小明,5\r\n李华,五分\r\n"),
       "第3行：第1题的“五分”不是整数或半分（如 6 或 6.5）"},
      {GbkSheet("姓名,第1题\r\n王小明,3.25\r\n"), "第2行：第1题的“3.25”不是整数或半分"},
      {GbkSheet("姓名,第1题\r\n王小明,3.05\r\n"), "第2行：第1题的“3.05”不是整数或半分"},
      {GbkSheet("姓名,第1题\r\n王小明,.5\r\n"), "第2行：第1题的“.5”不是整数或半分"},
      {GbkSheet("姓名,第1题\r\n王小明,分\r\n"), "第2行：第1题的“分”不是整数或半分"},
      {GbkSheet("姓名,第1题\r\n王小明,99999999999\r\n"), "不是整数或半分"},
      // A long or control-laden cell is cut and made harmless for a terminal.
      {GbkSheet("姓名,第1题\r\n王小明,\"\x1b]0;标题\x07一二三四五六七八九十\"\r\n"),
       "第2行：第1题的“?]0;标题?一二三四五六七八九…”不是整数或半分"},
      {GbkSheet("姓名,第1题\r\n\"王小明,5\r\n李华,6\r\n"), "第2行：引号没有闭合"},
      {GbkSheet("姓名,第1题\r\n\"张\r\n三\",5\r\n李华,x\r\n"), "第4行：第1题的“x”"},
      {GbkSheet("姓名,第1题\r\n,5\r\n"), "第2行：这一行有分数，但没有姓名"},
      {GbkSheet("学生,第1题\r\n王小明,5\r\n"), "第1行：表头（第一个非空行）没有“姓名”列"},
      {GbkSheet("\r\n姓名,得分\r\n王小明,5\r\n"), "第2行：表头没有“第1题”这样的题目列"},
      {GbkSheet("姓名,第1题,第一题\r\n王小明,5,5\r\n"), "第1行：表头有两列“第1题”"},
      {GbkSheet("姓名,第1题,姓名\r\n王小明,5,5\r\n"), "第1行：表头有两列“姓名”"},
      {"", "表是空的"},
      {Utf16Le("姓名\t第1题\r\n王小明\t5\r\n"), "UTF-16"},
      {"\x81\x20,\x81\x20\r\n", "既不是 GBK 也不是 UTF-8"},
      {"姓名,第1题\r\n王小明,5\r\n\xF0\xA0\x80\x80,6\r\n",
       "第3行：第1个字“?”（U+20000）是 GBK 编码里没有的字"},
  };
  for (const Case& c : cases) {
    const MarksRead read = ParseTeacherMarks(c.bytes);
    EXPECT_FALSE(read.ok());  // and so no marks to use
    EXPECT_THAT(Shown(read), HasSubstr(c.problem));
  }
}

TEST(TeacherMarksTest, ReadsAFileAndSaysWhenThereIsNone) {
  const testing::TempDir dir;
  const MarksRead missing = ReadTeacherMarks(dir.File("教师评分.csv"));
  EXPECT_THAT(Shown(missing), HasSubstr("找不到"));
  // A folder (or a FIFO, a device) of that name is there, but it is no sheet.
  std::filesystem::create_directory(dir.File("文件夹.csv"));
  EXPECT_THAT(Shown(ReadTeacherMarks(dir.File("文件夹.csv"))),
              HasSubstr("不是一个普通文件"));
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(dir.File("管道.csv").c_str(), 0600), 0);
  EXPECT_THAT(Shown(ReadTeacherMarks(dir.File("管道.csv"))),
              HasSubstr("不是一个普通文件"));
#endif
  const MarksRead read =
      ReadTeacherMarks(dir.Write("教师评分.csv", Gbk("姓名,第1题\r\n王小明,5")));
  ASSERT_TRUE(read.ok()) << read.message();
  ASSERT_EQ(read->row_count(), 1u);
  EXPECT_EQ(RowMarks(*read, 0), (Marks{10}));
}

TEST(TrimCellTest, StepsOverTwoByteCharacters) {
  EXPECT_EQ(TrimCell(Gbk(" \t王\r\n")), Gbk("王"));
  EXPECT_EQ(TrimCell(Gbk("　王　")), Gbk("王"));
  // "\xA1\xA1" preceded by a lead byte is not a full-width space: 0xB0 0xA1 is 啊.
  EXPECT_EQ(TrimCell(GbkView("\xB0\xA1\xA1\xA1")), GbkView("\xB0\xA1"));
  EXPECT_EQ(TrimCell(GbkView("\xB0\xA1\xA1")), GbkView("\xB0\xA1\xA1"));
  EXPECT_EQ(TrimCell("   "_gbk), ""_gbk);
}

}  // namespace
}  // namespace vantry
