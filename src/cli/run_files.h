// Where vantry-grade may write the files named on its command line (the JSON record,
// the proposed rules): never over a file the run reads or writes.
#ifndef VANTRY_CLI_RUN_FILES_H_
#define VANTRY_CLI_RUN_FILES_H_

#include <filesystem>
#include <span>
#include <string>

namespace vantry {

// The file of the run that writing `target` would replace, by its name (UTF-8): an
// input (the answer sheet and the parameters file in `directory`, the teacher's marks
// beside them), an output in `directory` (a report or workbook 阅卷结果….txt/.xlsx or a
// page 阅卷分析….html, of any day), or one of `named`, the run's other files (sheets
// to read, files to write; empty paths are skipped). Files are the same when they are one
// file on disk, by whatever path; a name not yet there is compared by its place (letters
// of any case on Windows). Empty when `target` replaces none of them.
std::string RunFileClash(const std::filesystem::path& target,
                         const std::filesystem::path& directory,
                         std::span<const std::filesystem::path> named);

}  // namespace vantry

#endif  // VANTRY_CLI_RUN_FILES_H_
