#include "export/file_through_temporary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "testing/test_support.h"
#include "text/file_io.h"

namespace vantry {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

bool Put(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

int FileCount(const TempDir& dir) {
  return static_cast<int>(
      std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
}

TEST(WriteThroughTemporaryTest, ReplacesTheFileOnlyWhenTheWriterSucceeds) {
  TempDir dir;
  const fs::path target = dir.Write("成绩.xlsx", "old");
  fs::path seen;
  // The writer gets a fresh file beside the target and may even replace it by name.
  EXPECT_TRUE(WriteThroughTemporary(target, [&](const fs::path& temp) {
    seen = temp;
    EXPECT_EQ(temp.parent_path(), target.parent_path());
    EXPECT_TRUE(temp.filename().string().starts_with("成绩.xlsx.vantry-tmp-"));
    EXPECT_EQ(ReadWholeFile(target), "old");  // not yet
    fs::remove(temp);
    return Put(temp, "new");
  }));
  EXPECT_EQ(ReadWholeFile(target), "new");
  EXPECT_FALSE(PathExists(seen));
  EXPECT_EQ(FileCount(dir), 1);

  // A writer that fails, or throws, leaves the old file and no litter.
  EXPECT_FALSE(WriteThroughTemporary(target, [](const fs::path& temp) {
    Put(temp, "half");
    return false;
  }));
  EXPECT_THROW(WriteThroughTemporary(target,
                                     [](const fs::path& temp) -> bool {
                                       Put(temp, "half");
                                       throw std::runtime_error("out of memory");
                                     }),
               std::runtime_error);
  EXPECT_EQ(ReadWholeFile(target), "new");
  EXPECT_EQ(FileCount(dir), 1);
}

TEST(WriteThroughTemporaryTest, WhereNothingCanBeWrittenTheWriterIsNotCalled) {
  TempDir dir;
  fs::create_directory(dir.File("folder.xlsx"));
  bool called = false;
  const auto writer = [&](const fs::path&) { return called = true; };
  EXPECT_FALSE(WriteThroughTemporary(dir.File("folder.xlsx"), writer));
  EXPECT_FALSE(WriteThroughTemporary(dir.File("missing/book.xlsx"), writer));
  EXPECT_FALSE(WriteThroughTemporary("", writer));
  EXPECT_FALSE(called);
  EXPECT_EQ(FileCount(dir), 1);
}

}  // namespace
}  // namespace vantry
