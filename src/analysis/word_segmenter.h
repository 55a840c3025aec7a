// Chinese word segmentation of answers, to find whole-word candidate wordings: friso
// with its dictionary built into the program. Never used for matching: the grader
// matches plain GBK substrings.
#ifndef VANTRY_ANALYSIS_WORD_SEGMENTER_H_
#define VANTRY_ANALYSIS_WORD_SEGMENTER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace vantry {

// One word of a GBK text: bytes [begin, end) of the text, on character boundaries as
// the grader's searches step (a byte of 0x80 or more starts a two-byte character).
struct WordSpan {
  uint32_t begin = 0;
  uint32_t end = 0;
  // Punctuation and symbols, as opposed to words of letters, digits or Chinese.
  bool punctuation = false;
  // A particle or stop word (的, 了, 是, the, …), or punctuation: no candidate wording
  // begins or ends with one.
  bool stop_word = false;
};

// friso with its dictionary and the given extra words. It keeps state in its
// dictionary while it segments, so one object serves one thread at a time.
//
// friso ends the process when an allocation fails; it is kept from that by bounding
// what it is given: its dictionary is the fixed one built into the program plus a
// bounded number of short extra words, and it sees each text in pieces of a few
// kilobytes, so its memory never grows with the input. The object is made only when
// the memory that needs (kMemoryNeeded) is available.
class WordSegmenter {
 public:
  // The memory friso takes with its dictionary, with room to spare (it takes about
  // 25 MiB).
  static constexpr uint64_t kMemoryNeeded = uint64_t{96} << 20;
  // Extra words beyond this number are not added.
  static constexpr size_t kMaxExtraWords = 100000;

  // The segmenter with `extra_words` (GBK; the teacher's own wordings) added to its
  // dictionary, so that they come out as whole words; a word that is not two to five
  // Chinese characters is not added. nullptr when the memory it needs is not there.
  [[nodiscard]] static std::unique_ptr<WordSegmenter> Create(
      std::span<const GbkView> extra_words = {});
  ~WordSegmenter();
  WordSegmenter(const WordSegmenter&) = delete;
  WordSegmenter& operator=(const WordSegmenter&) = delete;

  // Empties `words`, then appends the words of the GBK text `gbk` in order. White
  // space, control characters and bytes that are not valid GBK belong to no word. A
  // formula of ASCII letters, digits, symbols and brackets ("O(n)", "（2n+1）/3") is one
  // word.
  void Segment(GbkView gbk, std::vector<WordSpan>& words);

 private:
  struct Friso;
  explicit WordSegmenter(std::unique_ptr<Friso> friso);

  std::unique_ptr<Friso> friso_;
  // The text of the piece being segmented, in UTF-8, and for each of its bytes that
  // starts a character (and for its end) the byte of the GBK text it came from.
  std::string utf8_;
  std::vector<uint32_t> gbk_at_;
};

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_WORD_SEGMENTER_H_
