// Whole-file reading and writing, and the program's own folder.
#ifndef VANTRY_TEXT_FILE_IO_H_
#define VANTRY_TEXT_FILE_IO_H_

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vantry {

// The file's bytes; a missing or unreadable file (or a directory) gives no bytes.
std::string ReadWholeFile(const std::filesystem::path& path);

// Replaces `path` with the given blocks, written in order. The bytes go to a temporary
// file beside the target, are flushed to disk and then renamed over it, so a failed
// write never leaves a truncated file where a good one stood. A new file gets the
// usual permissions; a replaced one keeps its own. False when the path is empty or any
// step fails (the temporary file is then removed).
bool WriteWholeFile(const std::filesystem::path& path,
                    std::initializer_list<std::string_view> blocks);

// True when something of that name exists (a file, a folder, anything).
bool PathExists(const std::filesystem::path& path);

// The folder that holds the running program file, never the working directory.
std::filesystem::path RunDirectory();

// `directory` joined with a file name given in UTF-8 (the names the program uses are
// Chinese; the operating system's own encoding is used for the path).
std::filesystem::path PathInDirectory(const std::filesystem::path& directory,
                                      std::string_view utf8_name);

}  // namespace vantry

#endif  // VANTRY_TEXT_FILE_IO_H_
