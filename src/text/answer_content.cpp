#include "text/answer_content.h"

#include "text/gbk_text.h"

namespace vantry {

size_t WhiteSpaceAt(GbkView text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
  if (c == 0xA1 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA1)
    return 2;
  return 0;
}

bool HasContent(GbkView text) {
  for (size_t i = 0; i < text.size();) {
    const size_t space = WhiteSpaceAt(text, i);
    if (space == 0) return true;
    i += space;
  }
  return false;
}

namespace {

// The start of the next character at or after `i` that is not white space.
size_t SkipWhiteSpace(GbkView text, size_t i) {
  while (i < text.size()) {
    const size_t space = WhiteSpaceAt(text, i);
    if (space == 0) break;
    i += space;
  }
  return i;
}

size_t CharacterWidth(GbkView text, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// FNV-1a over the bytes of every character that is not white space.
constexpr uint64_t kPrime = 0x100000001B3u;

}  // namespace

bool SameContent(GbkView a, GbkView b) {
  size_t i = SkipWhiteSpace(a, 0), k = SkipWhiteSpace(b, 0);
  while (i < a.size() && k < b.size()) {
    const size_t width = CharacterWidth(a, i);
    if (width != CharacterWidth(b, k) || a.substr(i, width) != b.substr(k, width))
      return false;
    i = SkipWhiteSpace(a, i + width);
    k = SkipWhiteSpace(b, k + width);
  }
  return i == a.size() && k == b.size();
}

uint64_t EndOfAnswerDigest(uint64_t digest) {
  // A TAB, which content never holds.
  return (digest ^ '\t') * kPrime;
}

uint64_t ContentDigest(GbkView text, uint64_t digest) {
  for (size_t i = 0; i < text.size();) {
    const size_t space = WhiteSpaceAt(text, i);
    if (space > 0) {
      i += space;
      continue;
    }
    const size_t width = CharacterWidth(text, i);
    for (size_t k = 0; k < width; ++k) {
      digest = (digest ^ static_cast<unsigned char>(text[i + k])) * kPrime;
    }
    i += width;
  }
  return digest;
}

}  // namespace vantry
