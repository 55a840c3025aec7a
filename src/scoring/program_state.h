// The scoring rules loaded at start-up, alive for the whole program.
#ifndef VANTRY_SCORING_PROGRAM_STATE_H_
#define VANTRY_SCORING_PROGRAM_STATE_H_

#include <vector>

#include "text/gbk_text.h"

namespace vantry {

// Created empty at program entry, filled once by LoadParameters and read by the scorer
// and the grading run. Entry q-1 of each list belongs to question q.
struct ProgramState {
  // The parameters file after normalisation.
  GbkText parameters_text;
  // One QuestionRule per "<综合题>" block: the raw text holding its keyword groups.
  std::vector<GbkText> rule_list;
  // One maximum score per "<分值>" block, kept as text.
  std::vector<GbkText> max_score_list;
};

}  // namespace vantry

#endif  // VANTRY_SCORING_PROGRAM_STATE_H_
