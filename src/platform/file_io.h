// Whole-file reading and writing, and the program's own folder.
#ifndef VANTRY_PLATFORM_FILE_IO_H_
#define VANTRY_PLATFORM_FILE_IO_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace vantry {

// Why a whole file could not be read.
enum class FileReadProblem {
  // Nothing of that name (a dangling symbolic link included).
  kMissing,
  // A folder, FIFO, device or socket: never read, so a swapped-in FIFO cannot block.
  kNotRegularFile,
  // Exists but cannot be read: no permission, an I/O error.
  kUnreadable,
  // Larger than the memory this process may still take.
  kTooLarge,
};

// A file read whole.
struct FileContents {
  std::string bytes;
  // The size the file had when it was opened.
  uint64_t size = 0;
};

// Why the read failed, with a message for the teacher; callers that word it
// themselves branch on the problem.
struct FileReadFailure {
  FileReadProblem problem = FileReadProblem::kMissing;
  // The size the file had when it was opened (0 when it could not be opened).
  uint64_t size = 0;
  std::string message;
};

using FileRead = Result<FileContents, FileReadFailure>;

// The failure of a read that found `problem`, with its message.
FileReadFailure FailedRead(FileReadProblem problem, uint64_t size = 0);

// The failure of a write that could not put the file in place, with its message.
Failure FailedWrite();

// Reads the file whole. It is opened first (never blocking, never becoming the
// controlling terminal) and then checked through the open descriptor, so what is read
// is what was checked. A file larger than the memory the process may take is refused
// before any allocation, and an allocation that fails anyway gives kTooLarge, never an
// exception. A file larger than `max_bytes` gives kTooLarge without being read.
FileRead ReadWholeFileWithStatus(const std::filesystem::path& path,
                                 uint64_t max_bytes = UINT64_MAX);

// The file's bytes as ReadWholeFileWithStatus reads them; no bytes when that fails.
std::string ReadWholeFile(const std::filesystem::path& path);

// The most bytes one more allocation of this process may take now, as far as the
// system tells: its address-space and data limits, the free memory and swap, and the
// memory limit of its control group. UINT64_MAX when nothing limits it.
uint64_t AvailableMemoryBytes();

// What WriteWholeFile does when something already stands at the path.
enum class ExistingFile {
  kReplace,
  // Leave it, and report failure; decided atomically when the file is put in place.
  kKeep,
};

// Writes `blocks` in order to a new file and puts it at `path` in one step, so a failed
// or interrupted write never leaves a truncated file where a good one stood. The bytes
// go to an unnamed temporary file where the system has one (otherwise to one named
// "<name>.vantry-tmp-XXXXXX" beside the target), are flushed to disk, and the folder is
// flushed after the file is put in place. The new file is a plain data file with mode
// 0666 less the umask, whatever stood at its name before (a symbolic link there is
// replaced, its target left alone). Temporaries of that pattern left by a writer that
// died are removed from the folder first. Fails when the path is empty or any step
// fails (the temporary is then removed).
Status WriteWholeFile(const std::filesystem::path& path,
                      std::initializer_list<std::string_view> blocks,
                      ExistingFile existing = ExistingFile::kReplace);

// WriteWholeFile for a writer that fills the file by its name (a library that opens the
// path itself, a stream that would not fit in memory): `write` gets the path of a new
// temporary file beside `path`, "<name>.vantry-tmp-XXXXXX", locked against the cleaners
// of other writers while it lives, and says whether it wrote it. Then whatever stands
// under the temporary's name (on POSIX the writer may have replaced the file; on Windows
// the name is held, so it may only write into it) is flushed to disk,
// put at `path` in one step, replacing what stood there, and the folder is flushed.
// When `write` fails or throws, or any step fails, the temporary is removed and `path`
// keeps what it had; the writer is not called when no temporary can be made there.
Status WriteThroughTemporary(
    const std::filesystem::path& path,
    const std::function<bool(const std::filesystem::path&)>& write);

// True when something of that name exists (a file, a folder, anything).
bool PathExists(const std::filesystem::path& path);

// The folder that holds the running program file, never the working directory.
std::filesystem::path RunDirectory();

// `directory` joined with a file name given in UTF-8 (the names the program uses are
// Chinese; the operating system's own encoding is used for the path).
std::filesystem::path PathInDirectory(const std::filesystem::path& directory,
                                      std::string_view utf8_name);

}  // namespace vantry

#endif  // VANTRY_PLATFORM_FILE_IO_H_
