#include "export/run_outputs.h"

#include <chrono>
#include <exception>
#include <future>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "analysis/class_statistics.h"
#include "export/analysis_page.h"
#include "export/explanation.h"
#include "export/proposals_output.h"
#include "export/proposals_sheet.h"
#include "export/teacher_check.h"
#include "export/workbook.h"
#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/message_pump.h"

namespace vantry {
namespace {

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
    for (const std::string& row : rows) text.append("  ").append(row).append("\n");
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

// The rule proposals learned from `sheet` when it can be used; the window stays alive
// while they are learned (on a thread of their own when one can be had).
std::optional<ProposalsOutcome> Proposals(const GradedClass& graded,
                                          const ProgramState& state,
                                          const RunOutputOptions& options,
                                          const TeacherMarksSheet* sheet) {
  // A sheet that cannot be used is named by the check.
  if (sheet == nullptr || !sheet->read.ok()) return std::nullopt;
  ProposalsRequest request;
  request.directory = options.directory;
  request.out = options.propose_out;
  const JsonBoxes boxes = options.read_boxes ? options.read_boxes() : options.boxes;
  request.points_text = boxes.points_per_hit;
  request.order_text = boxes.order_keys;
  std::future<ProposalsOutcome> outcome =
      std::async(std::launch::async | std::launch::deferred,
                 [&] { return WriteProposals(graded, state, *sheet, request); });
  while (outcome.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout)
    ProcessPendingMessages();
  return outcome.get();
}

// Checks the rules against the teacher's marks when there are any and writes the page
// when asked; returns the summary's lines for what went wrong.
std::vector<GbkText> PageNotes(const GradedClass& graded, const ClassStatistics& stats,
                               const RunOutputOptions& options,
                               std::optional<TeacherMarksSheet> marks,
                               const LocalDateTime& day,
                               const ProposalsReport* proposals) {
  std::vector<GbkText> notes;
  std::optional<TeacherCheck> check;
  const bool checked = Written([&] {
    if (marks) {
      check = CheckAgainstTeacher(graded, std::move(marks->name), std::move(marks->read));
      if (options.check_report) options.check_report(TeacherCheckText(*check, graded));
    }
    return true;
  });
  if (!checked) {
    check.reset();
    notes.push_back(Utf8ToGbk("与教师评分的核对未能完成！"));
  }
  if (check && !check->ok()) notes.push_back(TeacherCheckProblemLine(*check));
  if (options.page) {
    const AnalysisPageResult page = WriteAnalysisPage(graded, stats,
                                                      {.directory = options.directory,
                                                       .day = day,
                                                       .check = check ? &*check : nullptr,
                                                       .proposals = proposals});
    notes.insert(notes.end(), page.notes.begin(), page.notes.end());
  }
  return notes;
}

}  // namespace

ExtraOutputs MakeRunOutputs(const ProgramState& state, RunOutputOptions options) {
  // The sheet beside the exam: checked on the page, and learned from when no other
  // sheet was given for either.
  std::optional<TeacherMarksSheet> beside;
  const bool learn_beside = !options.marks && !options.propose;
  if (!options.marks && (options.page || learn_beside)) {
    beside = ReadSheetBesideExam(options.directory);
  }
  // Made for one run: the marks go into its check rather than being copied.
  return [&state, options = std::move(options), beside = std::move(beside), learn_beside](
             const GradedClass& graded, const LocalDateTime& report_dated) mutable {
    std::vector<GbkText> notes;
    if (!options.workbook && options.json_path.empty() && !options.explain &&
        !options.page && !options.marks && !options.propose && !beside)
      return notes;
    const ClassStatistics stats = ComputeClassStatistics(graded, state);
    if (options.explain) Explain(graded, stats, options.explain);
    // The proposals first: the page and the workbook show them.
    std::optional<ProposalsOutcome> proposals;
    if (!Written([&] {
          proposals =
              Proposals(graded, state, options,
                        options.propose ? &*options.propose
                                        : (learn_beside && beside ? &*beside : nullptr));
          return true;
        })) {
      proposals.reset();
      notes.push_back(Utf8ToGbk("规则建议未能完成！"));
    }
    const ProposalsReport* report = proposals ? &proposals->report : nullptr;
    if (proposals) {
      notes.insert(notes.end(), proposals->notes.begin(), proposals->notes.end());
      if (options.proposals_report) options.proposals_report(ProposalsText(*report));
    }
    // The page (with the check of the teacher's marks) is written beside the workbook
    // on a thread of its own when one can be had: both only read the class.
    std::future<std::vector<GbkText>> page_notes;
    if (options.page || options.marks) {
      std::optional<TeacherMarksSheet> marks =
          options.marks
              ? std::exchange(options.marks, std::nullopt)
              : (options.page ? std::exchange(beside, std::nullopt) : std::nullopt);
      page_notes = std::async(std::launch::async | std::launch::deferred,
                              [&, marks = std::move(marks)]() mutable {
                                return PageNotes(graded, stats, options, std::move(marks),
                                                 report_dated, report);
                              });
    }
    if (options.workbook) {
      const std::string name = WorkbookFileName(report_dated);
      WorkbookResult workbook{WorkbookProblem::kFailed};
      WorkbookOptions book{.created = report_dated};
      if (report) {
        book.extra_sheets.push_back({kProposalsSheetName, [report](SheetCells& cells) {
                                       WriteProposalsSheet(*report, cells);
                                     }});
      }
      Written([&] {
        workbook =
            WriteWorkbook(graded, stats, PathInDirectory(options.directory, name), book);
        return true;
      });
      if (!workbook.written()) {
        notes.push_back(Utf8ToGbk("成绩表未能保存到‘" + name + "’！（" +
                                  WorkbookProblemText(workbook.problem) + "）"));
      }
    }
    if (!options.json_path.empty() && !Written([&] {
          return WriteJsonRecord(graded, stats, options.boxes, options.json_path);
        })) {
      const std::u8string shown = options.json_path.u8string();
      notes.push_back(Utf8ToGbk("JSON 记录未能保存到‘" +
                                std::string(shown.begin(), shown.end()) + "’！"));
    }
    if (page_notes.valid()) {
      std::vector<GbkText> more = page_notes.get();
      notes.insert(notes.end(), std::make_move_iterator(more.begin()),
                   std::make_move_iterator(more.end()));
    }
    return notes;
  };
}

}  // namespace vantry
