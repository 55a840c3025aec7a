#include "export/zip_stamp.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace vantry {
namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr uint32_t kZip64EndSignature = 0x06064B50;
constexpr size_t kEndSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kMaxComment = 0xFFFF;
// A workbook's central directory lists a few dozen members; anything far larger is
// not one of ours.
constexpr uint64_t kMaxDirectory = 64u << 20;
constexpr std::string_view kStampPrefix = "vantry-digest:";

uint64_t Little(std::string_view bytes, size_t at, size_t width) {
  uint64_t value = 0;
  for (size_t i = width; i-- > 0;)
    value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

std::optional<std::string> ReadRange(std::ifstream& in, uint64_t offset, uint64_t size) {
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(static_cast<std::streamoff>(offset));
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return std::nullopt;
  return bytes;
}

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
  const uint64_t size = std::filesystem::file_size(path, error);
  if (error || size < kEndSize) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const uint64_t tail_size = std::min<uint64_t>(size, kEndSize + kMaxComment);
  const std::optional<std::string> tail = ReadRange(in, size - tail_size, tail_size);
  if (!tail) return std::nullopt;
  // The end record is the last one whose comment reaches exactly to the end.
  std::optional<size_t> end;
  for (size_t at = tail->size() - kEndSize + 1; at-- > 0;) {
    if (Little(*tail, at, 4) == kEndSignature &&
        at + kEndSize + Little(*tail, at + 20, 2) == tail->size()) {
      end = at;
      break;
    }
  }
  if (!end) return std::nullopt;
  ZipEnd result;
  result.end_offset = size - tail_size + *end;
  result.comment = tail->substr(*end + kEndSize);
  uint64_t directory_size = Little(*tail, *end + 12, 4);
  uint64_t directory_offset = Little(*tail, *end + 16, 4);
  if (directory_size == 0xFFFFFFFF || directory_offset == 0xFFFFFFFF ||
      Little(*tail, *end + 10, 2) == 0xFFFF) {
    if (result.end_offset < kZip64LocatorSize) return std::nullopt;
    const std::optional<std::string> locator =
        ReadRange(in, result.end_offset - kZip64LocatorSize, kZip64LocatorSize);
    if (!locator || Little(*locator, 0, 4) != kZip64LocatorSignature) return std::nullopt;
    const uint64_t zip64_end = Little(*locator, 8, 8);
    if (zip64_end > size - kZip64EndSize) return std::nullopt;
    const std::optional<std::string> record = ReadRange(in, zip64_end, kZip64EndSize);
    if (!record || Little(*record, 0, 4) != kZip64EndSignature) return std::nullopt;
    directory_size = Little(*record, 40, 8);
    directory_offset = Little(*record, 48, 8);
  }
  if (directory_size > kMaxDirectory || directory_offset > result.end_offset ||
      directory_size > result.end_offset - directory_offset)
    return std::nullopt;
  const std::optional<std::string> directory =
      ReadRange(in, directory_offset, directory_size);
  if (!directory) return std::nullopt;
  // FNV-1a: the directory already carries a CRC-32 of every member.
  uint64_t digest = 0xCBF29CE484222325u;
  for (char c : *directory) digest = (digest ^ static_cast<uint8_t>(c)) * 0x100000001B3u;
  result.directory_digest = digest;
  return result;
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
