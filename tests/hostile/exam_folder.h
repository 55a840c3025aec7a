// What the hostile tests of vantry-grade share: records of an answer sheet, today's
// report name and the command that grades a folder.
#ifndef VANTRY_TESTS_HOSTILE_EXAM_FOLDER_H_
#define VANTRY_TESTS_HOSTILE_EXAM_FOLDER_H_

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

#include "testing/test_support.h"

namespace vantry::testing {

// One student's record, name and answer between their tags: the bytes of the sheet.
inline std::string Record(GbkView name, GbkView answer) {
  return (Gbk("<姓名>\t") + name + Gbk("\t</姓名><答题文本>\t") + answer +
          Gbk("\t</答题文本>\r\n"))
      .bytes();
}

// Today's report name (UTF-8), as the program builds it from the local date.
inline std::string ReportName() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[16];
  std::strftime(date, sizeof date, "%Y%m%d", &local);
  return std::string("阅卷结果") + date + ".txt";
}

// The shell command that grades `dir` quietly.
inline std::string GradeCommand(const std::filesystem::path& dir) {
  return ShellQuote((ProgramDir() / "vantry-grade").string()) + " --dir " +
         ShellQuote(dir.string()) + " --quiet";
}

// Whether the test may run scripts as root in a private mount namespace (unshare -m),
// so that it can mount over its own folders without touching the machine.
inline bool CanUsePrivateMounts() {
  return geteuid() == 0 && RunShellCommand("unshare -m true").exit_code == 0 &&
         RunShellCommand("unshare -m sh -c 'mount -t tmpfs -o size=64k none /mnt'")
                 .exit_code == 0;
}

}  // namespace vantry::testing

#endif  // VANTRY_TESTS_HOSTILE_EXAM_FOLDER_H_
