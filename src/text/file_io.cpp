#include "text/file_io.h"

#include <fstream>
#include <system_error>

namespace vantry {
namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& path) {
  std::error_code ec;
  if (path.empty() || !fs::is_regular_file(path, ec)) return {};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string bytes;
  const auto size = fs::file_size(path, ec);
  if (!ec) bytes.reserve(static_cast<size_t>(size));
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) return {};
  return bytes;
}

bool PathExists(const fs::path& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

fs::path PathInDirectory(const fs::path& directory, std::string_view utf8_name) {
  const std::u8string name(utf8_name.begin(), utf8_name.end());
  return directory / fs::path(name);
}

}  // namespace vantry
