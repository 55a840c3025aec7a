#include "export/kept_outputs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "export/zip_stamp.h"
#include "platform/file_io.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::TempDir;

void Put(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The fields a zip's local header and its central directory entry share, for one
// stored member "a" of 1 byte: version needed, flags, method, time, date, CRC-32,
// sizes, name and extra lengths.
void PutMemberFields(std::string& zip, uint32_t crc) {
  Put(zip, 20, 2);
  for (int field = 0; field < 4; ++field) Put(zip, 0, 2);
  Put(zip, crc, 4);
  Put(zip, 1, 4);
  Put(zip, 1, 4);
  Put(zip, 1, 2);
  Put(zip, 0, 2);
}

// A zip archive of one stored member "a" holding "x", by hand: with ZIP64's end
// records (as large workbooks have them) or without.
std::string Zip(bool zip64, uint32_t crc = 0x8CDC1683) {
  std::string zip;
  Put(zip, 0x04034B50, 4);  // local header
  PutMemberFields(zip, crc);
  zip += "ax";
  const size_t directory = zip.size();
  Put(zip, 0x02014B50, 4);  // central directory entry
  Put(zip, 20, 2);          // version made by
  PutMemberFields(zip, crc);
  for (int field = 0; field < 3; ++field) Put(zip, 0, 2);  // comment, disk, attributes
  Put(zip, 0, 4);
  Put(zip, 0, 4);  // the local header's offset
  zip += "a";
  const size_t directory_size = zip.size() - directory;
  if (zip64) {
    const size_t record = zip.size();
    Put(zip, 0x06064B50, 4);
    Put(zip, 44, 8);
    Put(zip, 45, 2);
    Put(zip, 45, 2);
    Put(zip, 0, 4);
    Put(zip, 0, 4);
    Put(zip, 1, 8);
    Put(zip, 1, 8);
    Put(zip, directory_size, 8);
    Put(zip, directory, 8);
    Put(zip, 0x07064B50, 4);  // locator
    Put(zip, 0, 4);
    Put(zip, record, 8);
    Put(zip, 1, 4);
  }
  Put(zip, 0x06054B50, 4);  // end record
  Put(zip, 0, 2);
  Put(zip, 0, 2);
  Put(zip, zip64 ? 0xFFFF : 1, 2);
  Put(zip, zip64 ? 0xFFFF : 1, 2);
  Put(zip, zip64 ? 0xFFFFFFFF : directory_size, 4);
  Put(zip, zip64 ? 0xFFFFFFFF : directory, 4);
  Put(zip, 0, 2);
  return zip;
}

TEST(ZipStampTest, StampsAndTellsAChangedArchive) {
  const TempDir dir;
  for (bool zip64 : {false, true}) {
    SCOPED_TRACE(zip64 ? "ZIP64" : "zip");
    const auto path = dir.Write("a.xlsx", Zip(zip64));
    EXPECT_FALSE(ZipStampMatches(path));  // no stamp yet
    ASSERT_TRUE(StampZip(path));
    EXPECT_TRUE(ZipStampMatches(path));
    EXPECT_FALSE(StampZip(path));  // it has a comment now
    const std::string stamped = ReadWholeFile(path);
    EXPECT_TRUE(stamped.substr(stamped.size() - 30).starts_with("vantry-digest:"));

    // A member saved again (its CRC changes) with the old stamp kept.
    std::string edited = Zip(zip64, 0x12345678);
    edited.replace(edited.size() - 2, 2, stamped.substr(stamped.size() - 32, 2));
    edited += stamped.substr(stamped.size() - 30);
    dir.Write("a.xlsx", edited);
    EXPECT_FALSE(ZipStampMatches(path));
  }
  EXPECT_FALSE(ZipStampMatches(dir.Write("b.xlsx", "not a zip archive")));
  EXPECT_FALSE(ZipStampMatches(dir.File("missing.xlsx")));
  EXPECT_FALSE(StampZip(dir.Write("c.xlsx", "PK")));
}

TEST(KeptOutputsTest, AChangedOutputIsKeptAndTheNewOneNumbered) {
  const TempDir dir;
  const auto place = [&](std::string_view name) {
    return PlaceOutput(dir.path(), name, OutputKind::kPage);
  };
  // Nothing there, or the program's own page: that name.
  ASSERT_TRUE(place("阅卷分析20261208.html"));
  EXPECT_EQ(place("阅卷分析20261208.html")->name, "阅卷分析20261208.html");
  std::string page = "<html></html>\n";
  StampPage(page);
  dir.Write("阅卷分析20261208.html", page);
  EXPECT_TRUE(
      UnchangedSinceWritten(dir.File("阅卷分析20261208.html"), OutputKind::kPage));
  EXPECT_TRUE(place("阅卷分析20261208.html")->kept_name.empty());

  // Saved again by a browser (a byte changed): kept, the new one numbered; a numbered
  // one that is the program's own is written over next time.
  page[1] = 'H';
  dir.Write("阅卷分析20261208.html", page);
  auto beside = place("阅卷分析20261208.html");
  ASSERT_TRUE(beside);
  EXPECT_EQ(beside->name, "阅卷分析20261208(2).html");
  EXPECT_EQ(beside->kept_name, "阅卷分析20261208.html");
  EXPECT_EQ(beside->path, dir.File("阅卷分析20261208(2).html"));
  dir.Write("阅卷分析20261208(2).html", "edited too");
  EXPECT_EQ(place("阅卷分析20261208.html")->name, "阅卷分析20261208(3).html");
  for (int n = 3; n <= kMaxNumberedName; ++n)
    dir.Write(NumberedName("阅卷分析20261208.html", n), "edited");
  EXPECT_FALSE(place("阅卷分析20261208.html"));

  // A workbook without a stamp (written by another program) counts as changed.
  dir.Write("阅卷结果20261208.xlsx", Zip(false));
  EXPECT_EQ(PlaceOutput(dir.path(), "阅卷结果20261208.xlsx", OutputKind::kWorkbook)->name,
            "阅卷结果20261208(2).xlsx");
  EXPECT_EQ(NumberedName("name", 2), "name(2)");
}

}  // namespace
}  // namespace vantry
