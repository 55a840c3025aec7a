#include "platform/command_line.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <memory>
#endif

#include "platform/utf8_text.h"

namespace vantry {

#ifdef _WIN32

std::vector<std::string> Utf8Arguments(int, char**) {
  int count = 0;
  const std::unique_ptr<LPWSTR[], decltype(&LocalFree)> wide(
      CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> args;
  if (!wide) return args;
  for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
  return args;
}

#else

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

#endif

}  // namespace vantry
