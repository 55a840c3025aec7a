#include "export/zip_stamp.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "export/zip_check.h"

namespace vantry {
namespace {

// A workbook's central directory lists a few dozen members; anything far larger is
// not one of ours.
constexpr uint64_t kMaxDirectory = 64u << 20;
constexpr std::string_view kStampPrefix = "vantry-digest:";

// Where the archive's end record lies, what its comment says and the digest of its
// central directory.
struct ZipEnd {
  uint64_t end_offset = 0;
  std::string comment;
  uint64_t directory_digest = 0;
};

std::optional<ZipEnd> ReadZipEnd(const std::filesystem::path& path) {
  std::error_code error;
  // Only a regular file is read: a FIFO in its place must not block the run.
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::string problem;
  std::optional<ZipDirectory> found = FindZipDirectory(path, problem);
  if (!found || found->size > kMaxDirectory) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::string directory(static_cast<size_t>(found->size), '\0');
  in.seekg(static_cast<std::streamoff>(found->offset));
  if (!in.read(directory.data(), static_cast<std::streamsize>(directory.size())))
    return std::nullopt;
  // FNV-1a: the directory already carries a CRC-32 of every member.
  uint64_t digest = 0xCBF29CE484222325u;
  for (char c : directory) digest = (digest ^ static_cast<uint8_t>(c)) * 0x100000001B3u;
  return ZipEnd{.end_offset = found->end_offset,
                .comment = std::move(found->comment),
                .directory_digest = digest};
}

std::string StampText(uint64_t digest) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
  return std::string(kStampPrefix) + hex;
}

}  // namespace

bool StampZip(const std::filesystem::path& path) {
  const std::optional<ZipEnd> end = ReadZipEnd(path);
  if (!end || !end->comment.empty()) return false;
  const std::string stamp = StampText(end->directory_digest);
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  if (!file) return false;
  const char length[2] = {static_cast<char>(stamp.size() & 0xFF),
                          static_cast<char>(stamp.size() >> 8)};
  file.seekp(static_cast<std::streamoff>(end->end_offset + 20));
  file.write(length, 2);
  file.write(stamp.data(), static_cast<std::streamsize>(stamp.size()));
  file.flush();
  return static_cast<bool>(file);
}

bool ZipStampMatches(const std::filesystem::path& path) {
  const std::optional<ZipEnd> end = ReadZipEnd(path);
  return end && end->comment == StampText(end->directory_digest);
}

}  // namespace vantry
