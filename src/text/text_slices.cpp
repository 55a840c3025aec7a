#include "text/text_slices.h"

#include <cstring>

namespace vantry {
namespace {

// Length of the space character at `i`, or 0 when there is none.
size_t SpaceAt(GbkView text, size_t i) {
  if (text[i] == ' ') return 1;
  if (i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xA1 &&
      static_cast<unsigned char>(text[i + 1]) == 0xA1) {
    return 2;
  }
  return 0;
}

size_t CharLength(GbkView text, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

}  // namespace

GbkText Left(GbkView text, int64_t n) {
  if (n <= 0) return {};
  return GbkText(text.substr(0, static_cast<size_t>(n)));
}

GbkText Right(GbkView text, int64_t n) {
  if (n <= 0) return {};
  const size_t k = std::min(text.size(), static_cast<size_t>(n));
  return GbkText(text.substr(text.size() - k));
}

GbkText Middle(GbkView text, int64_t start, int64_t n) {
  if (n <= 0 || start < 1 || static_cast<uint64_t>(start) > text.size()) return {};
  return GbkText(text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(n)));
}

GbkText TrimSpaces(GbkView text) {
  // Leading spaces are found on character boundaries from the start.
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t k = SpaceAt(text, begin);
    if (k == 0) break;
    begin += k;
  }
  // Trailing spaces: walk the rest by characters and remember where the last
  // non-space character ended, so a trail byte A1 is never mistaken for a space.
  size_t end = begin;
  for (size_t i = begin; i < text.size();) {
    const size_t k = SpaceAt(text, i);
    if (k != 0) {
      i += k;
      continue;
    }
    i += CharLength(text, i);
    end = i;
  }
  return GbkText(text.substr(begin, end - begin));
}

GbkText RemoveAllSpaces(GbkView text) {
  GbkText out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t k = SpaceAt(text, i);
    if (k != 0) {
      i += k;
      continue;
    }
    const size_t len = CharLength(text, i);
    out.append(text.substr(i, len));
    i += len;
  }
  return out;
}

GbkText ToLowerAscii(GbkView text) {
  GbkText out(text);
  for (size_t i = 0; i < out.size();) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c)) {
      i += 2;
      continue;
    }
    if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + ('a' - 'A'));
    ++i;
  }
  return out;
}

GbkText TextUpToNul(std::string_view bytes) {
  const void* nul = std::memchr(bytes.data(), '\0', bytes.size());
  if (nul == nullptr) return GbkText(bytes);
  return GbkText(
      bytes.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - bytes.data())));
}

}  // namespace vantry
