#include <unistd.h>

#include "cli/console.h"

namespace vantry {

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

void WriteText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace vantry
