#include "export/kept_outputs.h"

#include <cstdint>
#include <cstdio>
#include <system_error>

#include "export/zip_stamp.h"
#include "platform/file_io.h"

namespace vantry {
namespace {

constexpr std::string_view kPageStampBegin = "<!-- vantry-digest:";
constexpr std::string_view kPageStampEnd = " -->\n";

std::string PageStamp(std::string_view before) {
  uint64_t digest = 0xCBF29CE484222325u;  // FNV-1a
  for (char c : before) digest = (digest ^ static_cast<uint8_t>(c)) * 0x100000001B3u;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
  return std::string(kPageStampBegin) + hex + std::string(kPageStampEnd);
}

bool PageStampMatches(const std::filesystem::path& path) {
  const FileRead read = ReadWholeFileWithStatus(path);
  if (!read.ok()) return false;
  const std::string_view page = read->bytes;
  const size_t stamp = page.rfind(kPageStampBegin);
  return stamp != std::string_view::npos &&
         page.substr(stamp) == PageStamp(page.substr(0, stamp));
}

}  // namespace

std::string NumberedName(std::string_view name, int n) {
  const size_t dot = name.rfind('.');
  const size_t stem = dot == std::string_view::npos ? name.size() : dot;
  return std::string(name.substr(0, stem)) + "(" + std::to_string(n) + ")" +
         std::string(name.substr(stem));
}

bool UnchangedSinceWritten(const std::filesystem::path& path, OutputKind kind) {
  return kind == OutputKind::kWorkbook ? ZipStampMatches(path) : PageStampMatches(path);
}

std::optional<OutputPlace> PlaceOutput(const std::filesystem::path& directory,
                                       std::string_view name, OutputKind kind) {
  std::string kept;
  for (int n = 1; n <= kMaxNumberedName; ++n) {
    const std::string candidate = n == 1 ? std::string(name) : NumberedName(name, n);
    const std::filesystem::path path = PathInDirectory(directory, candidate);
    std::error_code error;
    const auto type = std::filesystem::symlink_status(path, error).type();
    if (type != std::filesystem::file_type::regular ||
        UnchangedSinceWritten(path, kind)) {
      return OutputPlace{.path = path, .name = candidate, .kept_name = kept};
    }
    if (kept.empty()) kept = candidate;
  }
  return std::nullopt;
}

void StampPage(std::string& html) { html += PageStamp(html); }

}  // namespace vantry
