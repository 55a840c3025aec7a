// The analysis page's section 规则建议: the rule proposals with their evidence.
#ifndef VANTRY_EXPORT_PROPOSALS_PAGE_H_
#define VANTRY_EXPORT_PROPOSALS_PAGE_H_

#include <string>

#include "export/proposals_report.h"

namespace vantry {

// Appends the section (id "proposals"): where the proposed rules were written, per
// question the estimate on papers not learned from and each proposal with the marked
// papers it fixes and breaks (the wording marked in each answer), then the papers to
// mark next. Every text is escaped.
void AppendProposalsSection(const ProposalsReport& report, std::string& out);

}  // namespace vantry

#endif  // VANTRY_EXPORT_PROPOSALS_PAGE_H_
