// The program's command-line arguments as UTF-8.
#ifndef VANTRY_PLATFORM_COMMAND_LINE_H_
#define VANTRY_PLATFORM_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace vantry {

// The arguments after the program name, in UTF-8. On Windows they are read from the
// wide-character command line (main's argv holds them in the ANSI code page, where
// "期末考试" or "３" may already be lost); elsewhere they are argv as it is.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace vantry

#endif  // VANTRY_PLATFORM_COMMAND_LINE_H_
