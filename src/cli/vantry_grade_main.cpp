// vantry-grade: the window's grading run for batch use, with the two scoring boxes
// given on the command line. Summary on stdout, progress and hints on stderr.
//
// Exit codes: 0 graded and report written, 1 report not written, 2 bad arguments.
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/controls/control_names.h"
#include "app/controls/in_memory_controls.h"
#include "cli/console.h"
#include "cli/encoding_hint.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "grading/answer_sheet.h"
#include "grading/grading_run.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"
#include "text/command_line.h"
#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/utf8_path.h"

namespace vantry {
namespace {

constexpr std::string_view kHelp =
    "Grades the answer sheet 学生答题文本.txt against 参数设置.txt, as the window's\n"
    "grading button does, and writes 阅卷结果yyyyMMdd.txt beside them.\n"
    "\n"
    "  --dir DIR       folder of the two files and the report (default: current folder)\n"
    "  --points TEXT   the 分值 box: points per matched keyword group (default 2;\n"
    "                  an empty text is an empty box, worth 0)\n"
    "  --order TEXT    the 先后顺序 box, e.g. 1-2,1-3 (default empty)\n"
    "  --quiet         no progress on stderr\n"
    "  --help          this text\n"
    "\n"
    "Exit status: 0 done, 1 the report could not be written, 2 bad arguments.\n";

void PrintText(std::FILE* out, std::string_view utf8) { WriteText(out, utf8); }

// The summary box's text for a terminal: UTF-8 with plain line feeds.
std::string SummaryForTerminal(const GbkText& summary) {
  std::string text;
  for (char c : GbkToUtf8(summary)) {
    if (c != '\r') text += c;
  }
  return text + "\n";
}

// Tells the teacher when an exam file exists but reads as nothing because it was saved
// in UTF-8 or UTF-16, or when it is missing altogether.
void ExplainEmptyFile(const std::filesystem::path& directory, std::string_view utf8_name,
                      std::string_view missing_consequence) {
  const std::filesystem::path path = PathInDirectory(directory, utf8_name);
  if (!PathExists(path)) {
    PrintText(stderr, "vantry-grade: 没有找到“" + std::string(utf8_name) + "”，" +
                          std::string(missing_consequence) + "\n");
    return;
  }
  const std::string hint =
      SaveAsGbkHint(utf8_name, DetectForeignEncoding(ReadWholeFile(path)));
  if (!hint.empty()) PrintText(stderr, "vantry-grade: " + hint + "\n");
}

int Main(std::span<const std::string_view> args) {
  const GradeArguments parsed = ParseGradeArguments(args);
  if (!parsed.error.empty()) {
    PrintText(stderr,
              "vantry-grade: " + parsed.error + "\n" + std::string(kGradeUsage) + "\n");
    return 2;
  }
  const GradeOptions& options = parsed.options;
  if (options.help) {
    PrintText(stdout, std::string(kGradeUsage) + "\n\n" + std::string(kHelp));
    return 0;
  }
  std::error_code error;
  if (!std::filesystem::is_directory(options.directory, error)) {
    PrintText(stderr, "vantry-grade: 文件夹不存在 / no such folder: " +
                          PathToUtf8(options.directory) + "\n" +
                          std::string(kGradeUsage) + "\n");
    return 2;
  }

  ProgramState state;
  LoadParameters(state, options.directory);
  if (state.rule_list.empty()) {
    ExplainEmptyFile(
        options.directory, kParametersFileName,
        "没有评分规则，每题都记 0 分。/ no scoring rules: every question scores 0.");
  }

  InMemoryControls controls;
  controls.SetControlText(controls::kPointsPerHit, Utf8ToGbk(options.points));
  controls.SetControlText(controls::kOrderKeys, Utf8ToGbk(options.order));

  ProgressReporter progress(stderr, IsTerminal(stderr));
  GradingOptions grading;
  grading.directory = options.directory;
  grading.pause_ms = 0;
  if (!options.quiet) {
    grading.on_paper_graded = [&progress](int graded, int total) {
      progress.Update(graded, total);
    };
  }
  const GradingOutcome outcome = RunGrading(state, controls, grading);
  if (outcome.paper_count == 0) {
    ExplainEmptyFile(options.directory, kAnswerSheetFileName,
                     "没有试卷可批。/ no papers to grade.");
  }
  PrintText(stdout, SummaryForTerminal(outcome.summary));
  return outcome.report.written ? 0 : 1;
}

}  // namespace
}  // namespace vantry

int main(int argc, char** argv) {
  const std::vector<std::string> utf8_args = vantry::Utf8Arguments(argc, argv);
  const std::vector<std::string_view> args(utf8_args.begin(), utf8_args.end());
  return vantry::Main(args);
}
