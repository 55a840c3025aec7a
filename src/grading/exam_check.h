// The check before a grading run: a run that would grade nothing, or grade students on
// each other's answers, does not start.
#ifndef VANTRY_GRADING_EXAM_CHECK_H_
#define VANTRY_GRADING_EXAM_CHECK_H_

#include <filesystem>

#include "grading/answer_sheet.h"
#include "platform/result.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"

namespace vantry {

// Each check fails with a message for the teacher (UTF-8): which file, what is wrong,
// where, and what to do, lines separated by "\n".

// Whether the sheet read from `directory` can be graded: it was read, it is GBK, it
// holds a name record, its name fields and answer fields are equal in number (for
// a mismatch the message gives both counts and the first record that is out of step,
// with its line number), and its names together fit in memory: a name whose end tag
// lacks its TAB runs on into the records after it and nests the names that follow, so
// the names can be far longer than the sheet (the message gives the line of the first
// name that holds another).
[[nodiscard]] Status CheckAnswerSheet(const std::filesystem::path& directory,
                                      const AnswerSheetRead& read,
                                      const LoadedAnswerSheet& sheet);

// Whether the rules loaded at start-up (`load`, into `state`) can grade: the file was
// found and read, it is GBK and it holds at least one "<综合题>" block. The rules are
// read once at start-up, so the message asks for a restart after a correction.
[[nodiscard]] Status CheckParameters(const std::filesystem::path& directory,
                                     const ParametersLoad& load,
                                     const ProgramState& state);

}  // namespace vantry

#endif  // VANTRY_GRADING_EXAM_CHECK_H_
