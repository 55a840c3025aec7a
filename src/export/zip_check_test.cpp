#include "export/zip_check.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>

#include "platform/file_io.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

void Put(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
               Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// One member written as a zip writer writes it; `spoil` may change its local header.
struct Member {
  std::string name;
  std::string data;
  bool deflated = false;
  bool zip64 = false;  // sizes in a ZIP64 field of the local header
};

std::string Archive(const std::vector<Member>& members,
                    const std::function<void(std::string& local)>& spoil = {}) {
  std::string out, directory;
  for (const Member& m : members) {
    const std::string stored = m.deflated ? RawDeflate(m.data) : m.data;
    const auto crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), m.data.size()));
    const uint64_t offset = out.size();
    std::string local;
    Put(local, 0x04034b50, 4);
    Put(local, 45, 2);
    Put(local, 0, 2);
    Put(local, m.deflated ? 8 : 0, 2);
    Put(local, 0, 4);
    Put(local, crc, 4);
    Put(local, m.zip64 ? 0xFFFFFFFF : stored.size(), 4);
    Put(local, m.zip64 ? 0xFFFFFFFF : m.data.size(), 4);
    Put(local, m.name.size(), 2);
    Put(local, m.zip64 ? 20 : 0, 2);
    local += m.name;
    if (m.zip64) {
      Put(local, 1, 2);
      Put(local, 16, 2);
      Put(local, m.data.size(), 8);
      Put(local, stored.size(), 8);
    }
    if (spoil) spoil(local);
    out += local + stored;
    Put(directory, 0x02014b50, 4);
    Put(directory, 45, 2);
    Put(directory, 45, 2);
    Put(directory, 0, 2);
    Put(directory, m.deflated ? 8 : 0, 2);
    Put(directory, 0, 4);
    Put(directory, crc, 4);
    Put(directory, stored.size(), 4);
    Put(directory, m.data.size(), 4);
    Put(directory, m.name.size(), 2);
    Put(directory, 0, 2 * 4);
    Put(directory, 0, 4);
    Put(directory, offset, 4);
    directory += m.name;
  }
  const uint64_t directory_offset = out.size();
  out += directory;
  Put(out, 0x06054b50, 4);
  Put(out, 0, 4);
  Put(out, members.size(), 2);
  Put(out, members.size(), 2);
  Put(out, directory.size(), 4);
  Put(out, directory_offset, 4);
  Put(out, 0, 2);
  return out;
}

TEST(CheckZipArchiveTest, PassesWholeArchivesAndNamesWhatIsWrongWithOthers) {
  const std::string sheet = "<worksheet>" + std::string(100000, 'x') + "</worksheet>";
  const std::vector<Member> members = {{"a.xml", "<a/>"},
                                       {"xl/worksheets/sheet1.xml", sheet, true},
                                       {"big.xml", sheet, true, /*zip64=*/true}};
  const std::string whole = Archive(members);
  struct Case {
    const char* what;
    std::string bytes;
    bool whole;
  } cases[] = {
      {"whole", whole, true},
      {"cut short", whole.substr(0, whole.size() - 60), false},
      {"a byte of the data changed",
       whole.substr(0, 40) + static_cast<char>(whole[40] ^ 1) + whole.substr(41), false},
      // A writer that wrapped a size past 4 GB into the local header without the
      // ZIP64 field: the header says less than the directory.
      {"local size wrong",
       Archive(members,
               [](std::string& local) {
                 if (local[26] == 5) local[22] = 0;  // a.xml only
               }),
       false},
      {"not a zip", std::string(5000, 'x'), false},
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    const auto path = dir.Write("archive.zip", c.bytes);
    std::string seen;
    const std::string problem =
        CheckZipArchive(path, [&](std::string_view member, std::string_view data) {
          if (member == "xl/worksheets/sheet1.xml") seen.append(data);
        });
    EXPECT_EQ(problem.empty(), c.whole) << c.what << ": " << problem;
    if (c.whole) {
      EXPECT_EQ(seen, sheet);
    }
  }
}

}  // namespace
}  // namespace vantry
