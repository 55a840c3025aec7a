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
#include "export/answer_marks.h"
#include "export/explanation.h"
#include "export/kept_outputs.h"
#include "export/output_table.h"
#include "export/output_writers.h"
#include "export/proposals_output.h"
#include "export/review_rows.h"
#include "export/run_description.h"
#include "export/teacher_check.h"
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

// A file output asked for, and where it goes: beside the report where PlaceOutput puts
// it (none when every name there is taken by a changed file), or where its option says.
struct PlannedFile {
  const FurtherOutput* output = nullptr;
  std::string name;
  std::optional<OutputPlace> place;
};

// The file outputs of the table that `asked` asks for, in the table's order.
std::vector<PlannedFile> PlanFiles(const OutputChoices& asked,
                                   const std::filesystem::path& directory,
                                   const LocalDateTime& dated) {
  std::vector<PlannedFile> planned;
  for (const FurtherOutput* output : kFurtherOutputs) {
    if (output->write == nullptr) continue;
    if (output->wanted != nullptr && asked.*(output->wanted)) {
      std::string name = DatedOutputName(*output, dated);
      std::optional<OutputPlace> place = PlaceOutput(directory, name, output->stamped_as);
      planned.push_back({output, std::move(name), std::move(place)});
    } else if (output->to != nullptr && !(asked.*(output->to)).empty()) {
      const std::filesystem::path& path = asked.*(output->to);
      const std::u8string shown = path.u8string();
      std::string name(shown.begin(), shown.end());
      planned.push_back({output, name, OutputPlace{path, name, {}}});
    }
  }
  return planned;
}

// Writes one planned file, with the lines saying where it went, that a changed file
// was kept, or that it could not be written (and why, when its entry says so).
FileOutcome WriteFile(const PlannedFile& file, const OutputWork& work) {
  const std::string what(file.output->name);
  FileOutcome outcome;
  const std::optional<OutputPlace>& place = file.place;
  if (!place) {
    outcome.lines.push_back(Utf8ToGbk(what + "未能保存：‘" + file.name +
                                      "’和它旁边编过号的文件都在程序写出后被改动过！"));
    return outcome;
  }
  Status written = Failure{};
  outcome.written = Written([&] {
    written = file.output->write(work, place->path);
    return written.ok();
  });
  if (!outcome.written) {
    const std::string& why = file.output->says_why ? written.message() : std::string();
    outcome.lines.push_back(Utf8ToGbk(what + "未能保存到‘" + place->name + "’！" +
                                      (why.empty() ? "" : "（" + why + "）")));
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

    // The files of the output table asked for, each written by its entry's writer.
    OutputChoices asked;
    asked.workbook = options.workbook;
    asked.page = options.page;
    asked.json = options.json_path;
    const std::vector<PlannedFile> files = PlanFiles(asked, options.directory, run.dated);
    std::optional<RunDescription> description;
    ReviewList review;
    OutputWork work{.run = run,
                    .stats = stats,
                    .check = check ? &*check : nullptr,
                    .proposals = report,
                    .review = &review,
                    .changes = run.replaced_report ? &changes : nullptr,
                    .workbook_name = {}};
    for (const PlannedFile& file : files) {
      if (file.output == &kWorkbookOutput && file.place) {
        work.workbook_name = file.place->name;
      }
      if (!file.output->file_stem.empty() && !description) {
        description = DescribeRun(options.directory, run);
        work.description = &*description;
        Written([&] {
          review = FindPapersToReview(
              graded, stats, check && check->ok() ? &check->comparison : nullptr);
          return true;
        });
      }
    }
    // Those that may be written beside the others on threads of their own first, then
    // the rest here, in the table's order.
    std::vector<std::future<FileOutcome>> threads(files.size());
    std::vector<FileOutcome> written(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
      if (!files[i].output->beside_others) continue;
      threads[i] = std::async(std::launch::async | std::launch::deferred,
                              [&, i] { return WriteFile(files[i], work); });
    }
    for (size_t i = 0; i < files.size(); ++i) {
      if (!threads[i].valid()) written[i] = WriteFile(files[i], work);
    }
    for (size_t i = 0; i < files.size(); ++i) {
      if (threads[i].valid()) written[i] = threads[i].get();
      notes.lines.insert(notes.lines.end(), written[i].lines.begin(),
                         written[i].lines.end());
      if (!written[i].written) notes.failed = true;
    }
    notes.lines.insert(notes.lines.end(), proposals_lines.begin(), proposals_lines.end());
    notes.lines.insert(notes.lines.end(), check_lines.begin(), check_lines.end());
    if (!changes_line.empty()) notes.lines.push_back(changes_line);
    return notes;
  };
}

}  // namespace vantry
