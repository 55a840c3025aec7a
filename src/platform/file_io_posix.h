// The POSIX writer of file_io.h with the way of its temporary file chosen, so that
// both ways are tested on systems that have unnamed temporary files.
#ifndef VANTRY_PLATFORM_FILE_IO_POSIX_H_
#define VANTRY_PLATFORM_FILE_IO_POSIX_H_

#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "platform/file_io.h"

namespace vantry::posix_io {

enum class TemporaryFile {
  // O_TMPFILE where the system and the file system have it, else a named one.
  kUnnamedWherePossible,
  // Always "<name>.vantry-tmp-XXXXXX", locked while it is written.
  kNamed,
};

// WriteWholeFile of file_io.h with the temporary made as `temporary` says.
bool WriteWholeFile(const std::filesystem::path& path,
                    std::initializer_list<std::string_view> blocks, ExistingFile existing,
                    TemporaryFile temporary);

// True when `name` has the pattern of a writer's temporary: a non-empty target name,
// ".vantry-tmp-" and six letters or digits.
bool IsTemporaryName(std::string_view name);

}  // namespace vantry::posix_io

#endif  // VANTRY_PLATFORM_FILE_IO_POSIX_H_
