#include "analysis/total_changes.h"

#include <unordered_map>

#include "analysis/teacher_marks.h"
#include "grading/report.h"

namespace vantry {

TotalChanges CompareWithReplacedReport(const GradedClass& graded,
                                       GbkView replaced_report) {
  constexpr size_t kTwice = SIZE_MAX;
  const auto papers = graded.papers();
  std::unordered_map<GbkView, size_t> paper_of_name;
  for (size_t p = 0; p < papers.size(); ++p) {
    const auto [it, added] = paper_of_name.try_emplace(TrimCell(papers[p].name), p);
    if (!added) it->second = kTwice;
  }
  const std::vector<ReportedTotal> lines = ReadReportTotals(
      replaced_report,
      [&](GbkView name) { return paper_of_name.contains(TrimCell(name)); });
  // The old total of each paper; kTwice marks a name on two lines of the old report.
  constexpr int64_t kTwiceInReport = INT64_MIN;
  std::unordered_map<size_t, int64_t> before;
  for (const ReportedTotal& line : lines) {
    const auto paper = paper_of_name.find(TrimCell(line.name));
    if (paper == paper_of_name.end() || paper->second == kTwice) continue;
    const auto [it, added] = before.try_emplace(paper->second, line.total);
    if (!added) it->second = kTwiceInReport;
  }
  TotalChanges changes;
  for (size_t p = 0; p < papers.size(); ++p) {
    const auto it = before.find(p);
    if (it == before.end() || it->second == kTwiceInReport) continue;
    ++changes.papers_matched;
    if (it->second != papers[p].total) {
      changes.changed.push_back({.paper = p,
                                 .before = static_cast<int32_t>(it->second),
                                 .after = papers[p].total});
    }
  }
  return changes;
}

}  // namespace vantry
