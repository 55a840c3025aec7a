// Finding a byte string in a text in linear time, at memory speed in the common case.
#ifndef VANTRY_TEXT_BYTE_SEARCH_H_
#define VANTRY_TEXT_BYTE_SEARCH_H_

#include <cstddef>
#include <string_view>

namespace vantry {

// A sought byte string (not empty) prepared for ByteMatches: compared exactly, or with
// ASCII letters folded in every byte. Preparing takes O(length) time; one pattern
// serves any number of searches. The bytes must outlive the pattern.
class BytePattern {
 public:
  BytePattern(std::string_view sought, bool fold_case);

  size_t size() const { return m_; }

 private:
  friend class ByteMatches;

  // Two positions of the sought text and their bytes (folded to lower case when
  // folding), which every occurrence has; `letter` when the byte is a letter matched
  // in either case.
  struct FilterByte {
    size_t at = 0;
    unsigned char byte = 0;
    bool letter = false;
  };

  const unsigned char* sought_;
  size_t m_;
  bool fold_;
  // Critical factorization: the left part is sought[0, critical_), the right part
  // the rest; `period_` is the shift after a full match.
  size_t critical_ = 0;
  size_t period_ = 1;
  bool periodic_ = false;
  FilterByte first_, second_;
};

// Every occurrence of a pattern in `text` that begins at or after `from`, left to
// right, overlapping ones included, compared byte by byte. Characters are not looked
// at (FindText adds the character boundaries).
//
// The Two-Way algorithm of Crochemore and Perrin verifies candidates, so all calls of
// Next together take O(text + pattern) time whatever the bytes, with O(1) extra space;
// while no partial match is pending, a vector scan for two bytes of the pattern skips
// the text that cannot match. The text and the pattern must outlive the object.
class ByteMatches {
 public:
  ByteMatches(std::string_view text, const BytePattern& pattern, size_t from);

  // The 0-based index of the next occurrence, or npos when there is none.
  size_t Next();

  static constexpr size_t npos = std::string_view::npos;

 private:
  // The first alignment at or after `j` whose two filter bytes match, or npos.
  size_t Skip(size_t j) const;

  const unsigned char* text_;
  size_t n_;  // text length
  const BytePattern& pattern_;
  // The search state: the next alignment, and how many leading bytes of the pattern
  // are known to match there (after a match of a periodic pattern).
  size_t j_;
  size_t memory_ = 0;
};

}  // namespace vantry

#endif  // VANTRY_TEXT_BYTE_SEARCH_H_
