// Whether an answer says anything: white space (the ASCII space, TAB, line breaks and
// the full-width space) is not content. One definition for every count of answers.
#ifndef VANTRY_TEXT_ANSWER_CONTENT_H_
#define VANTRY_TEXT_ANSWER_CONTENT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// The length in bytes of the white-space character at byte `i` of GBK `text` (on a
// character boundary), 0 when the character there is not white space.
size_t WhiteSpaceAt(GbkView text, size_t i);

// True when `text` holds a character that is not white space.
bool HasContent(GbkView text);

// True when `a` and `b` hold the same content: the same characters once white space
// is left out.
bool SameContent(GbkView a, GbkView b);

// A 64-bit digest of the content of `text` (its white space left out), continued from
// `digest`; start with kEmptyContentDigest. Texts with equal content have equal
// digests; unequal ones almost surely do not.
inline constexpr uint64_t kEmptyContentDigest = 0xCBF29CE484222325u;
uint64_t ContentDigest(GbkView text, uint64_t digest);
// `digest` closed at the end of one answer of several: an answer moved on to the next
// question then no longer digests the same.
uint64_t EndOfAnswerDigest(uint64_t digest);

}  // namespace vantry

#endif  // VANTRY_TEXT_ANSWER_CONTENT_H_
