#include "text/find_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(FindTextTest, FindsFromStartPosition) {
  EXPECT_EQ(FindText("abcabc"_gbk, "bc"_gbk), 2);
  EXPECT_EQ(FindText("abcabc"_gbk, "bc"_gbk, 3), 5);
  EXPECT_EQ(FindText("abcabc"_gbk, "bc"_gbk, -7), 2);
  EXPECT_EQ(FindText("abcabc"_gbk, "x"_gbk), -1);
  EXPECT_EQ(FindText("abc"_gbk, "abcd"_gbk), -1);
}

TEST(FindTextTest, EmptySoughtAndStartBeyondEnd) {
  EXPECT_EQ(FindText("abc"_gbk, ""_gbk), 1);
  EXPECT_EQ(FindText("abc"_gbk, ""_gbk, 3), 3);
  EXPECT_EQ(FindText(""_gbk, ""_gbk), -1);
  EXPECT_EQ(FindText("abc"_gbk, ""_gbk, 4), -1);
  EXPECT_EQ(FindText("abc"_gbk, "c"_gbk, 4), -1);
}

TEST(FindTextTest, TwoByteCharactersAreSteppedOverWhole) {
  // 中 is D6 D0, 文 is CE C4: the pair D0 CE straddles the two characters.
  const GbkText text = Gbk("中文");
  EXPECT_EQ(FindText(text, GbkView("\xD0\xCE")), -1);
  EXPECT_EQ(FindText(text, Gbk("文")), 3);
  // An ASCII trail byte after a lead byte is not a character of its own: 丂 is 81 40.
  EXPECT_EQ(FindText(GbkView("\x81@@"), "@"_gbk), 3);
  EXPECT_EQ(FindText(GbkView("x\x81@@"), "@"_gbk), 4);
  EXPECT_EQ(FindText(GbkView("\x81\x81\x81@@"), "@"_gbk), 5);
  EXPECT_EQ(FindText(GbkView("\x81\x81@@"), "@"_gbk), 3);
  // Boundaries are counted from the start position, not from the text's start.
  EXPECT_EQ(FindText(GbkView("\x81@@"), "@"_gbk, 2), 2);
}

TEST(FindTextTest, LoneLeadByteAtTheEndIsNoMatchAndNoOverread) {
  EXPECT_EQ(FindText(GbkView("ab\x81"), GbkView("\x81")), 3);
  EXPECT_EQ(FindText(GbkView("ab\x81"), GbkView("\x81x")), -1);
  EXPECT_EQ(FindText(GbkView("\x81"), "a"_gbk), -1);
}

TEST(FindTextTest, IgnoreCaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(FindText("xabc"_gbk, "ABC"_gbk, 1, true), 2);
  EXPECT_EQ(FindText("xabc"_gbk, "ABC"_gbk, 1, false), -1);
  // The second byte of a two-byte character is folded like any byte: 81 41 vs 81 61.
  EXPECT_EQ(FindText(GbkView("\x81\x41"), GbkView("\x81\x61"), 1, true), 1);
  EXPECT_EQ(FindText(GbkView("\x81\x41"), GbkView("\x81\x61"), 1, false), -1);
  EXPECT_EQ(FindText(GbkView("\xC4\xE3"), GbkView("\xE4\xE3"), 1, true), -1);
}

TEST(FindTextTest, BackwardFindsLastOccurrenceWithinEnd) {
  EXPECT_EQ(FindTextBackward("abcabc"_gbk, "bc"_gbk), 5);
  EXPECT_EQ(FindTextBackward("abcabc"_gbk, "bc"_gbk, 6), 2);  // must lie within 5 bytes
  EXPECT_EQ(FindTextBackward("abcabc"_gbk, "bc"_gbk, 7), 5);
  EXPECT_EQ(FindTextBackward("aaaa"_gbk, "aa"_gbk), 3);
  EXPECT_EQ(FindTextBackward("abc"_gbk, "x"_gbk), -1);
  EXPECT_EQ(FindTextBackward(Gbk("中文中"), GbkView("\xD0\xCE")), -1);
}

TEST(FindTextTest, AgreesWithNaiveCharacterScan) {
  // A mixed text where ASCII bytes also appear as trail bytes.
  std::string text;
  for (int i = 0; i < 400; ++i) {
    text += (i % 7 == 0)   ? "\x81@"
            : (i % 5 == 0) ? "@"
            : (i % 3 == 0) ? Gbk("字").bytes()
                           : "a";
  }
  for (const std::string sought : {"@", "@a", "a@", "\x81@", "@@"}) {
    std::vector<int> naive;
    for (size_t i = 0; i + sought.size() <= text.size();
         i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1) {
      if (text.compare(i, sought.size(), sought) == 0)
        naive.push_back(static_cast<int>(i) + 1);
    }
    std::vector<int> found;
    for (int p = FindText(GbkView(text), GbkView(sought)); p > 0;
         p = FindText(GbkView(text), GbkView(sought), p + 1)) {
      // Resuming at p + 1 is only valid after ASCII; resume on the next boundary.
      found.push_back(p);
      if (static_cast<unsigned char>(text[p - 1]) >= 0x80) ++p;
    }
    EXPECT_EQ(found, naive) << sought;
  }
}

// The forward scan exactly as the rules state it, as a reference.
// Gives the first match, or with `last` the last one lying within `limit` bytes.
int NaiveFind(const std::string& text, const std::string& sought, int start, bool fold,
              size_t limit, bool last = false) {
  const auto f = [&](unsigned char c) -> unsigned char {
    return fold && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
  };
  int found = -1;
  for (size_t i = static_cast<size_t>(start) - 1; i + sought.size() <= limit;
       i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1) {
    bool equal = true;
    for (size_t k = 0; k < sought.size() && equal; ++k) {
      equal = f(static_cast<unsigned char>(text[i + k])) ==
              f(static_cast<unsigned char>(sought[k]));
    }
    if (equal) found = static_cast<int>(i) + 1;
    if (equal && !last) return found;
  }
  return found;
}

TEST(FindTextTest, AgreesWithNaiveScanOnRandomMixedTexts) {
  // Few distinct bytes, so that matches straddling characters, runs of two-byte
  // characters and letters in either case are all frequent.
  const unsigned char alphabet[] = {'a', 'A', '|', 0x7C, 0x81, 0xA1, 0xB0, 0xE2};
  std::mt19937 random(12345);
  const auto pick = [&](size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>(alphabet[random() % 8]);
    return s;
  };
  for (int round = 0; round < 6000; ++round) {
    // Texts long enough to cross the 64-byte blocks of the vector scan as well.
    const std::string text = pick(random() % (round % 4 == 0 ? 300 : 40));
    const std::string sought = pick(1 + random() % (round % 5 == 0 ? 6 : 3));
    const bool fold = random() % 2 == 0;
    const int start = 1 + static_cast<int>(random() % (text.size() + 1));
    const int expected = start <= static_cast<int>(text.size())
                             ? NaiveFind(text, sought, start, fold, text.size())
                             : -1;
    ASSERT_EQ(FindText(GbkView(text), GbkView(sought), start, fold), expected)
        << round << " start " << start << " fold " << fold;
    const int end = static_cast<int>(random() % (text.size() + 2));
    const size_t limit = end > 0 && static_cast<size_t>(end) - 1 < text.size()
                             ? static_cast<size_t>(end) - 1
                             : text.size();
    ASSERT_EQ(FindTextBackward(GbkView(text), GbkView(sought), end, fold),
              limit == 0 ? -1 : NaiveFind(text, sought, 1, fold, limit, true))
        << round << " end " << end << " fold " << fold;
  }
}

}  // namespace
}  // namespace vantry
