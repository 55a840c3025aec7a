// Where vantry-grade may write the JSON record: never over a file the run reads or
// writes.
#ifndef VANTRY_CLI_JSON_TARGET_H_
#define VANTRY_CLI_JSON_TARGET_H_

#include <filesystem>
#include <string>

namespace vantry {

// The file of the run that a JSON record at `json` would replace, by its name (UTF-8):
// an input (the answer sheet and the parameters file in `directory`, the teacher's
// marks beside them, the sheet `check` given to --check, which may be empty), or an
// output in `directory` (a report or workbook 阅卷结果….txt/.xlsx or a page
// 阅卷分析….html, of any day). Files are the same when they are one file on disk, by
// whatever path; a name not yet there is compared in the exam folder (letters of any
// case on Windows). Empty when the record replaces none of them.
std::string JsonTargetClash(const std::filesystem::path& json,
                            const std::filesystem::path& directory,
                            const std::filesystem::path& check);

}  // namespace vantry

#endif  // VANTRY_CLI_JSON_TARGET_H_
