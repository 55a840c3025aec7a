// ProblemOf: what a file read found, for tests that compare reads over tables of files.
#ifndef VANTRY_TESTING_FILE_READ_PROBLEM_H_
#define VANTRY_TESTING_FILE_READ_PROBLEM_H_

#include <optional>

#include "platform/file_io.h"

namespace vantry::testing {

// The problem `read` found; nullopt when it read the file.
inline std::optional<FileReadProblem> ProblemOf(const FileRead& read) {
  if (read.ok()) return std::nullopt;
  return read.failure().problem;
}

}  // namespace vantry::testing

#endif  // VANTRY_TESTING_FILE_READ_PROBLEM_H_
