// A stamp in a zip archive's comment that tells whether the archive is still as the
// program wrote it: the digest of its central directory, which holds the CRC-32 and
// size of every member, so any member changed (a sheet saved again by Excel or WPS)
// changes it. The comment is part of the zip format; readers ignore it.
#ifndef VANTRY_EXPORT_ZIP_STAMP_H_
#define VANTRY_EXPORT_ZIP_STAMP_H_

#include <filesystem>

namespace vantry {

// Writes the stamp into the archive at `path`, which must have no comment yet (as a
// freshly written workbook has none). False when it is no zip archive of that kind or
// it could not be written.
[[nodiscard]] bool StampZip(const std::filesystem::path& path);

// True when the archive at `path` is a regular file that carries a stamp matching its
// central directory; false for anything else (no stamp, another stamp, not a zip
// archive, unreadable).
bool ZipStampMatches(const std::filesystem::path& path);

}  // namespace vantry

#endif  // VANTRY_EXPORT_ZIP_STAMP_H_
