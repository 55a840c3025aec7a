#include "platform/file_io.h"

#include <system_error>

namespace vantry {
namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& path) {
  return ReadWholeFileWithStatus(path).bytes;
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
