#include <windows.h>

#include <memory>
#include <string>

#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "platform/utf8_text.h"
#include "testing/test_support.h"

namespace vantry::testing {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// `arg` quoted so that CommandLineToArgvW and the C runtime read it back unchanged.
std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

// A file that the child inherits as its standard output or error.
UniqueHandle InheritableFile(const std::filesystem::path& path, DWORD access,
                             DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace

CommandResult RunProgram(std::string_view program, const std::vector<std::string>& args,
                         const std::filesystem::path& cwd) {
  std::filesystem::path exe = ProgramDir() / PathFromUtf8(program);
  exe += L".exe";
  std::wstring command_line = QuoteArgument(exe.wstring());
  for (const std::string& arg : args)
    command_line += L" " + QuoteArgument(Utf8ToWide(arg));

  const TempDir io;
  const UniqueHandle out = InheritableFile(io.File("out"), GENERIC_WRITE, CREATE_ALWAYS);
  const UniqueHandle err = InheritableFile(io.File("err"), GENERIC_WRITE, CREATE_ALWAYS);
  const UniqueHandle in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  CommandResult result;
  if (!out || !err || !in) return result;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION process{};
  const std::filesystem::path work = std::filesystem::absolute(cwd);
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0,
                      nullptr, work.c_str(), &startup, &process)) {
    return result;
  }
  const UniqueHandle child(process.hProcess);
  CloseHandle(process.hThread);
  WaitForSingleObject(child.get(), INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(child.get(), &code)) result.exit_code = static_cast<int>(code);
  result.out = ReadWholeFile(io.File("out"));
  result.err = ReadWholeFile(io.File("err"));
  return result;
}

}  // namespace vantry::testing
