#include "platform/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

namespace vantry {
namespace {

Result<int> Half(int n) {
  if (n % 2 != 0) return Failure{"不是偶数：" + std::to_string(n)};
  return n / 2;
}

TEST(ResultTest, HoldsTheValueOrTheFailureAndItsMessage) {
  const Result<int> half = Half(8);
  ASSERT_TRUE(half.ok());
  EXPECT_TRUE(static_cast<bool>(half));
  EXPECT_EQ(*half, 4);
  EXPECT_EQ(half.message(), "");
  EXPECT_TRUE(half.status().ok());

  const Result<int> odd = Half(7);
  EXPECT_FALSE(odd.ok());
  EXPECT_FALSE(static_cast<bool>(odd));
  EXPECT_EQ(odd.message(), "不是偶数：7");
  const Status status = odd.status();
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message(), "不是偶数：7");
}

TEST(ResultTest, AFailureWithoutWordsIsStillAFailure) {
  const Status failed = Failure{};
  EXPECT_FALSE(failed.ok());
  EXPECT_EQ(failed.message(), "");
  const Status fine;
  EXPECT_TRUE(fine.ok());
  EXPECT_FALSE(Result<std::string>(Failure{}).ok());
  EXPECT_TRUE(Result<std::string>(std::string()).ok());
}

TEST(ResultTest, MovesAValueThatCannotBeCopiedOut) {
  Result<std::unique_ptr<int>> made = std::make_unique<int>(3);
  ASSERT_TRUE(made.ok());
  std::unique_ptr<int> taken = std::move(made).value();
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(*taken, 3);
}

// A failure that says more than its message: what the caller branches on survives,
// and status() keeps the message alone.
TEST(ResultTest, AFailureOfItsOwnTypeKeepsWhatCallersBranchOn) {
  struct Refusal {
    int code = 0;
    std::string message;
  };
  const Result<std::string, Refusal> refused = Refusal{7, "拒绝"};
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.failure().code, 7);
  EXPECT_EQ(refused.message(), "拒绝");
  EXPECT_EQ(refused.status().message(), "拒绝");
  EXPECT_FALSE(refused.status().ok());
  const Result<std::string, Refusal> given = std::string("好");
  ASSERT_TRUE(given.ok());
  EXPECT_EQ(*given, "好");
  EXPECT_TRUE(given.status().ok());
}

}  // namespace
}  // namespace vantry
