#include "cli/json_target.h"

#include <string_view>
#include <system_error>
#include <vector>

#include "analysis/teacher_marks.h"
#include "grading/answer_sheet.h"
#include "scoring/parameters.h"
#include "text/file_io.h"
#include "text/utf8_path.h"

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

// The names the run's outputs take in the exam folder, whatever their day.
bool IsOutputName(std::string_view name) {
  const auto output = [name](std::string_view prefix, std::string_view extension) {
    return name.starts_with(prefix) && name.ends_with(extension) &&
           name.size() > prefix.size() + extension.size();
  };
  return output("阅卷结果", ".txt") || output("阅卷结果", ".xlsx") ||
         output("阅卷分析", ".html");
}

}  // namespace

std::string JsonTargetClash(const fs::path& json, const fs::path& directory,
                            const fs::path& check) {
  std::vector<fs::path> inputs = {PathInDirectory(directory, kAnswerSheetFileName),
                                  PathInDirectory(directory, kParametersFileName),
                                  PathInDirectory(directory, kTeacherMarksFileName)};
  if (!check.empty()) inputs.push_back(check);
  std::error_code error;
  for (const fs::path& input : inputs) {
    if (fs::equivalent(json, input, error)) return PathToUtf8(input.filename());
  }
  const fs::path folder = json.has_parent_path() ? json.parent_path() : fs::path(".");
  if (!fs::equivalent(folder, directory, error)) return {};
  const std::string name = PathToUtf8(json.filename());
  const std::string folded = Folded(name);
  for (std::string_view input :
       {kAnswerSheetFileName, kParametersFileName, kTeacherMarksFileName}) {
    if (folded == Folded(std::string(input))) return name;
  }
  return IsOutputName(folded) ? name : std::string();
}

}  // namespace vantry
