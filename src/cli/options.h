// The command line of vantry-grade.
#ifndef VANTRY_CLI_OPTIONS_H_
#define VANTRY_CLI_OPTIONS_H_

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "export/output_table.h"
#include "platform/result.h"

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
  // The further outputs asked for, by the options of their entries in
  // kFurtherOutputs (output_table.h).
  OutputChoices outputs;
  bool help = false;
};

// The options, or what is wrong with the arguments, in one line.
using GradeArguments = Result<GradeOptions>;

// The help text printed after the usage line: what the program does, every option
// (those of the further outputs from kFurtherOutputs) and the exit status (UTF-8).
std::string GradeHelpText();

// Reads the arguments after the program name, in UTF-8. "--name VALUE" and "--name=VALUE"
// are both accepted; the word after an option that takes a value is its value whatever it
// looks like (it may be empty or begin with "-"). A later repetition overrides an
// earlier one. "-h" is "--help". --propose-out needs --propose.
[[nodiscard]] GradeArguments ParseGradeArguments(std::span<const std::string_view> args);

}  // namespace vantry

#endif  // VANTRY_CLI_OPTIONS_H_
