// Build tool: turns a UTF-8 source of a demo file into the GBK file a teacher's
// Windows editor would save (CRLF line ends, no byte-order mark).
//
//   vantry_demo_gbk INPUT.utf8.txt OUTPUT.txt
//
// Fails when a character has no GBK form, so the demo never ships a "?".
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "text/gbk_codec.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = vantry::Utf8Arguments(argc, argv);
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: vantry_demo_gbk INPUT OUTPUT\n");
    return 2;
  }
  const std::filesystem::path input = vantry::PathFromUtf8(args[0]);
  const std::filesystem::path output = vantry::PathFromUtf8(args[1]);
  std::string utf8 = vantry::ReadWholeFile(input);
  if (utf8.empty()) {
    std::fprintf(stderr, "vantry_demo_gbk: cannot read %s\n", args[0].c_str());
    return 1;
  }
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.erase(0, 3);
  std::string crlf;
  crlf.reserve(utf8.size() + utf8.size() / 16);
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) crlf += '\r';
    crlf += utf8[i];
  }
  const vantry::GbkText gbk = vantry::Utf8ToGbk(crlf);
  if (vantry::GbkToUtf8(gbk) != crlf) {
    std::fprintf(stderr, "vantry_demo_gbk: %s holds text that GBK cannot carry\n",
                 args[0].c_str());
    return 1;
  }
  if (!vantry::WriteWholeFile(output, {gbk.bytes()})) {
    std::fprintf(stderr, "vantry_demo_gbk: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}
