// GbkText: the byte strings every part of Vantry reads, writes and shows.
#ifndef VANTRY_TEXT_GBK_TEXT_H_
#define VANTRY_TEXT_GBK_TEXT_H_

#include <string>

namespace vantry {

// Bytes in code page 936. Positions at the interfaces are 1-based byte positions,
// lengths count bytes, and a byte of 0x80 or more starts a two-byte character that
// every search steps over whole.
using GbkText = std::string;

// True when `byte` starts a two-byte character.
constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

}  // namespace vantry

#endif  // VANTRY_TEXT_GBK_TEXT_H_
