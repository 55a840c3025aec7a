// vantry-grade: the window's grading run for batch use, with the two scoring boxes
// given on the command line. Summary on stdout, progress and problems on stderr.
//
// Exit codes: exit_code.h.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "analysis/rule_proposals.h"
#include "analysis/teacher_marks.h"
#include "cli/console.h"
#include "cli/exit_code.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "cli/run_files.h"
#include "export/proposals_output.h"
#include "export/run_outputs.h"
#include "export/teacher_check.h"
#include "grading/batch_run.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

void PrintText(std::FILE* out, std::string_view utf8) { WriteText(out, utf8); }

// A GBK text for a terminal: UTF-8 with plain line feeds.
std::string ForTerminal(const GbkText& text) {
  std::string utf8;
  for (char c : GbkToUtf8(text)) {
    if (c != '\r') utf8 += c;
  }
  return utf8 + "\n";
}

int Main(std::span<const std::string_view> args) {
  const GradeArguments parsed = ParseGradeArguments(args);
  if (!parsed.ok()) {
    PrintText(stderr, "vantry-grade: " + parsed.message() + "\n" +
                          std::string(kGradeUsage) + "\n");
    return ExitCode(GradeExit::kBadArguments);
  }
  const GradeOptions& options = *parsed;
  if (options.help) {
    PrintText(stdout, std::string(kGradeUsage) + "\n\n" + GradeHelpText());
    return ExitCode(GradeExit::kDone);
  }
  std::error_code error;
  if (!std::filesystem::is_directory(options.directory, error)) {
    PrintText(stderr, "vantry-grade: 文件夹不存在 / no such folder: " +
                          PathToUtf8(options.directory) + "\n" +
                          std::string(kGradeUsage) + "\n");
    return ExitCode(GradeExit::kBadArguments);
  }

  // The JSON record and the proposed rules never replace a file the run reads or
  // writes, nor each other.
  const std::filesystem::path proposals_out =
      options.outputs.propose_out.empty()
          ? PathInDirectory(options.directory, kProposedParametersFileName)
          : options.outputs.propose_out;
  const auto refuse_clash = [](const std::string& option, const std::string& clash) {
    PrintText(stderr, "vantry-grade: " + option + " 不能写到本次阅卷读取或写出的文件‘" +
                          clash + "’ / " + option + " would replace a file of the run\n" +
                          std::string(kGradeUsage) + "\n");
    return ExitCode(GradeExit::kBadArguments);
  };
  if (!options.outputs.json.empty()) {
    const std::filesystem::path named[] = {options.outputs.check, options.outputs.propose,
                                           proposals_out};
    const std::string clash =
        RunFileClash(options.outputs.json, options.directory, named);
    if (!clash.empty()) return refuse_clash("--json", clash);
  }
  if (!options.outputs.propose_out.empty()) {
    if (IsParametersFile(options.outputs.propose_out, options.directory)) {
      PrintText(stderr,
                "vantry-grade: --propose-out 不能是参数设置.txt 本身 / "
                "the proposals never replace 参数设置.txt\n" +
                    std::string(kGradeUsage) + "\n");
      return ExitCode(GradeExit::kBadArguments);
    }
    const std::filesystem::path named[] = {options.outputs.check, options.outputs.propose,
                                           options.outputs.json};
    const std::string clash =
        RunFileClash(options.outputs.propose_out, options.directory, named);
    if (!clash.empty()) return refuse_clash("--propose-out", clash);
  }

  // A marks file that cannot be used stops the run before anything is written.
  const auto read_marks =
      [](const std::filesystem::path& path) -> std::optional<MarksRead> {
    MarksRead read = Failure{};
    try {
      read = ReadTeacherMarks(path);
    } catch (const std::exception&) {
      read = Failure{"无法读取这个文件"};
    }
    if (read.ok()) return read;
    // The problem as the summary shows it: in GBK, a character GBK lacks as "?".
    const std::u8string shown = path.u8string();
    PrintText(stderr, "vantry-grade: " + std::string(shown.begin(), shown.end()) + " " +
                          GbkToUtf8(Utf8ToGbk(read.message())) +
                          "\nvantry-grade: 没有阅卷 / nothing graded.\n");
    return std::nullopt;
  };
  std::optional<MarksRead> marks, propose_marks;
  if (!options.outputs.check.empty() && !(marks = read_marks(options.outputs.check)))
    return ExitCode(GradeExit::kBadArguments);
  if (!options.outputs.propose.empty() &&
      !(propose_marks = read_marks(options.outputs.propose)))
    return ExitCode(GradeExit::kBadArguments);

  ProgramState state;
  BatchOptions batch;
  batch.parameters_load = LoadParameters(state, options.directory);
  batch.directory = options.directory;
  batch.points_per_hit = Utf8ToGbk(options.points);
  batch.order_keys = Utf8ToGbk(options.order);
  batch.jobs = options.jobs;
  RunOutputOptions outputs;
  outputs.directory = options.directory;
  outputs.workbook = options.outputs.workbook;
  outputs.json_path = options.outputs.json;
  if (options.outputs.explain) {
    outputs.explain = [](std::string_view text) { PrintText(stdout, text); };
  }
  outputs.page = options.outputs.page;
  std::string check_text, proposals_text;
  if (marks) {
    outputs.marks =
        TeacherMarksSheet{SheetName(options.outputs.check), std::move(*marks)};
    outputs.check_report = [&check_text](std::string_view text) { check_text = text; };
  }
  if (propose_marks) {
    outputs.propose =
        TeacherMarksSheet{SheetName(options.outputs.propose), std::move(*propose_marks)};
    outputs.propose_out = options.outputs.propose_out;
    outputs.proposals_report = [&proposals_text](std::string_view text) {
      proposals_text = text;
    };
  }
  batch.extra_outputs = MakeRunOutputs(state, std::move(outputs));
  ProgressReporter progress(stderr, IsTerminal(stderr));
  if (!options.quiet) {
    batch.on_progress = [&progress](int64_t graded, int64_t total) {
      progress.Update(graded, total);
    };
  }
  const RunOutcome outcome = GradeBatch(state, batch);
  const GradeExit exit = ExitOfRun(outcome);
  if (!outcome.checked.ok()) {
    PrintText(stderr, "vantry-grade: 没有阅卷 / nothing graded.\n" +
                          outcome.checked.message() + "\n");
    return ExitCode(exit);
  }
  if (options.outputs.explain) PrintText(stdout, "\n");
  PrintText(stdout, ForTerminal(outcome.summary));
  if (!check_text.empty()) PrintText(stdout, "\n" + check_text);
  if (!proposals_text.empty()) PrintText(stdout, "\n" + proposals_text);
  return ExitCode(exit);
}

}  // namespace
}  // namespace vantry

int main(int argc, char** argv) {
  const std::vector<std::string> utf8_args = vantry::Utf8Arguments(argc, argv);
  const std::vector<std::string_view> args(utf8_args.begin(), utf8_args.end());
  return vantry::Main(args);
}
