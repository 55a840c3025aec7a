#include <sys/wait.h>

#include <cstdlib>

#include "platform/file_io.h"
#include "testing/test_support.h"

namespace vantry::testing {

std::string ShellQuote(std::string_view arg) {
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

CommandResult RunShellCommand(const std::string& command,
                              const std::filesystem::path& cwd) {
  const TempDir io;
  const std::string full = "cd " + ShellQuote(cwd.string()) + " && (" + command + ") >" +
                           ShellQuote(io.File("out").string()) + " 2>" +
                           ShellQuote(io.File("err").string()) + " </dev/null";
  const int status = std::system(full.c_str());
  CommandResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadWholeFile(io.File("out"));
  result.err = ReadWholeFile(io.File("err"));
  return result;
}

CommandResult RunProgram(std::string_view program, const std::vector<std::string>& args,
                         const std::filesystem::path& cwd) {
  std::string command = ShellQuote((ProgramDir() / std::string(program)).string());
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  return RunShellCommand(command, cwd);
}

}  // namespace vantry::testing
