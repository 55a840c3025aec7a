// The command line of vantry-grade.
#ifndef VANTRY_CLI_OPTIONS_H_
#define VANTRY_CLI_OPTIONS_H_

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace vantry {

// One line: what vantry-grade accepts.
inline constexpr std::string_view kGradeUsage =
    "usage: vantry-grade [--dir DIR] [--points TEXT] [--order TEXT] [--jobs N] "
    "[--quiet]\n"
    "                    [--no-xlsx] [--no-html] [--json FILE] [--explain]\n"
    "                    [--check MARKS.csv] [--propose MARKS.csv [--propose-out FILE]]\n"
    "                    [--help]";

struct GradeOptions {
  // The folder that holds the answer sheet and the parameters file; the report is
  // written there too.
  std::filesystem::path directory = ".";
  // The points box and the order box exactly as typed (UTF-8). An empty text is an
  // empty box, worth 0, not the default.
  std::string points = "2";
  std::string order;
  // Threads that grade; 0: one per hardware thread.
  int jobs = 0;
  // No progress on stderr.
  bool quiet = false;
  // No workbook beside the report.
  bool no_xlsx = false;
  // Where to write the JSON record (relative to the working folder); empty: none.
  std::filesystem::path json;
  // Every paper's explanation on stdout, before the summary.
  bool explain = false;
  // No analysis page beside the report.
  bool no_html = false;
  // The teacher's marks to check the rules against (relative to the working folder);
  // empty: no check printed.
  std::filesystem::path check;
  // The teacher's marks to learn rule proposals from (relative to the working
  // folder), and where the proposed rules go (empty: 参数设置_建议.txt in the folder).
  std::filesystem::path propose;
  std::filesystem::path propose_out;
  bool help = false;
};

struct GradeArguments {
  GradeOptions options;
  // Empty when the arguments are valid; otherwise says what is wrong, in one line.
  std::string error;
};

// Reads the arguments after the program name, in UTF-8. "--name VALUE" and "--name=VALUE"
// are both accepted; the word after an option that takes a value is its value whatever it
// looks like (it may be empty or begin with "-"). A later repetition overrides an
// earlier one. "-h" is "--help". --propose-out needs --propose.
GradeArguments ParseGradeArguments(std::span<const std::string_view> args);

}  // namespace vantry

#endif  // VANTRY_CLI_OPTIONS_H_
