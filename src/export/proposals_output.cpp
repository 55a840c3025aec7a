#include "export/proposals_output.h"

#include <system_error>

#include "analysis/rule_proposals.h"
#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "scoring/parameters.h"
#include "text/gbk_codec.h"

namespace vantry {

bool IsParametersFile(const std::filesystem::path& out,
                      const std::filesystem::path& directory) {
  const std::filesystem::path parameters =
      PathInDirectory(directory, kParametersFileName);
  std::error_code error;
  if (std::filesystem::equivalent(out, parameters, error)) return true;
  // Not there yet, or not comparable: by its name in the same folder.
  const std::filesystem::path a = std::filesystem::weakly_canonical(out, error);
  const std::filesystem::path b = std::filesystem::weakly_canonical(parameters, error);
  return !error && a == b;
}

ProposalsOutcome WriteProposals(const GradedClass& graded, const ProgramState& state,
                                const TeacherMarksSheet& sheet,
                                const ProposalsRequest& request) {
  ProposalsOutcome outcome;
  const std::filesystem::path out =
      request.out.empty()
          ? PathInDirectory(request.directory, kProposedParametersFileName)
          : request.out;
  const FileRead parameters =
      ReadWholeFileWithStatus(PathInDirectory(request.directory, kParametersFileName));
  ProposalOptions options;
  options.points_text = request.points_text;
  options.order_text = request.order_text;
  const RuleProposals proposals = ProposeRules(
      graded, state, *sheet.read,
      parameters.ok() ? std::optional<GbkView>(GbkView(parameters->bytes)) : std::nullopt,
      options);
  outcome.report = ReportProposals(proposals, graded, sheet.name);
  ProposalsReport& report = outcome.report;
  const std::u8string name = out.filename().u8string();
  report.file_name = std::string(name.begin(), name.end());
  if (!proposals.proposed_file) {
    outcome.lines.push_back(proposals.file_problem);
    return outcome;
  }
  if (IsParametersFile(out, request.directory)) {
    report.file_problem = "规则建议不会写进参数设置.txt 本身，没有写规则建议";
    outcome.lines.push_back(Utf8ToGbk(report.file_problem));
    outcome.written = Failure{report.file_problem};
    return outcome;
  }
  outcome.written = WriteWholeFile(out, {proposals.proposed_file->bytes()});
  report.file_written = outcome.written.ok();
  outcome.lines.push_back(
      Utf8ToGbk((report.file_written ? "建议的规则已保存在‘" : "规则建议未能保存到‘") +
                report.file_name + "’！"));
  return outcome;
}

}  // namespace vantry
