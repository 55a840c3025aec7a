#include "cli/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

// Runs a whole grading's worth of updates into a file and returns its text.
std::string Draw(bool terminal, int total) {
  const testing::TempDir dir;
  const std::filesystem::path file = dir.File("progress.txt");
  {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(
        testing::OpenForWriting(file), &std::fclose);
    if (!out) return "cannot open " + PathToUtf8(file);
    ProgressReporter progress(out.get(), terminal);
    for (int i = 1; i <= total; ++i) progress.Update(i, total);
  }
  return ReadWholeFile(file);
}

size_t Count(const std::string& text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != text.npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ProgressReporterTest, TerminalRedrawsABarOncePerPercent) {
  const std::string text = Draw(true, 20000);
  EXPECT_EQ(Count(text, "\r"), 101u);  // 0% to 100%
  EXPECT_EQ(Count(text, "\n"), 1u);
  EXPECT_NE(text.find("\r阅卷进度 [###############---------------]  50%  10000/20000 份"),
            std::string::npos);
  EXPECT_TRUE(text.ends_with("[##############################] 100%  20000/20000 份\n"));
  // A short run still draws every paper it can and ends the line.
  const std::string short_run = Draw(true, 3);
  EXPECT_EQ(Count(short_run, "\r"), 3u);
  EXPECT_TRUE(short_run.ends_with("100%  3/3 份\n"));
}

TEST(ProgressReporterTest, ElsewhereTenPlainLinesForLongRunsAndNoneForShortOnes) {
  const std::string text = Draw(false, 20000);
  EXPECT_EQ(Count(text, "\n"), 10u);
  EXPECT_EQ(Count(text, "\r"), 0u);
  EXPECT_NE(text.find("阅卷进度 2000/20000 份 (10%)\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("阅卷进度 20000/20000 份 (100%)\n"));
  EXPECT_EQ(Draw(false, 30), "");
}

}  // namespace
}  // namespace vantry
