#include "export/run_outputs.h"

#include <chrono>
#include <exception>
#include <future>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/class_statistics.h"
#include "analysis/review_list.h"
#include "analysis/total_changes.h"
#include "export/analysis_page.h"
#include "export/answer_marks.h"
#include "export/explanation.h"
#include "export/json_record.h"
#include "export/kept_outputs.h"
#include "export/output_table.h"
#include "export/proposals_output.h"
#include "export/proposals_sheet.h"
#include "export/review_rows.h"
#include "export/run_description.h"
#include "export/teacher_check.h"
#include "export/workbook.h"
#include "platform/file_io.h"
#include "platform/message_pump.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// Characters of an answer --explain shows on its line.
constexpr size_t kExplainedAnswerCharacters = 60;

void Explain(const GradedClass& graded, const ClassStatistics& stats,
             const std::function<void(std::string_view)>& sink) {
  PaperRecord record;
  std::vector<std::string> rows;
  std::string text;
  for (size_t i = 0; i < graded.paper_count(); ++i) {
    graded.Record(i, record);
    ExplainPaper(record, graded, rows);
    text.clear();
    AppendOneLine(record.name, text);
    text += "  总分 " + std::to_string(record.total) + "，名次 " +
            std::to_string(stats.ranks[i]) + "\n";
    for (size_t q = 0; q < rows.size(); ++q) {
      text.append("  ").append(rows[q]).append("\n");
      if (q < record.questions.size() && !record.questions[q].answer.empty()) {
        text += "    答案：" +
                AnswerExcerpt(record, record.questions[q], kExplainedAnswerCharacters) +
                "\n";
      }
    }
    sink(text);
  }
}

// Runs one output's writer; an output that throws (no memory, no thread) counts as not
// written, like one the system refused, and never stops the run.
template <typename Write>
bool Written(Write write) {
  try {
    return write();
  } catch (const std::exception&) {
    return false;
  }
}

// The rule proposals learned from `sheet` when it can be used, scored with the boxes
// the run ended with; the window stays alive while they are learned (on a thread of
// their own when one can be had).
std::optional<ProposalsOutcome> Proposals(const FinishedRun& run,
                                          const ProgramState& state,
                                          const RunOutputOptions& options,
                                          const TeacherMarksSheet* sheet) {
  // A sheet that cannot be used is named by the check.
  if (sheet == nullptr || !sheet->read.ok()) return std::nullopt;
  const ProposalsRequest request{.directory = options.directory,
                                 .out = options.propose_out,
                                 .points_text = run.points_per_hit,
                                 .order_text = run.order_keys};
  std::future<ProposalsOutcome> outcome =
      std::async(std::launch::async | std::launch::deferred,
                 [&] { return WriteProposals(run.graded, state, *sheet, request); });
  while (outcome.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout)
    ProcessPendingMessages();
  return outcome.get();
}

// What one file output left for the summary.
struct FileOutcome {
  bool written = false;
  std::vector<GbkText> lines;
};

// What a writer of one file gave: whether it wrote the file and, when it did not, why
// in a few words (UTF-8; empty when it cannot say).
struct FileWrite {
  bool written = false;
  std::string why;
};

// Writes one of the workbook and the page where PlaceOutput puts it, with the lines
// saying where it went, that a changed file was kept, or that it could not be written
// and why.
template <typename Write>
FileOutcome WriteFile(const std::optional<OutputPlace>& place, const std::string& name,
                      const std::string& what, Write write) {
  FileOutcome outcome;
  if (!place) {
    outcome.lines.push_back(Utf8ToGbk(what + "未能保存：‘" + name +
                                      "’和它旁边编过号的文件都在程序写出后被改动过！"));
    return outcome;
  }
  FileWrite result;
  outcome.written = Written([&] {
    result = write(place->path);
    return result.written;
  });
  if (!outcome.written) {
    outcome.lines.push_back(
        Utf8ToGbk(what + "未能保存到‘" + place->name + "’！" +
                  (result.why.empty() ? "" : "（" + result.why + "）")));
  } else if (!place->kept_name.empty()) {
    outcome.lines.push_back(Utf8ToGbk("‘" + place->kept_name +
                                      "’在程序写出后被改动过，已保留；新的" + what +
                                      "保存在‘" + place->name + "’！"));
  } else {
    outcome.lines.push_back(Utf8ToGbk(what + "已保存在‘" + place->name + "’！"));
  }
  return outcome;
}

}  // namespace

ExtraOutputs MakeRunOutputs(const ProgramState& state, RunOutputOptions options) {
  // The sheet beside the exam: checked whenever the workbook or the page is written,
  // and learned from when no sheet was given for either.
  const bool learn_beside = !options.marks && !options.propose;
  const bool check_beside = !options.marks && (options.workbook || options.page);
  std::optional<TeacherMarksSheet> beside;
  if (learn_beside || check_beside) beside = ReadSheetBesideExam(options.directory);
  // Made for one run: the marks go into its check rather than being copied.
  return [&state, options = std::move(options), beside = std::move(beside), learn_beside,
          check_beside](const FinishedRun& run) mutable {
    OutputNotes notes;
    std::vector<GbkText> proposals_lines;
    const GradedClass& graded = run.graded;
    // What the report this run replaced said; like every extra, never a stopped run.
    TotalChanges changes;
    GbkText changes_line;
    Written([&] {
      if (run.replaced_report) {
        changes = CompareWithReplacedReport(graded, *run.replaced_report);
        changes_line = TotalChangesLine(graded, changes);
      }
      return true;
    });
    if (!options.workbook && options.json_path.empty() && !options.explain &&
        !options.page && !options.marks && !options.propose && !beside) {
      if (!changes_line.empty()) notes.lines.push_back(changes_line);
      return notes;
    }
    const ClassStatistics stats = ComputeClassStatistics(graded, state);
    if (options.explain) Explain(graded, stats, options.explain);

    // The proposals first: the page and the workbook show them.
    std::optional<ProposalsOutcome> proposals;
    if (!Written([&] {
          proposals =
              Proposals(run, state, options,
                        options.propose ? &*options.propose
                                        : (learn_beside && beside ? &*beside : nullptr));
          return true;
        })) {
      proposals.reset();
      notes.failed = true;
      proposals_lines.push_back(Utf8ToGbk(NotDoneLine(kProposalsOutput)));
    }
    const ProposalsReport* report = proposals ? &proposals->report : nullptr;
    if (proposals) {
      proposals_lines = std::move(proposals->lines);
      notes.failed = notes.failed || !proposals->written;
      if (options.proposals_report) options.proposals_report(ProposalsText(*report));
    }

    // The check against the teacher's marks: the sheet given, or the one beside the
    // exam.
    std::optional<TeacherCheck> check;
    const bool checked = Written([&] {
      if (std::optional<TeacherMarksSheet> marks =
              options.marks ? std::exchange(options.marks, {})
                            : (check_beside ? std::exchange(beside, {}) : std::nullopt)) {
        check =
            CheckAgainstTeacher(graded, std::move(marks->name), std::move(marks->read));
        if (options.check_report) options.check_report(TeacherCheckText(*check, graded));
      }
      return true;
    });

    std::vector<GbkText> check_lines;
    if (!checked) {
      check.reset();
      check_lines.push_back(Utf8ToGbk(NotDoneLine(kCheckOutput)));
      notes.failed = true;
    } else if (check) {
      check_lines.push_back(TeacherCheckSummaryLine(*check));
      if (!check->ok()) notes.failed = true;
    }

    std::optional<FileOutcome> workbook, page;
    if (options.workbook || options.page) {
      const RunDescription description = DescribeRun(options.directory, run);
      ReviewList review;
      Written([&] {
        review = FindPapersToReview(graded, stats,
                                    check && check->ok() ? &check->comparison : nullptr);
        return true;
      });
      const TeacherCheck* shown_check = check ? &*check : nullptr;
      const std::string workbook_name = DatedOutputName(kWorkbookOutput, run.dated);
      const std::optional<OutputPlace> workbook_place =
          options.workbook
              ? PlaceOutput(options.directory, workbook_name, OutputKind::kWorkbook)
              : std::nullopt;
      // The page is written beside the workbook on a thread of its own when one can be
      // had: both only read the class.
      std::future<FileOutcome> page_written;
      if (options.page) {
        page_written = std::async(std::launch::async | std::launch::deferred, [&] {
          const std::string name = DatedOutputName(kPageOutput, run.dated);
          const AnalysisPageContent content{
              .description = description,
              .check = shown_check,
              .proposals = report,
              .review = &review,
              .changes = run.replaced_report ? &changes : nullptr,
              .workbook_name = workbook_place ? workbook_place->name : std::string(),
              .limits = {}};
          return WriteFile(
              PlaceOutput(options.directory, name, OutputKind::kPage), name,
              std::string(kPageOutput.name), [&](const std::filesystem::path& path) {
                // The page's line does not say why.
                return FileWrite{WriteAnalysisPage(graded, stats, content, path).ok(),
                                 {}};
              });
        });
      }
      if (options.workbook) {
        const WorkbookContent content{
            .description = description,
            .check = shown_check,
            .review = &review,
            .changes = run.replaced_report ? &changes : nullptr};
        workbook = WriteFile(
            workbook_place, workbook_name, std::string(kWorkbookOutput.name),
            [&](const std::filesystem::path& path) {
              WorkbookOptions book{.created = run.dated};
              if (report) {
                book.extra_sheets.push_back(
                    {kProposalsSheetName, [report](SheetCells& cells) {
                       WriteProposalsSheet(*report, cells);
                     }});
              }
              const Status written = WriteWorkbook(graded, stats, path, content, book);
              return FileWrite{written.ok(), written.message()};
            });
      }
      if (page_written.valid()) page = page_written.get();
    }

    for (const std::optional<FileOutcome>* file : {&workbook, &page}) {
      if (!*file) continue;
      notes.lines.insert(notes.lines.end(), (*file)->lines.begin(), (*file)->lines.end());
      if (!(*file)->written) notes.failed = true;
    }
    if (!options.json_path.empty()) {
      const std::u8string shown = options.json_path.u8string();
      const std::string path(shown.begin(), shown.end());
      if (Written([&] {
            return WriteJsonRecord(graded, stats, {run.points_per_hit, run.order_keys},
                                   options.json_path)
                .ok();
          })) {
        notes.lines.push_back(
            Utf8ToGbk(std::string(kJsonOutput.name) + "已保存在‘" + path + "’！"));
      } else {
        notes.lines.push_back(
            Utf8ToGbk(std::string(kJsonOutput.name) + "未能保存到‘" + path + "’！"));
        notes.failed = true;
      }
    }
    notes.lines.insert(notes.lines.end(), proposals_lines.begin(), proposals_lines.end());
    notes.lines.insert(notes.lines.end(), check_lines.begin(), check_lines.end());
    if (!changes_line.empty()) notes.lines.push_back(changes_line);
    return notes;
  };
}

}  // namespace vantry
