#include "text/gbk_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_set>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

// The point of the types: text of one encoding never becomes the other by itself. A
// wrong-encoding call must not compile, so these are checked when the test builds.
static_assert(!std::is_convertible_v<std::string, GbkText>);
static_assert(!std::is_convertible_v<std::string_view, GbkView>);
static_assert(!std::is_convertible_v<const char*, GbkView>);
static_assert(!std::is_convertible_v<const GbkText&, std::string_view>);
static_assert(!std::is_convertible_v<GbkView, std::string_view>);
static_assert(!std::is_convertible_v<const GbkText&, const std::string&>);
// Within GBK, owning and viewing meet freely.
static_assert(std::is_convertible_v<const GbkText&, GbkView>);
static_assert(std::is_convertible_v<GbkView, GbkText>);

TEST(GbkTextTest, OwnedAndViewedTextCompareHashAndJoinAlike) {
  const GbkText owned = Gbk("光合作用");
  const GbkView viewed = owned;
  EXPECT_EQ(viewed.data(), owned.data());  // a view, not a copy
  EXPECT_EQ(owned, viewed);
  EXPECT_EQ(std::hash<GbkText>()(owned), std::hash<GbkView>()(viewed));
  std::unordered_set<GbkView> seen = {viewed};
  EXPECT_TRUE(seen.contains(Gbk("光合作用")));

  // Joins and slices stay GBK; positions and lengths count bytes.
  const GbkText joined = "<"_gbk + owned + ">"_gbk;
  EXPECT_EQ(joined.size(), owned.size() + 2);
  EXPECT_EQ(joined.substr(1, 4), Gbk("光合"));
  EXPECT_EQ(joined.find(Gbk("作用")), 5u);
  EXPECT_TRUE(joined.starts_with("<"_gbk) && joined.ends_with(">"_gbk));
  EXPECT_LT("a"_gbk, "b"_gbk);
  EXPECT_LT(Gbk("甲"), Gbk("乙"));  // byte order: BC D7 before D2 D2
}

TEST(GbkTextTest, BytesLeaveOnlyWhenAskedForAndMoveOut) {
  // A byte that is no GBK stays as it is.
  const GbkText odd = Gbk("甲") + GbkView("\xFF");
  EXPECT_EQ(odd.bytes(), std::string("\xBC\xD7\xFF"));
  EXPECT_EQ(CharacterCount(odd), 2u);  // 甲, then the lone lead byte

  GbkText long_text(1000, 'x');
  const char* data = long_text.data();
  const std::string moved = std::move(long_text).bytes();
  EXPECT_EQ(moved.data(), data);  // handed over, not copied
}

}  // namespace
}  // namespace vantry
