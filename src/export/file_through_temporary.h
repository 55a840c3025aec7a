// Replacing a file that is written by name (a library that opens the path itself, a
// stream) all at once: never a half-written file under the real name.
#ifndef VANTRY_EXPORT_FILE_THROUGH_TEMPORARY_H_
#define VANTRY_EXPORT_FILE_THROUGH_TEMPORARY_H_

#include <filesystem>
#include <functional>

namespace vantry {

// Calls `write` with a new temporary file's path beside `path` ("<name>.vantry-tmp-"
// and six letters or digits, the pattern the program's other writers use, so one left
// by a writer that died is cleaned up by them). When `write` returns true, the file is
// flushed to disk and renamed over `path`, and the folder is flushed. Otherwise, or
// when any step fails or `write` throws, the temporary is removed and `path` keeps
// what it had. While `write` runs the temporary is locked, so no cleaner removes it.
bool WriteThroughTemporary(
    const std::filesystem::path& path,
    const std::function<bool(const std::filesystem::path&)>& write);

}  // namespace vantry

#endif  // VANTRY_EXPORT_FILE_THROUGH_TEMPORARY_H_
