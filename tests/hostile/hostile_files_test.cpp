// vantry-grade on files and folders that fight back: nothing may crash it, hang it,
// corrupt its report or destroy an earlier report.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "exam_folder.h"
#include "platform/file_io.h"
#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;
using testing::CanUsePrivateMounts;
using testing::CommandResult;
using testing::Gbk;
using testing::GradeCommand;
using testing::Record;
using testing::ReportName;
using testing::ShellQuote;
using testing::TempDir;

const char kParameters[] =
    "<综合题><分值>10</分值><关键词>光合作用|光合</关键词><关键词>叶绿体</关键词></"
    "综合题>";

CommandResult Grade(const fs::path& dir) {
  return testing::RunProgram("vantry-grade", {"--dir", dir.string(), "--quiet"}, dir);
}

// Lines of a CRLF text.
size_t CountLines(const std::string& text) {
  if (text.empty()) return 0;
  size_t n = 1;
  for (size_t i = 0; (i = text.find("\r\n", i)) != std::string::npos; i += 2) ++n;
  return n;
}

TEST(HostileFilesTest, AnswerSheetOf200MegabytesIsGradedWhole) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(kParameters));
  const std::string record =
      Record(Gbk("王小明"),
             Gbk(std::string(60, 'x') + "光合作用在叶绿体中进行。") + GbkText(200, ' '));
  std::string sheet;
  const size_t records = (200u << 20) / record.size() + 1;
  sheet.reserve(records * record.size());
  for (size_t i = 0; i < records; ++i) sheet += record;
  dir.Write("学生答题文本.txt", sheet);
  sheet = std::string();

  const CommandResult r = Grade(dir.path());
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::string report = ReadWholeFile(dir.File(ReportName()));
  EXPECT_EQ(CountLines(report), records);
  const GbkText first_line = Gbk("王小明 4  4\r\n");
  EXPECT_EQ(GbkView(report).substr(0, first_line.size()), first_line);
  EXPECT_NE(r.out.find("共有试卷：" + std::to_string(records) + " 份"),
            std::string::npos);
}

TEST(HostileFilesTest, BinaryGarbageGradesWhatItFindsAndEnds) {
  TempDir dir;
  std::mt19937 random(7);
  std::string garbage(1 << 20, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  // Garbage for rules holds no rule: nothing is graded, and the teacher is told.
  dir.Write("参数设置.txt", garbage);
  dir.Write("学生答题文本.txt", Record(Gbk("甲"), Gbk("光合")));
  const CommandResult no_rules = Grade(dir.path());
  EXPECT_EQ(no_rules.exit_code, 3) << no_rules.err;
  EXPECT_NE(no_rules.err.find("没有找到任何题目规则"), std::string::npos) << no_rules.err;
  EXPECT_FALSE(PathExists(dir.File(ReportName())));

  // Some real records inside garbage still count; the NUL bytes of the garbage cut
  // the text, so put them before the first NUL.
  dir.Write("参数设置.txt", Gbk(kParameters));
  garbage.insert(0, Record(Gbk("甲"), Gbk("光合")));
  dir.Write("学生答题文本.txt", garbage);
  const CommandResult r = Grade(dir.path());
  EXPECT_EQ(r.exit_code, 0) << r.err;
  const std::string report = ReadWholeFile(dir.File(ReportName()));
  EXPECT_TRUE(report.starts_with(Gbk("甲 ").bytes())) << report.substr(0, 64);
}

TEST(HostileFilesTest, Utf8AndUtf16FilesAreNamedAsSuch) {
  for (const std::string& sheet :
       {std::string(
            "<姓名>\t张三\t</姓名><答题文本>\t光合作用\xF0\x9F\x98\x80\t</答题文本>"),
        std::string("\xFF\xFE<\0\x53\x59\x0D\x54>\0\t\0", 12)}) {
    TempDir dir;
    dir.Write("参数设置.txt", Gbk(kParameters));
    dir.Write("学生答题文本.txt", sheet);
    const CommandResult r = Grade(dir.path());
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_NE(r.err.find("GBK"), std::string::npos) << r.err;
    EXPECT_FALSE(PathExists(dir.File(ReportName())));
  }
}

TEST(HostileFilesTest, NamesOfBlankLinesLeaveNoBlankLineInTheReport) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(kParameters));
  std::string blank;
  while (blank.size() < (1u << 20)) blank += "  \r\n\t\r\n";
  dir.Write("学生答题文本.txt", Record(GbkText("A\r\n" + blank + "B"), Gbk("光合")) +
                                    Record(Gbk("乙"), Gbk("叶绿体")));
  const CommandResult r = Grade(dir.path());
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(GbkText(ReadWholeFile(dir.File(ReportName()))),
            "A\r\nB 2  2\r\n"_gbk + Gbk("乙 2  2"));
}

TEST(HostileFilesTest, DeeplyNestedStartTagsEndInBoundedTime) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(std::string(kParameters) + "<综合题><综合题><综合题>"));
  std::string sheet;
  const GbkText start = Gbk("<姓名>\t");
  while (sheet.size() < (4u << 20)) sheet += start.bytes();
  sheet += Gbk("甲\t</姓名><答题文本>\t光合\t</答题文本>").bytes();
  dir.Write("学生答题文本.txt", sheet);
  const CommandResult r = Grade(dir.path());
  // Stacked names cannot be paired with the one answer: said, not graded.
  EXPECT_EQ(r.exit_code, 3) << r.err;
  EXPECT_NE(r.err.find("答题文本 1 个"), std::string::npos) << r.err;
  EXPECT_FALSE(PathExists(dir.File(ReportName())));
}

TEST(HostileFilesTest, FilesLargerThanTheMemoryAllowedAreNamedNotFatal) {
  // A sparse gigabyte against an address-space limit of 400 MB: the file cannot be
  // held, so it is named, nothing is graded or written, and the program ends normally.
  if (testing::kAddressSanitizer) {
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of shadow memory and cannot "
                    "start under an address-space limit";
  }
  struct Case {
    const char* large;
    const char* small;
    std::string small_bytes;
    std::string says;
  };
  const Case cases[] = {
      {"学生答题文本.txt", "参数设置.txt", Gbk(kParameters).bytes(),
       "学生答题文件“学生答题文本.txt”太大"},
      {"参数设置.txt", "学生答题文本.txt", Record(Gbk("甲"), Gbk("光合")),
       "评分参数文件“参数设置.txt”太大"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write(c.small, c.small_bytes);
    fs::resize_file(dir.Write(c.large, ""), 1ull << 30);
    const CommandResult r = testing::RunShellCommand(
        "ulimit -v 400000; exec " +
            ShellQuote((testing::ProgramDir() / "vantry-grade").string()) + " --quiet",
        dir.path());
    EXPECT_EQ(r.exit_code, 3) << c.large << "\n" << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1.0 GB"), std::string::npos) << r.err;
    EXPECT_FALSE(PathExists(dir.File(ReportName())));
  }
}

TEST(HostileFilesTest, ReportPathThatIsAFolderIsReportedAndKept) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(kParameters));
  dir.Write("学生答题文本.txt", Record(Gbk("甲"), Gbk("光合")));
  fs::create_directory(dir.File(ReportName()));
  dir.Write(ReportName() + "/inside.txt", "kept");
  const CommandResult r = Grade(dir.path());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.out.find("未能保存"), std::string::npos) << r.out;
  EXPECT_EQ(ReadWholeFile(dir.File(ReportName() + "/inside.txt")), "kept");
}

TEST(HostileFilesTest, ReadOnlyProgramFolderKeepsTheEarlierReport) {
  TempDir dir;
  dir.Write("参数设置.txt", Gbk(kParameters));
  dir.Write("学生答题文本.txt", Record(Gbk("甲"), Gbk("光合")));
  dir.Write(ReportName(), "earlier report");
  CommandResult r;
  if (geteuid() != 0) {
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    r = Grade(dir.path());
    fs::permissions(dir.path(), fs::perms::owner_all);
  } else if (CanUsePrivateMounts()) {
    const std::string d = ShellQuote(dir.path().string());
    r = testing::RunShellCommand("unshare -m sh -c " +
                                 ShellQuote("mount --bind " + d + " " + d +
                                            " && mount -o remount,bind,ro " + d + " && " +
                                            GradeCommand(dir.path())));
  } else {
    GTEST_SKIP() << "root without private mounts: a read-only folder cannot be made here";
  }
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_NE(r.out.find("未能保存"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(dir.File(ReportName())), "earlier report");
}

TEST(HostileFilesTest, FullDiskKeepsTheEarlierReport) {
  if (!CanUsePrivateMounts()) {
    GTEST_SKIP() << "needs root and private mounts to put the folder on a small tmpfs";
  }
  TempDir dir;
  TempDir exam;  // the exam is copied onto the small disk inside the namespace
  exam.Write("参数设置.txt", Gbk(kParameters));
  std::string sheet;
  for (int i = 0; i < 2000; ++i)
    sheet += Record(Gbk("学生") + GbkText(std::to_string(i)), Gbk("光合"));
  exam.Write("学生答题文本.txt", sheet);
  exam.Write(ReportName(), "earlier report");
  const std::string d = ShellQuote(dir.path().string());
  // 256 KiB of disk: the exam fits, then a filler takes what is left.
  const std::string script =
      "mount -t tmpfs -o size=256k none " + d + " && cp " +
      ShellQuote(exam.path().string()) + "/* " + d + "/ && " +
      "(dd if=/dev/zero of=" + d + "/filler bs=4k 2>/dev/null; true) && " +
      GradeCommand(dir.path()) + "; code=$?; cat " +
      ShellQuote((dir.path() / ReportName()).string()) + " >&2; exit $code";
  const CommandResult r =
      testing::RunShellCommand("unshare -m sh -c " + ShellQuote(script));
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_NE(r.out.find("未能保存"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "earlier report");
}

}  // namespace
}  // namespace vantry
