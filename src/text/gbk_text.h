// GbkText: the byte strings every part of Vantry reads, writes and shows.
#ifndef VANTRY_TEXT_GBK_TEXT_H_
#define VANTRY_TEXT_GBK_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vantry {

// Bytes in code page 936. Positions at the interfaces are 1-based byte positions,
// lengths count bytes, and a byte of 0x80 or more starts a two-byte character that
// every search steps over whole.
using GbkText = std::string;

// True when `byte` starts a two-byte character.
constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

// The number of characters of `gbk` as the searches step through it: a two-byte
// character counts one, and so does a lead byte that ends the text.
constexpr size_t CharacterCount(std::string_view gbk) {
  size_t count = 0;
  for (size_t i = 0; i < gbk.size(); ++count)
    i += IsLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
  return count;
}

}  // namespace vantry

#endif  // VANTRY_TEXT_GBK_TEXT_H_
