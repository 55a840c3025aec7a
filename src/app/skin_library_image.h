// The skin library's file, carried inside the program.
#ifndef VANTRY_APP_SKIN_LIBRARY_IMAGE_H_
#define VANTRY_APP_SKIN_LIBRARY_IMAGE_H_

#include <span>

namespace vantry {

// The bytes of the skin library module built with the program (embedded at build time).
std::span<const unsigned char> SkinLibraryImage();

}  // namespace vantry

#endif  // VANTRY_APP_SKIN_LIBRARY_IMAGE_H_
