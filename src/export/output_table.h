// The further outputs a run leaves beside its report, one entry each: what the summary
// calls it, the file it goes to and the writer that writes it, what the summary says
// when it could not be done, and the options of vantry-grade's command line that turn
// it off or ask for it, with their help. The run's outputs (run_outputs.h) write the
// files by these entries, and the command line's parser and help text and the names
// the run's files are known by all come from here.
#ifndef VANTRY_EXPORT_OUTPUT_TABLE_H_
#define VANTRY_EXPORT_OUTPUT_TABLE_H_

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "export/kept_outputs.h"
#include "platform/clock.h"
#include "platform/result.h"

namespace vantry {

// What is asked of the further outputs: by the window always the defaults, by
// vantry-grade its command line.
struct OutputChoices {
  bool workbook = true;
  // The analysis page beside the report.
  bool page = true;
  // Where the JSON record goes (relative to the working folder); empty: no record.
  std::filesystem::path json;
  // Every paper's explanation, before the summary.
  bool explain = false;
  // The teacher's marks to check the rules against (relative to the working folder);
  // empty: the sheet beside the exam, when there is one.
  std::filesystem::path check;
  // The teacher's marks to learn rule proposals from, and where the proposed rules go
  // (empty: 参数设置_建议.txt in the exam's folder).
  std::filesystem::path propose;
  std::filesystem::path propose_out;
};

// One option of the command line that chooses an output. A switch (no `value`) sets
// its `toggle` to `set_to`; an option with a value stores it as a path in `file`.
struct OutputOption {
  std::string_view name = {};   // e.g. "--no-xlsx", "--json"
  std::string_view value = {};  // the value's placeholder in the help, e.g. "FILE"
  bool OutputChoices::*toggle = nullptr;
  bool set_to = false;
  std::filesystem::path OutputChoices::*file = nullptr;
  // What an empty value is told, after the option's name: "needs a file".
  std::string_view missing = {};
  // Its help (UTF-8): the text after the option's column, lines joined by "\n".
  std::string_view help = {};
};

// What the writers of the file outputs read: the graded class and what the run found
// (output_writers.h).
struct OutputWork;

// Writes one output's file to `path`, replacing a file there whole or not at all.
using OutputWriter = Status (*)(const OutputWork& work,
                                const std::filesystem::path& path);

// The writers of the entries below (output_writers.cpp).
Status WriteWorkbookOutput(const OutputWork& work, const std::filesystem::path& path);
Status WritePageOutput(const OutputWork& work, const std::filesystem::path& path);
Status WriteJsonOutput(const OutputWork& work, const std::filesystem::path& path);

struct FurtherOutput {
  // As the summary names it (UTF-8), e.g. 成绩表.
  std::string_view name = {};
  // A file beside the report dated like it: stem + yyyyMMdd + extension (UTF-8);
  // empty stem: not such a file.
  std::string_view file_stem = {};
  std::string_view file_extension = {};
  // A file of its own, written by `write`: beside the report when it has a stem
  // (asked for by `wanted`), otherwise where `to` says (asked for when that is set).
  // Null for an output that is no file of its own, or whose lines are its own.
  OutputWriter write = nullptr;
  bool OutputChoices::*wanted = nullptr;
  std::filesystem::path OutputChoices::*to = nullptr;
  // How a file beside the report that was changed after the program wrote it is told
  // (kept_outputs.h).
  OutputKind stamped_as = OutputKind::kPage;
  // The summary's line for a file not written adds why, in the writer's words.
  bool says_why = false;
  // Written on a thread of its own beside the others when one can be had: its writer
  // runs no message pump, so it need not run on the window's thread.
  bool beside_others = false;
  // The options that choose it, in the help's order (an empty name ends the list).
  std::array<OutputOption, 2> options = {};
};

inline constexpr FurtherOutput kWorkbookOutput{
    .name = "成绩表",
    .file_stem = "阅卷结果",
    .file_extension = ".xlsx",
    .write = WriteWorkbookOutput,
    .wanted = &OutputChoices::workbook,
    .stamped_as = OutputKind::kWorkbook,
    .says_why = true,
    .options = {{{.name = "--no-xlsx",
                  .toggle = &OutputChoices::workbook,
                  .set_to = false,
                  .help = "no workbook"}}}};

inline constexpr FurtherOutput kPageOutput{
    .name = "分析页",
    .file_stem = "阅卷分析",
    .file_extension = ".html",
    .write = WritePageOutput,
    .wanted = &OutputChoices::page,
    .stamped_as = OutputKind::kPage,
    .beside_others = true,
    .options = {{{.name = "--no-html",
                  .toggle = &OutputChoices::page,
                  .set_to = false,
                  .help = "no analysis page 阅卷分析yyyyMMdd.html"}}}};

inline constexpr FurtherOutput kJsonOutput{
    .name = "JSON 记录",
    .write = WriteJsonOutput,
    .to = &OutputChoices::json,
    .options = {{{.name = "--json",
                  .value = "FILE",
                  .file = &OutputChoices::json,
                  .missing = "needs a file",
                  .help = "also write every paper's full record as JSON to FILE (never\n"
                          "over the exam's files, the report, the workbook, the page or\n"
                          "the proposed rules)"}}}};

inline constexpr FurtherOutput kExplanationOutput{
    .name = "解释",
    .options = {{{.name = "--explain",
                  .toggle = &OutputChoices::explain,
                  .set_to = true,
                  .help = "print how every question of every paper was scored (UTF-8),\n"
                          "before the summary"}}}};

inline constexpr FurtherOutput kCheckOutput{
    .name = "与教师评分的核对",
    .options = {
        {{.name = "--check",
          .value = "FILE",
          .file = &OutputChoices::check,
          .missing = "needs a CSV file",
          .help = "check the rules against the teacher's own marks in FILE (CSV:\n"
                  "姓名,第1题,第2题,…) and print how well they agree, after the\n"
                  "summary; without it the page holds that check when 教师评分.csv\n"
                  "lies in DIR"}}}};

inline constexpr FurtherOutput kProposalsOutput{
    .name = "规则建议",
    .options = {
        {{.name = "--propose",
          .value = "FILE",
          .file = &OutputChoices::propose,
          .missing = "needs a CSV file",
          .help = "learn rule proposals from the papers the teacher marked in FILE\n"
                  "(CSV as for --check), print them with the agreement to expect\n"
                  "on papers they were not learned from, and write the proposed\n"
                  "rules to 参数设置_建议.txt in DIR (参数设置.txt is never "
                  "changed);\n"
                  "without it the same happens when 教师评分.csv lies in DIR"},
         {.name = "--propose-out",
          .value = "FILE",
          .file = &OutputChoices::propose_out,
          .missing = "needs a file",
          .help = "write the proposed rules to FILE instead (never over a file\n"
                  "the run reads or writes)"}}}};

// Every further output, in the order the help lists their options.
inline constexpr std::array<const FurtherOutput*, 6> kFurtherOutputs = {
    &kWorkbookOutput,    &kPageOutput,  &kJsonOutput,
    &kExplanationOutput, &kCheckOutput, &kProposalsOutput};

// The dated file name (UTF-8) of `output` for the day of `dated`, e.g.
// 阅卷结果20261208.xlsx; empty for an output that is not a dated file.
std::string DatedOutputName(const FurtherOutput& output, const LocalDateTime& dated);

// The summary's line (UTF-8) for an output that could not be done: its name and
// "未能完成！".
std::string NotDoneLine(const FurtherOutput& output);

}  // namespace vantry

#endif  // VANTRY_EXPORT_OUTPUT_TABLE_H_
