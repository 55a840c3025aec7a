// The program's skins, carried inside it and handed to the skin library.
#ifndef VANTRY_APP_SKIN_TABLE_H_
#define VANTRY_APP_SKIN_TABLE_H_

#include <string_view>

namespace vantry {

inline constexpr int kSkinCount = 33;

// The bytes of skin `number` (1 to kSkinCount), a block in the skin library's format
// starting with ".SHE"; empty for any other number. Generated from skin/skins.tsv.
std::string_view SkinTableEntry(int number);

}  // namespace vantry

#endif  // VANTRY_APP_SKIN_TABLE_H_
