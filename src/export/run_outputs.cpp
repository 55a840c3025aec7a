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

// The rule proposals when a sheet to learn from is there; the window stays alive while
// they are learned (on a thread of their own when one can be had).
std::optional<ProposalsOutcome> Proposals(const GradedClass& graded,
                                          const ProgramState& state,
                                          const RunOutputOptions& options) {
  ProposalsRequest request;
  if (options.propose) {
    if (!options.propose->read.ok()) return std::nullopt;
    request.marks = options.propose->read.marks;
    request.sheet_name = options.propose->name;
  } else if (!options.marks) {
    const std::filesystem::path sheet =
        PathInDirectory(options.directory, kTeacherMarksFileName);
    if (!PathExists(sheet)) return std::nullopt;
    MarksRead read = ReadTeacherMarks(sheet);
    if (!read.ok()) return std::nullopt;  // the check says what is wrong with it
    request.marks = std::move(read.marks);
    request.sheet_name = SheetName(sheet);
  } else {
    return std::nullopt;
  }
  request.directory = options.directory;
  request.out = options.propose_out;
  const JsonBoxes boxes = options.read_boxes ? options.read_boxes() : options.boxes;
  request.points_text = boxes.points_per_hit;
  request.order_text = boxes.order_keys;
  std::future<ProposalsOutcome> outcome =
      std::async(std::launch::async | std::launch::deferred,
                 [&] { return WriteProposals(graded, state, request); });
  while (outcome.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout)
    ProcessPendingMessages();
  return outcome.get();
}

// Checks the rules against the teacher's marks when there are any and writes the page
// when asked; returns the summary's lines for what went wrong.
std::vector<GbkText> PageNotes(const GradedClass& graded, const ClassStatistics& stats,
                               const RunOutputOptions& options, const LocalDateTime& day,
                               const ProposalsReport* proposals) {
  std::vector<GbkText> notes;
  std::optional<TeacherCheck> check;
  const bool checked = Written([&] {
    if (options.marks) {
      check = CheckAgainstTeacher(graded, options.marks->name, options.marks->read);
      if (options.check_report) options.check_report(TeacherCheckText(*check, graded));
    } else {
      check = CheckBesideExam(graded, options.directory);
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
  return [&state, options = std::move(options)](const GradedClass& graded,
                                                const LocalDateTime& report_dated) {
    std::vector<GbkText> notes;
    if (!options.workbook && options.json_path.empty() && !options.explain &&
        !options.page && !options.marks && !options.propose &&
        !PathExists(PathInDirectory(options.directory, kTeacherMarksFileName)))
      return notes;
    const ClassStatistics stats = ComputeClassStatistics(graded, state);
    if (options.explain) Explain(graded, stats, options.explain);
    // The proposals first: the page and the workbook show them.
    std::optional<ProposalsOutcome> proposals;
    if (!Written([&] {
          proposals = Proposals(graded, state, options);
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
      page_notes = std::async(std::launch::async | std::launch::deferred, [&] {
        return PageNotes(graded, stats, options, report_dated, report);
      });
    }
    if (options.workbook) {
      const std::string name = WorkbookFileName(report_dated);
      WorkbookOptions book;
      if (report) {
        book.extra_sheets.push_back({kProposalsSheetName, [report](SheetCells& cells) {
                                       WriteProposalsSheet(*report, cells);
                                     }});
      }
      if (!Written([&] {
            return WriteWorkbook(graded, stats, PathInDirectory(options.directory, name),
                                 book);
          })) {
        notes.push_back(Utf8ToGbk("成绩表未能保存到‘" + name + "’！"));
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
