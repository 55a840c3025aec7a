// Loading the scoring rules from the parameters file.
#ifndef VANTRY_SCORING_PARAMETERS_H_
#define VANTRY_SCORING_PARAMETERS_H_

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/file_io.h"
#include "platform/result.h"
#include "scoring/program_state.h"
#include "text/foreign_encoding.h"
#include "text/gbk_text.h"

namespace vantry {

// The parameters file's name in the program folder.
inline constexpr std::string_view kParametersFileName = "参数设置.txt";

// Applies up to five (sought, replacement) pairs in order, each to the result of the
// previous, replacing every non-overlapping occurrence from `start` (0 counts as 1) on
// character boundaries, at most `count` per pair when `count` >= 0. A pair with an
// empty sought text changes nothing.
GbkText SubstitutePairs(GbkView text,
                        std::initializer_list<std::pair<GbkView, GbkView>> pairs,
                        int start = 1, bool case_sensitive = true, int count = -1);

// The parameters text as the scorer reads it: `text` up to the first NUL, every ASCII
// comma made full-width.
GbkText NormaliseParameters(GbkView text);

// What loading the parameters file found, for the check before a grading run.
// The parameters file as loaded (it may still hold no rule).
struct ParametersFile {
  // What the file's bytes were when they were not GBK.
  ForeignEncoding encoding = ForeignEncoding::kNone;
  // The file's size in bytes, when it was opened.
  uint64_t size = 0;
  // The first character of a UTF-8 file that GBK cannot hold: the rules were not read.
  std::optional<CharacterOutsideGbk> outside_gbk = std::nullopt;
};

// The file loaded, or why it was not: nothing of that name (the state is unchanged),
// not a file that can be read, or larger than the memory the program may take (the
// state is emptied). The check before a run words it.
using ParametersLoad = Result<ParametersFile, FileReadFailure>;

// Reads "参数设置.txt" from `directory` into `state` when the file exists: the text up
// to its first NUL (a UTF-8 file read as the GBK file with the same characters, see
// ReadAsGbk), ASCII commas made full-width, then the "<综合题>" blocks into rule_list
// and the "<分值>" blocks into max_score_list. A missing file changes nothing; an
// unreadable or empty one, or one that cannot be read as GBK, leaves both lists empty.
// Shows nothing; the result tells the grading run's check what happened.
[[nodiscard]] ParametersLoad LoadParameters(ProgramState& state,
                                            const std::filesystem::path& directory);

}  // namespace vantry

#endif  // VANTRY_SCORING_PARAMETERS_H_
