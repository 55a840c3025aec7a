// The rule assistant's part of a run: proposals learned from the teacher's marks, the
// proposed rules written beside the exam, and their report for the terminal, the page
// and the workbook.
#ifndef VANTRY_EXPORT_PROPOSALS_OUTPUT_H_
#define VANTRY_EXPORT_PROPOSALS_OUTPUT_H_

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/teacher_marks.h"
#include "export/proposals_report.h"
#include "export/teacher_check.h"
#include "grading/graded_class.h"
#include "platform/result.h"
#include "scoring/program_state.h"
#include "text/gbk_text.h"

namespace vantry {

struct ProposalsRequest {
  // The exam's folder: its 参数设置.txt is the file the proposals are written from.
  std::filesystem::path directory;
  // Where the proposed rules go; empty: kProposedParametersFileName in `directory`.
  // Never the parameters file itself.
  std::filesystem::path out;
  // The boxes' texts (GBK) as the run scored with them.
  GbkText points_text;
  GbkText order_text;
};

struct ProposalsOutcome {
  ProposalsReport report;
  // The run's summary line (GBK): where the proposed rules went, or why they were not
  // written.
  std::vector<GbkText> lines;
  // Whether the proposed rules were written; the lines say why not.
  Status written = Failure{};
};

// Whether `out` names the parameters file of `directory` (the same file, or that name
// there): the proposals never go there.
bool IsParametersFile(const std::filesystem::path& out,
                      const std::filesystem::path& directory);

// Learns the proposals for `graded` (graded with `state`) from the teacher's marks in
// `sheet` (read without a problem), writes the proposed rules through a temporary
// file, replacing an older proposal whole or not at all, and reports them.
[[nodiscard]] ProposalsOutcome WriteProposals(const GradedClass& graded,
                                              const ProgramState& state,
                                              const TeacherMarksSheet& sheet,
                                              const ProposalsRequest& request);

}  // namespace vantry

#endif  // VANTRY_EXPORT_PROPOSALS_OUTPUT_H_
