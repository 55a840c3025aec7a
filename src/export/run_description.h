// Which exam a run graded, when and with which boxes: recorded on the page and in the
// workbook, so that two classes graded the same day can be told apart at a glance.
#ifndef VANTRY_EXPORT_RUN_DESCRIPTION_H_
#define VANTRY_EXPORT_RUN_DESCRIPTION_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "grading/run_skeleton.h"
#include "platform/clock.h"

namespace vantry {

struct RunDescription {
  // The exam's name: the name of its folder, e.g. 八年级3班 (UTF-8).
  std::string exam;
  LocalDateTime dated;
  // The two boxes' texts as the run used them (UTF-8, on one line).
  std::string points_per_hit;
  std::string order_keys;
  // The window's boxes were changed while the run went.
  bool boxes_changed = false;
  int64_t papers = 0;
};

// The description of `run`, which graded the exam in `directory`.
RunDescription DescribeRun(const std::filesystem::path& directory,
                           const FinishedRun& run);

// The name of the folder `directory` (UTF-8): "." and a trailing separator are taken
// as the folder they stand for; empty at the root of a drive.
std::string ExamName(const std::filesystem::path& directory);

// "2026年12月8日" and "2026年12月8日 14:05".
std::string DateText(const LocalDateTime& time);
std::string DateTimeText(const LocalDateTime& time);

// The description as (label, value) lines (UTF-8): 考试, 阅卷时间, 试卷, 分值,
// 先后顺序, and a warning when the boxes were changed during the run.
std::vector<std::pair<std::string, std::string>> RunDescriptionLines(
    const RunDescription& description);

}  // namespace vantry

#endif  // VANTRY_EXPORT_RUN_DESCRIPTION_H_
