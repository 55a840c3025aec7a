#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "cli/console.h"
#include "platform/utf8_text.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// The console behind `stream`, or nullptr when it is redirected.
HANDLE ConsoleOf(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return nullptr;
  return handle;
}

}  // namespace

bool IsTerminal(std::FILE* stream) { return ConsoleOf(stream) != nullptr; }

void WriteText(std::FILE* stream, std::string_view text) {
  if (HANDLE console = ConsoleOf(stream)) {
    std::fflush(stream);
    const std::wstring wide = Utf8ToWide(text);
    const wchar_t* at = wide.data();
    size_t left = wide.size();
    while (left > 0) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 8192));
      if (!WriteConsoleW(console, at, chunk, &written, nullptr) || written == 0) return;
      at += written;
      left -= written;
    }
    return;
  }
  // Line ends stay as the program writes them, as on every other platform.
  _setmode(_fileno(stream), _O_BINARY);
  if (GetConsoleOutputCP() == 936) {
    const GbkText gbk = Utf8ToGbk(text);
    std::fwrite(gbk.data(), 1, gbk.size(), stream);
  } else {
    std::fwrite(text.data(), 1, text.size(), stream);
  }
}

}  // namespace vantry
