// Build tool: turns a UTF-8 source of a demo file into the GBK file a teacher's
// Windows editor would save (CRLF line ends, no byte-order mark).
//
//   vantry_demo_gbk INPUT.utf8.txt OUTPUT.txt
//
// Fails when a character has no GBK form, so the demo never ships a "?".
#include <cstdio>
#include <filesystem>
#include <string>

#include "text/file_io.h"
#include "text/gbk_codec.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vantry_demo_gbk INPUT OUTPUT\n");
    return 2;
  }
  const std::filesystem::path input = argv[1];
  const std::filesystem::path output = argv[2];
  std::string utf8 = vantry::ReadWholeFile(input);
  if (utf8.empty()) {
    std::fprintf(stderr, "vantry_demo_gbk: cannot read %s\n", argv[1]);
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
                 argv[1]);
    return 1;
  }
  if (!vantry::WriteWholeFile(output, {gbk})) {
    std::fprintf(stderr, "vantry_demo_gbk: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
