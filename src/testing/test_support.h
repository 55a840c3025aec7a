// Helpers shared by the unit tests: GBK literals and temporary folders.
#ifndef VANTRY_TESTING_TEST_SUPPORT_H_
#define VANTRY_TESTING_TEST_SUPPORT_H_

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace vantry::testing {

// Whether this build runs under AddressSanitizer, which some tests cannot run under
// (an address-space limit, a child's memory ceiling).
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// The GBK bytes of a UTF-8 literal, so tests read like the texts they check.
GbkText Gbk(std::string_view utf8);

// A fresh folder under the system's temporary folder, removed with its contents when
// the object goes.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  // Path of a file in the folder, named in UTF-8.
  std::filesystem::path File(std::string_view utf8_name) const;
  // Writes `bytes` to the named file and returns its path.
  std::filesystem::path Write(std::string_view utf8_name, std::string_view bytes) const;
  // The same for GBK text.
  std::filesystem::path Write(std::string_view utf8_name, GbkView text) const {
    return Write(utf8_name, text.bytes());
  }

 private:
  std::filesystem::path path_;
};

// `path` opened for writing in binary mode (a wide name on Windows), or nullptr; the
// caller closes it.
std::FILE* OpenForWriting(const std::filesystem::path& path);

struct CommandResult {
  // The exit code; -1 when the command did not exit normally or did not start.
  int exit_code = -1;
  std::string out;
  std::string err;
};

#ifndef _WIN32
// `arg` quoted for /bin/sh.
std::string ShellQuote(std::string_view arg);

// Runs `command` with /bin/sh in `cwd`, capturing its standard output and error.
CommandResult RunShellCommand(const std::string& command,
                              const std::filesystem::path& cwd = ".");
#endif

// The built program folder: named by CTest through VANTRY_PROGRAM_DIR, or found
// beside the test's own folder when a test is run by hand.
std::filesystem::path ProgramDir();

// Runs a program of the program folder (".exe" is added on Windows) with UTF-8 `args`
// in `cwd`, capturing its standard output and error; its input is empty.
CommandResult RunProgram(std::string_view program, const std::vector<std::string>& args,
                         const std::filesystem::path& cwd);

}  // namespace vantry::testing

namespace vantry {

// How a failing assertion shows GBK text: as UTF-8 in quotes when it decodes, as
// escaped bytes when it does not, so a message reads like the text it compares.
void PrintTo(GbkView text, std::ostream* out);
void PrintTo(const GbkText& text, std::ostream* out);

}  // namespace vantry

#endif  // VANTRY_TESTING_TEST_SUPPORT_H_
