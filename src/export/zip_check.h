// Reading back a zip archive just written, to know it whole before it replaces a good
// file: what a full disk, a file-size limit or a missing ZIP64 field spoils, an
// unzipper would refuse, and so does this.
#ifndef VANTRY_EXPORT_ZIP_CHECK_H_
#define VANTRY_EXPORT_ZIP_CHECK_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vantry {

// Where a zip archive's central directory lies, as its end records say (the ZIP64
// ones where there is a locator).
struct ZipDirectory {
  uint64_t entries = 0;
  uint64_t size = 0;
  uint64_t offset = 0;
  // Where the end-of-central-directory record begins, and the archive's comment,
  // which runs from that record to the end of the file.
  uint64_t end_offset = 0;
  std::string comment;
};

// The central directory of the zip archive at `path`; nullopt with what is wrong in
// `problem` (English) when the end records are missing, broken or out of place.
std::optional<ZipDirectory> FindZipDirectory(const std::filesystem::path& path,
                                             std::string& problem);

// Called with each member's name and its data, in pieces and in order.
using ZipDataSink = std::function<void(std::string_view member, std::string_view data)>;

// Reads every member of the zip archive at `path` as a strict unzipper does: the end
// of the central directory (ZIP64 records included), each entry of the central
// directory, the member's local header agreeing with its entry (name, CRC-32 and
// sizes, in the ZIP64 field where the header says so), and its data, stored or
// deflated, coming out at the recorded size with the recorded CRC-32. `sink` may be
// empty. Empty when the archive is whole; otherwise what is wrong (English, for
// tests and logs).
std::string CheckZipArchive(const std::filesystem::path& path, const ZipDataSink& sink);

}  // namespace vantry

#endif  // VANTRY_EXPORT_ZIP_CHECK_H_
