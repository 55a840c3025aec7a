#include "analysis/word_segmenter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;

// The words of `gbk` as UTF-8 texts, each checked to lie on the text's characters.
std::vector<std::string> Words(WordSegmenter& segmenter, GbkView gbk,
                               std::vector<WordSpan>* spans = nullptr) {
  std::vector<WordSpan> words;
  segmenter.Segment(gbk, words);
  std::vector<std::string> texts;
  uint32_t last_end = 0;
  for (const WordSpan& w : words) {
    EXPECT_LE(last_end, w.begin);
    EXPECT_LT(w.begin, w.end);
    EXPECT_LE(w.end, gbk.size());
    last_end = w.end;
    texts.push_back(GbkToUtf8(gbk.substr(w.begin, w.end - w.begin)));
  }
  if (spans != nullptr) *spans = words;
  return texts;
}

TEST(WordSegmenterTest, ChineseAndGbkOnlyTextsComeBackByteForByte) {
  const auto segmenter = WordSegmenter::Create();
  ASSERT_NE(segmenter, nullptr);
  // 镕, 喆 and 堃 are GBK but not GB2312; the pair FF FF and a lone lead byte at the
  // end are no characters; the TAB and the NUL part words.
  const GbkText text = Gbk("链表的存储空间不连续，朱镕基和王喆、李堃。") +
                       GbkView("\xFF\xFF") + Gbk("顺序表\t") + GbkText(1, '\0') +
                       Gbk("随机访问") + GbkView("\xB0");
  std::vector<WordSpan> spans;
  const std::vector<std::string> words = Words(*segmenter, text, &spans);
  // Every Chinese character lies in exactly one word, and the words' bytes are the
  // text's own.
  GbkText joined;
  for (const WordSpan& w : spans) {
    if (!w.punctuation) joined += text.substr(w.begin, w.end - w.begin);
  }
  EXPECT_EQ(GbkToUtf8(joined), "链表的存储空间不连续朱镕基和王喆李堃顺序表随机访问");
  EXPECT_THAT(words, ::testing::Contains("链表"));
  EXPECT_THAT(words, ::testing::Contains("，"));
  for (size_t i = 0; i < words.size(); ++i) {
    EXPECT_EQ(spans[i].punctuation,
              words[i] == "，" || words[i] == "、" || words[i] == "。")
        << words[i];
    if (words[i] == "的" || words[i] == "和") {
      EXPECT_TRUE(spans[i].stop_word);
    }
    if (words[i] == "链表") {
      EXPECT_FALSE(spans[i].stop_word);
    }
  }
}

TEST(WordSegmenterTest, TheTeachersWordingsBecomeWholeWords) {
  const GbkText wording = Gbk("镕喆堃");
  const GbkText text = Gbk("答案：镕喆堃。");
  const auto plain = WordSegmenter::Create();
  ASSERT_NE(plain, nullptr);
  EXPECT_THAT(Words(*plain, text), ElementsAre("答案", "：", "镕", "喆", "堃", "。"));
  // Not words to add: a letter, and a word longer than friso's longest match.
  const GbkText letter = Gbk("x"), too_long = Gbk("太长的一个词语");
  const std::vector<GbkView> extra = {wording, letter, too_long};
  const auto taught = WordSegmenter::Create(extra);
  ASSERT_NE(taught, nullptr);
  EXPECT_THAT(Words(*taught, text), ElementsAre("答案", "：", "镕喆堃", "。"));
}

TEST(WordSegmenterTest, FormulasAndLettersKeepTheirBytes) {
  const auto segmenter = WordSegmenter::Create();
  ASSERT_NE(segmenter, nullptr);
  // friso cuts formulas at their brackets and symbols; they come out whole, without
  // symbols at their ends that pair with nothing.
  EXPECT_THAT(Words(*segmenter, Gbk("平均移动（2n+1）/3个，复杂度O(N)，2^(n-1).")),
              ElementsAre("平均", "移动", "（2n+1）/3", "个", "，", "复杂度", "O(N)",
                          "，", "2^(n-1)", "."));
}

TEST(WordSegmenterTest, LongTextsAreSegmentedWhole) {
  const auto segmenter = WordSegmenter::Create();
  ASSERT_NE(segmenter, nullptr);
  const GbkText sentence = Gbk("顺序表支持随机访问 ");
  const size_t per_sentence = Words(*segmenter, sentence).size();
  GbkText text;
  for (int i = 0; i < 2000; ++i) text += sentence;  // 38 kB, many pieces
  EXPECT_EQ(Words(*segmenter, text).size(), 2000 * per_sentence);
  // Without a space to cut at, no character is split or lost either.
  GbkText chinese;
  for (int i = 0; i < 3000; ++i) chinese += Gbk("表");
  std::vector<WordSpan> spans;
  Words(*segmenter, chinese, &spans);
  size_t covered = 0;
  for (const WordSpan& w : spans) covered += w.end - w.begin;
  EXPECT_EQ(covered, chinese.size());
}

}  // namespace
}  // namespace vantry
