// Texts past 2 GiB: positions beyond the 32-bit range keep their meaning in the search,
// the tagged-field scan and the substitution. The texts are zero-filled anonymous
// mappings that reserve no memory, so only the pages written take any.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "testing/test_support.h"
#include "text/find_text.h"
#include "text/substitute_text.h"
#include "text/tagged_fields.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;

constexpr size_t kTwoGib = size_t{1} << 31;

// A text of `size` NUL bytes, with bytes put where a test needs them.
class HugeText {
 public:
  explicit HugeText(size_t size) : size_(size) {
    void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    data_ = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
  }
  HugeText(const HugeText&) = delete;
  HugeText& operator=(const HugeText&) = delete;
  ~HugeText() {
    if (data_ != nullptr) ::munmap(data_, size_);
  }
  bool ok() const { return data_ != nullptr; }
  // Puts `bytes` at the 1-based position `at`.
  void Put(int64_t at, GbkView text) {
    std::memcpy(data_ + at - 1, text.data(), text.size());
  }
  GbkView view() const { return GbkView(std::string_view(data_, size_)); }

 private:
  char* data_;
  size_t size_;
};

constexpr char kNoRoom[] =
    "no room for a mapping past 2 GiB here (address-space limit or 32-bit system)";

TEST(HugeTextTest, SearchesFindPositionsPastTwoGib) {
  HugeText text(kTwoGib + (64 << 10));
  if (!text.ok()) GTEST_SKIP() << kNoRoom;
  const int64_t far = int64_t{1} << 31;  // one past the largest 32-bit position
  text.Put(3, Gbk("甲"));
  text.Put(far + 100, Gbk("光合作用"));
  text.Put(far + 1000, Gbk("光合作用"));
  EXPECT_EQ(FindText(text.view(), Gbk("光合作用")), far + 100);
  EXPECT_EQ(FindText(text.view(), Gbk("光合作用"), far + 101), far + 1000);
  EXPECT_EQ(FindText(text.view(), Gbk("光合作用"), far + 1001), -1);
  EXPECT_EQ(FindText(text.view(), ""_gbk, far + 7), far + 7);
  EXPECT_EQ(FindTextBackward(text.view(), Gbk("光合作用")), far + 1000);
  EXPECT_EQ(FindTextBackward(text.view(), Gbk("光合作用"), far + 1000), far + 100);
  EXPECT_EQ(FindText(text.view(), Gbk("甲")), 3);
  // A start beyond the end, past the 32-bit range too.
  EXPECT_EQ(FindText(text.view(), Gbk("甲"), int64_t{1} << 40), -1);
}

// The start tag at byte 2,147,483,643 ends 5 bytes past the 32-bit range: the field
// position used to overflow there.
TEST(HugeTextTest, TaggedFieldsStraddlingAndBeyondTwoGib) {
  HugeText text(kTwoGib + (64 << 10));
  if (!text.ok()) GTEST_SKIP() << kNoRoom;
  const GbkText start = Gbk("<姓名>\t"), end = Gbk("\t</姓名>");
  text.Put(1, start + Gbk("甲") + end);
  text.Put(2147483643, start + Gbk("乙") + end);
  text.Put((int64_t{1} << 31) + 4096, start + Gbk("丙") + end);
  std::vector<GbkView> names;
  EXPECT_EQ(ExtractTaggedFieldViews(text.view(), start, end, names), 3);
  EXPECT_THAT(names, ElementsAre(Gbk("甲"), Gbk("乙"), Gbk("丙")));
  std::vector<GbkText> copies;
  const TaggedFieldsResult result = ExtractTaggedFields(text.view(), start, end, copies);
  EXPECT_TRUE(result.complete);
  EXPECT_THAT(copies, ElementsAre(Gbk("甲"), Gbk("乙"), Gbk("丙")));
}

// The comma substitution of the parameters file on a text past 2 GiB: the comma
// beyond the 32-bit range is replaced once, and the scan does not wrap to the start.
TEST(HugeTextTest, SubstitutionPastTwoGibReplacesOnceAndEnds) {
  const size_t size = kTwoGib + (64 << 10);
  if (AvailableMemoryBytes() < 2 * size + (size_t{1} << 30)) {
    GTEST_SKIP() << "needs " << (2 * size >> 20) << " MiB of free memory for the copy";
  }
  HugeText text(size);
  if (!text.ok()) GTEST_SKIP() << kNoRoom;
  const int64_t far = (int64_t{1} << 31) + 10;
  text.Put(5, ","_gbk);
  text.Put(far, ","_gbk);
  const GbkText comma = Gbk("，");
  const GbkText out = SubstituteText(text.view(), ","_gbk, comma);
  ASSERT_EQ(out.size(), size + 2);
  // The text again, each comma widened to two bytes: compared in three stretches
  // (memcmp keeps this quick in unoptimised sanitizer builds too).
  const std::string_view in = text.view().bytes();
  const auto far_index = static_cast<size_t>(far) - 1;
  EXPECT_EQ(std::memcmp(out.data(), in.data(), 4), 0);
  EXPECT_EQ(out.substr(4, 2), comma);
  EXPECT_EQ(std::memcmp(out.data() + 6, in.data() + 5, far_index - 5), 0);
  EXPECT_EQ(out.substr(far_index + 1, 2), comma);
  EXPECT_EQ(std::memcmp(out.data() + far_index + 3, in.data() + far_index + 1,
                        size - far_index - 1),
            0);
}

}  // namespace
}  // namespace vantry
