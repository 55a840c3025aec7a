#ifndef VANTRY_SCORING_PARAMETER_TAGS_H_
#define VANTRY_SCORING_PARAMETER_TAGS_H_

#include "text/gbk_text.h"

namespace vantry {

// The tags of the parameters file, in GBK: each question's rule is a "<综合题>" block
// of "<关键词>" groups, and its full marks a "<分值>" field. Read and written with the
// same bytes everywhere.
struct ParameterTags {
  GbkText rule_start, rule_end;
  GbkText group_start, group_end;
  GbkText max_start, max_end;
};

// Made once, on first use.
const ParameterTags& GetParameterTags();

}  // namespace vantry

#endif  // VANTRY_SCORING_PARAMETER_TAGS_H_
