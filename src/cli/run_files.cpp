#include "cli/run_files.h"

#include <string_view>
#include <system_error>
#include <vector>

#include "analysis/teacher_marks.h"
#include "export/output_table.h"
#include "grading/answer_sheet.h"
#include "grading/report.h"
#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "scoring/parameters.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;

// A file name as the file system compares it: Windows ignores the case of letters.
std::string Folded(std::string name) {
#ifdef _WIN32
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
#endif
  return name;
}

// The names the run's dated files (the report and the further outputs' files) take in
// the exam folder, whatever their day.
bool IsOutputName(std::string_view name) {
  const auto dated = [name](std::string_view stem, std::string_view extension) {
    return !stem.empty() && name.starts_with(stem) && name.ends_with(extension) &&
           name.size() > stem.size() + extension.size();
  };
  if (dated(kReportFileStem, kReportFileExtension)) return true;
  for (const FurtherOutput* output : kFurtherOutputs) {
    if (dated(output->file_stem, output->file_extension)) return true;
  }
  return false;
}

}  // namespace

std::string RunFileClash(const fs::path& target, const fs::path& directory,
                         std::span<const fs::path> named) {
  std::vector<fs::path> inputs = {PathInDirectory(directory, kAnswerSheetFileName),
                                  PathInDirectory(directory, kParametersFileName),
                                  PathInDirectory(directory, kTeacherMarksFileName)};
  for (const fs::path& path : named) {
    if (!path.empty()) inputs.push_back(path);
  }
  std::error_code error;
  for (const fs::path& input : inputs) {
    if (fs::equivalent(target, input, error)) return PathToUtf8(input.filename());
  }
  // Named files not there yet (two outputs given one new name), by their place.
  const fs::path place = fs::weakly_canonical(target, error);
  for (const fs::path& path : named) {
    if (path.empty() || error) continue;
    std::error_code other_error;
    const fs::path other = fs::weakly_canonical(path, other_error);
    if (!other_error && Folded(PathToUtf8(other)) == Folded(PathToUtf8(place)))
      return PathToUtf8(path.filename());
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::equivalent(folder, directory, error)) return {};
  const std::string name = PathToUtf8(target.filename());
  const std::string folded = Folded(name);
  for (std::string_view input :
       {kAnswerSheetFileName, kParametersFileName, kTeacherMarksFileName}) {
    if (folded == Folded(std::string(input))) return name;
  }
  return IsOutputName(folded) ? name : std::string();
}

}  // namespace vantry
