// File system paths from and to UTF-8 texts, the same way on every platform.
#ifndef VANTRY_PLATFORM_UTF8_PATH_H_
#define VANTRY_PLATFORM_UTF8_PATH_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace vantry {

// The path that the UTF-8 text names. On Windows it becomes the wide-character name
// (never the narrow code-page conversion, which loses Chinese outside code page 936
// and differs from machine to machine); elsewhere the bytes are the name.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The path as UTF-8 text, for messages and comparisons.
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace vantry

#endif  // VANTRY_PLATFORM_UTF8_PATH_H_
