#include "export/zip_check.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantry {
namespace {

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kCentralEntry = 0x02014b50;
constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kZip64End = 0x06064b50;
constexpr uint32_t kZip64Locator = 0x07064b50;
constexpr uint16_t kZip64Extra = 0x0001;
constexpr uint32_t kFull32 = 0xFFFFFFFF;
constexpr size_t kChunk = size_t{1} << 20;

uint64_t Little(const unsigned char* p, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

// The archive's bytes, read where asked.
class Archive {
 public:
  explicit Archive(const std::filesystem::path& path)
      : in_(path, std::ios::binary | std::ios::ate) {
    if (in_) size_ = static_cast<uint64_t>(in_.tellg());
  }
  bool open() const { return static_cast<bool>(in_); }
  uint64_t size() const { return size_; }
  // `count` bytes at `offset`; false when they are not all there.
  bool Read(uint64_t offset, size_t count, std::vector<unsigned char>& out) {
    out.resize(count);
    if (offset > size_ || count > size_ - offset) return false;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(count));
    return static_cast<size_t>(in_.gcount()) == count;
  }

 private:
  std::ifstream in_;
  uint64_t size_ = 0;
};

struct Entry {
  std::string name;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t crc = 0;
  uint64_t compressed = 0;
  uint64_t size = 0;
  uint64_t offset = 0;  // of the local header
};

// The values a ZIP64 extra field gives for those of `wanted` (in the field's order:
// size, compressed size, offset) that the fixed fields left at 0xFFFFFFFF.
bool ReadZip64Extra(const unsigned char* extra, size_t length,
                    std::initializer_list<uint64_t*> wanted) {
  for (size_t at = 0; at + 4 <= length;) {
    const auto id = static_cast<uint16_t>(Little(extra + at, 2));
    const size_t data = Little(extra + at + 2, 2);
    if (at + 4 + data > length) return false;
    if (id == kZip64Extra) {
      size_t k = at + 4;
      for (uint64_t* value : wanted) {
        if (*value != kFull32) continue;
        if (k + 8 > at + 4 + data) return false;
        *value = Little(extra + k, 8);
        k += 8;
      }
      return true;
    }
    at += 4 + data;
  }
  return std::none_of(wanted.begin(), wanted.end(),
                      [](const uint64_t* v) { return *v == kFull32; });
}

std::optional<ZipDirectory> FindDirectory(Archive& archive, std::string& problem) {
  const uint64_t tail_size = std::min<uint64_t>(archive.size(), 22 + 0xFFFF);
  const uint64_t tail_offset = archive.size() - tail_size;
  std::vector<unsigned char> tail;
  if (archive.size() < 22 || !archive.Read(tail_offset, tail_size, tail)) {
    problem = "too short for a zip archive";
    return std::nullopt;
  }
  for (size_t at = tail.size() - 22 + 1; at-- > 0;) {
    if (Little(&tail[at], 4) != kEndOfDirectory) continue;
    if (at + 22 + Little(&tail[at + 20], 2) != tail.size()) continue;
    const uint64_t end_offset = tail_offset + at;
    ZipDirectory directory{
        .entries = Little(&tail[at + 10], 2),
        .size = Little(&tail[at + 12], 4),
        .offset = Little(&tail[at + 16], 4),
        .end_offset = end_offset,
        .comment =
            std::string(tail.begin() + static_cast<std::ptrdiff_t>(at + 22), tail.end())};
    std::vector<unsigned char> locator;
    if (end_offset >= 20 && archive.Read(end_offset - 20, 20, locator) &&
        Little(locator.data(), 4) == kZip64Locator) {
      std::vector<unsigned char> record;
      if (!archive.Read(Little(&locator[8], 8), 56, record) ||
          Little(record.data(), 4) != kZip64End) {
        problem = "ZIP64 end record missing";
        return std::nullopt;
      }
      directory.entries = Little(&record[32], 8);
      directory.size = Little(&record[40], 8);
      directory.offset = Little(&record[48], 8);
    } else if (directory.entries == 0xFFFF || directory.size == kFull32 ||
               directory.offset == kFull32) {
      problem = "ZIP64 locator missing";
      return std::nullopt;
    }
    if (directory.offset > end_offset || directory.size > end_offset - directory.offset) {
      problem = "central directory out of place";
      return std::nullopt;
    }
    return directory;
  }
  problem = "no end of central directory";
  return std::nullopt;
}

bool ReadEntries(Archive& archive, const ZipDirectory& directory,
                 std::vector<Entry>& entries, std::string& problem) {
  std::vector<unsigned char> bytes;
  if (!archive.Read(directory.offset, static_cast<size_t>(directory.size), bytes)) {
    problem = "central directory unreadable";
    return false;
  }
  size_t at = 0;
  for (uint64_t i = 0; i < directory.entries; ++i) {
    if (at + 46 > bytes.size() || Little(&bytes[at], 4) != kCentralEntry) {
      problem = "central directory entry " + std::to_string(i) + " broken";
      return false;
    }
    const unsigned char* p = &bytes[at];
    const size_t name_length = Little(p + 28, 2);
    const size_t extra_length = Little(p + 30, 2);
    const size_t comment_length = Little(p + 32, 2);
    if (at + 46 + name_length + extra_length + comment_length > bytes.size()) {
      problem = "central directory entry " + std::to_string(i) + " runs over";
      return false;
    }
    Entry& entry = entries.emplace_back();
    entry.flags = static_cast<uint16_t>(Little(p + 8, 2));
    entry.method = static_cast<uint16_t>(Little(p + 10, 2));
    entry.crc = static_cast<uint32_t>(Little(p + 16, 4));
    entry.compressed = Little(p + 20, 4);
    entry.size = Little(p + 24, 4);
    entry.offset = Little(p + 42, 4);
    entry.name.assign(reinterpret_cast<const char*>(p + 46), name_length);
    if (!ReadZip64Extra(p + 46 + name_length, extra_length,
                        {&entry.size, &entry.compressed, &entry.offset})) {
      problem = entry.name + ": ZIP64 field missing in the central directory";
      return false;
    }
    at += 46 + name_length + extra_length + comment_length;
  }
  return true;
}

// The member's data inflated (or taken as stored), with its CRC-32 and size checked.
bool CheckData(Archive& archive, const Entry& entry, uint64_t data_offset,
               const ZipDataSink& sink, std::string& problem) {
  if (entry.method != 0 && entry.method != Z_DEFLATED) {
    problem = entry.name + ": unknown compression method";
    return false;
  }
  z_stream stream{};
  if (entry.method == Z_DEFLATED && inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
    problem = "no memory to inflate";
    return false;
  }
  const std::unique_ptr<z_stream, int (*)(z_stream*)> end(
      entry.method == Z_DEFLATED ? &stream : nullptr, &inflateEnd);
  std::vector<unsigned char> in, out(kChunk);
  uLong crc = crc32(0, nullptr, 0);
  uint64_t produced = 0;
  bool finished = entry.method != Z_DEFLATED;
  const auto take = [&](const unsigned char* data, size_t count) {
    crc = crc32(crc, data, static_cast<uInt>(count));
    produced += count;
    if (sink)
      sink(entry.name, std::string_view(reinterpret_cast<const char*>(data), count));
  };
  for (uint64_t done = 0; done < entry.compressed;) {
    const size_t count =
        static_cast<size_t>(std::min<uint64_t>(entry.compressed - done, kChunk));
    if (!archive.Read(data_offset + done, count, in)) {
      problem = entry.name + ": data cut short";
      return false;
    }
    done += count;
    if (entry.method == 0) {
      take(in.data(), count);
      continue;
    }
    stream.next_in = in.data();
    stream.avail_in = static_cast<uInt>(count);
    while (stream.avail_in > 0) {
      if (finished) {
        problem = entry.name + ": data past the end of its stream";
        return false;
      }
      stream.next_out = out.data();
      stream.avail_out = static_cast<uInt>(out.size());
      const int status = inflate(&stream, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END) {
        problem = entry.name + ": deflated data broken";
        return false;
      }
      take(out.data(), out.size() - stream.avail_out);
      finished = status == Z_STREAM_END;
    }
  }
  // What the last input left in the inflater.
  while (!finished) {
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&stream, Z_FINISH);
    take(out.data(), out.size() - stream.avail_out);
    if (status == Z_STREAM_END) break;
    if (status != Z_OK && status != Z_BUF_ERROR) {
      problem = entry.name + ": deflated data broken";
      return false;
    }
    if (stream.avail_out != 0) {
      problem = entry.name + ": deflated data cut short";
      return false;
    }
  }
  if (produced != entry.size || crc != entry.crc) {
    problem = entry.name + ": size or CRC-32 differ from the directory";
    return false;
  }
  return true;
}

bool CheckMember(Archive& archive, const Entry& entry, uint64_t directory_offset,
                 const ZipDataSink& sink, std::string& problem) {
  std::vector<unsigned char> header;
  if (!archive.Read(entry.offset, 30, header) ||
      Little(header.data(), 4) != kLocalHeader) {
    problem = entry.name + ": local header missing";
    return false;
  }
  const size_t name_length = Little(&header[26], 2);
  const size_t extra_length = Little(&header[28], 2);
  std::vector<unsigned char> rest;
  if (!archive.Read(entry.offset + 30, name_length + extra_length, rest) ||
      std::string_view(reinterpret_cast<const char*>(rest.data()), name_length) !=
          entry.name) {
    problem = entry.name + ": local header names another member";
    return false;
  }
  // Sizes and CRC may follow the data instead, when the flags say so.
  if ((Little(&header[6], 2) & 0x8) == 0) {
    uint64_t size = Little(&header[22], 4);
    uint64_t compressed = Little(&header[18], 4);
    if (!ReadZip64Extra(rest.data() + name_length, extra_length, {&size, &compressed}) ||
        Little(&header[14], 4) != entry.crc || size != entry.size ||
        compressed != entry.compressed) {
      problem = entry.name + ": local header disagrees with the central directory";
      return false;
    }
  }
  const uint64_t data_offset = entry.offset + 30 + name_length + extra_length;
  if (data_offset > directory_offset ||
      entry.compressed > directory_offset - data_offset) {
    problem = entry.name + ": data runs into the central directory";
    return false;
  }
  return CheckData(archive, entry, data_offset, sink, problem);
}

}  // namespace

std::optional<ZipDirectory> FindZipDirectory(const std::filesystem::path& path,
                                             std::string& problem) {
  Archive archive(path);
  if (!archive.open()) {
    problem = "cannot open the archive";
    return std::nullopt;
  }
  return FindDirectory(archive, problem);
}

std::string CheckZipArchive(const std::filesystem::path& path, const ZipDataSink& sink) {
  Archive archive(path);
  if (!archive.open()) return "cannot open the archive";
  std::string problem;
  const std::optional<ZipDirectory> directory = FindDirectory(archive, problem);
  if (!directory) return problem;
  std::vector<Entry> entries;
  if (!ReadEntries(archive, *directory, entries, problem)) return problem;
  for (const Entry& entry : entries) {
    if (!CheckMember(archive, entry, directory->offset, sink, problem)) return problem;
  }
  return {};
}

}  // namespace vantry
