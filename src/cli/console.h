// Text for the terminal: UTF-8 inside the program, whatever the console shows.
#ifndef VANTRY_CLI_CONSOLE_H_
#define VANTRY_CLI_CONSOLE_H_

#include <cstdio>
#include <string_view>

namespace vantry {

// True when `stream` is an interactive terminal (a console window on Windows; the NUL
// device, a file or a pipe is not).
bool IsTerminal(std::FILE* stream);

// Writes UTF-8 `text` to `stream` so that a person can read it. On a Windows console it
// goes as wide characters, right under every code page (936 in cmd.exe, 65001 in
// Windows Terminal). Redirected Windows output is GBK when the console's output code
// page is 936, since cmd.exe, PowerShell and findstr read a program's output in that
// code page there, and UTF-8 otherwise. Elsewhere the text goes as it is.
void WriteText(std::FILE* stream, std::string_view text);

}  // namespace vantry

#endif  // VANTRY_CLI_CONSOLE_H_
