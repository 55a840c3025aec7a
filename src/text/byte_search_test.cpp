#include "text/byte_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vantry {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<size_t> All(std::string_view text, std::string_view sought, size_t from = 0,
                        bool fold = false) {
  std::vector<size_t> found;
  const BytePattern pattern(sought, fold);
  ByteMatches matches(text, pattern, from);
  for (size_t i = matches.Next(); i != ByteMatches::npos; i = matches.Next()) {
    found.push_back(i);
  }
  return found;
}

std::vector<size_t> Naive(const std::string& text, const std::string& sought, size_t from,
                          bool fold) {
  const auto f = [fold](unsigned char c) {
    return fold && c >= 'A' && c <= 'Z' ? c + 32 : c;
  };
  std::vector<size_t> found;
  for (size_t i = from; i + sought.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < sought.size() && f(static_cast<unsigned char>(text[i + k])) ==
                                    f(static_cast<unsigned char>(sought[k]))) {
      ++k;
    }
    if (k == sought.size()) found.push_back(i);
  }
  return found;
}

TEST(ByteMatchesTest, FindsEveryOccurrenceOverlappingOnesIncluded) {
  EXPECT_THAT(All("aaaa", "aa"), ElementsAre(0, 1, 2));
  EXPECT_THAT(All("abababa", "aba"), ElementsAre(0, 2, 4));
  EXPECT_THAT(All("abababa", "aba", 1), ElementsAre(2, 4));
  EXPECT_THAT(All("xAbCabc", "abc", 0, true), ElementsAre(1, 4));
  EXPECT_THAT(All("xAbCabc", "abc"), ElementsAre(4));
  EXPECT_THAT(All("abc", "abcd"), IsEmpty());
  EXPECT_THAT(All("abc", "c", 3), IsEmpty());
  EXPECT_THAT(All("abc", ""), IsEmpty());
  // Folding touches letters only: '@' is not '`' although they differ by 0x20 too.
  EXPECT_THAT(All("`@", "@", 0, true), ElementsAre(1));
  EXPECT_THAT(All("[{", "{", 0, true), ElementsAre(1));
}

// Random texts over few bytes (so that matches, near misses and periodic patterns are
// frequent) and long enough to cross the 64-byte blocks of the vector scan, against
// the naive scan at every alignment.
TEST(ByteMatchesTest, AgreesWithTheNaiveScanOnRandomTexts) {
  const std::string alphabets[] = {"ab", "aAbB", std::string("a\x81\x40@`", 5), "abc"};
  std::mt19937 random(2024);
  for (int round = 0; round < 20000; ++round) {
    const std::string& alphabet = alphabets[round % 4];
    const auto pick = [&](size_t n) {
      std::string s;
      for (size_t i = 0; i < n; ++i) s += alphabet[random() % alphabet.size()];
      return s;
    };
    std::string sought = pick(1 + random() % (round % 10 == 0 ? 40 : 8));
    // Periodic sought texts, the hard case for the verifier.
    if (round % 3 == 0) {
      const std::string unit = sought.substr(0, 1 + random() % 3);
      sought.clear();
      while (sought.size() < 4u + static_cast<size_t>(round % 13)) sought += unit;
    }
    std::string text = pick(random() % 300);
    // Plant occurrences so that long sought texts match too.
    for (int k = 0; k < 3 && text.size() > sought.size(); ++k) {
      text.replace(random() % (text.size() - sought.size()), sought.size(), sought);
    }
    const size_t from = random() % (text.size() + 2);
    const bool fold = round % 2 == 1;
    ASSERT_EQ(All(text, sought, from, fold), Naive(text, sought, from, fold))
        << "round " << round << " sought " << sought << " from " << from;
  }
}

// The vector scan reads only inside the text: a match in the last byte, and texts just
// longer and shorter than its blocks.
TEST(ByteMatchesTest, FindsMatchesAtBlockEdgesAndTheVeryEnd) {
  for (size_t n : {63u, 64u, 65u, 127u, 128u, 129u, 1000u}) {
    for (const std::string sought : {"q", "qz", "Qz!"}) {
      std::string text(n, 'x');
      text.replace(n - sought.size(), sought.size(), sought);
      const std::string heap(text);  // exactly n bytes on the heap
      EXPECT_THAT(All(heap, sought), ElementsAre(n - sought.size())) << n;
      const std::vector<size_t> folded =
          sought == "Qz!" ? std::vector<size_t>{n - 3} : std::vector<size_t>{};
      EXPECT_EQ(All(heap, "QZ!", 0, true), folded) << n;
    }
  }
}

}  // namespace
}  // namespace vantry
