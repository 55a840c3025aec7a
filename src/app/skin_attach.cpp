#include "app/skin_attach.h"

#include <QLibrary>
#include <string>

#include "app/skin_library_image.h"
#include "app/skin_table.h"
#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "text/gbk_codec.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vantry {
namespace {

// The entry's signature: skin bytes, their length, a password, hue, saturation and
// brightness shifts.
using AttachFunction = int (*)(const unsigned char*, int, const char*, int, int, int);

}  // namespace

namespace {

// SkinFatalErrorText in UTF-8.
std::string SkinFatalErrorUtf8() {
  return "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“" +
         std::string(kSkinLibraryName) + "”中的输出命令“" + std::string(kSkinEntryName) +
         "”\r\n";
}

}  // namespace

const GbkText& SkinFatalErrorText() {
  static const GbkText text = Utf8ToGbk(SkinFatalErrorUtf8());
  return text;
}

void EnsureSkinLibrary(const std::filesystem::path& directory) {
  const std::filesystem::path path = PathInDirectory(directory, kSkinLibraryName);
  if (PathExists(path)) return;
  const std::span<const unsigned char> image = SkinLibraryImage();
  // Kept when it appeared since the check above: an existing library is never replaced.
  // One that could not be written is reported when loading it fails.
  [[maybe_unused]] const Status written = WriteWholeFile(
      path, {std::string_view(reinterpret_cast<const char*>(image.data()), image.size())},
      ExistingFile::kKeep);
#ifdef _WIN32
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
}

Status AttachSkin(int number, const std::filesystem::path& directory) {
  EnsureSkinLibrary(directory);
  const std::filesystem::path path = PathInDirectory(directory, kSkinLibraryName);
  // Never unloaded: the skin stays attached until the process ends. QLibrary loads
  // with LoadLibraryW on Windows and dlopen elsewhere; the name goes through UTF-8 so
  // that a folder named in Chinese reaches the wide-character API whole.
  QLibrary library(QString::fromUtf8(PathToUtf8(path)));
  if (!library.load()) return Failure{SkinFatalErrorUtf8()};
  const auto attach = reinterpret_cast<AttachFunction>(
      library.resolve(std::string(kSkinEntryName).c_str()));
  if (attach == nullptr) return Failure{SkinFatalErrorUtf8()};
  const std::string skin(SkinTableEntry(number));  // the library gets its own copy
  attach(skin.empty() ? nullptr : reinterpret_cast<const unsigned char*>(skin.data()),
         static_cast<int>(skin.size()), "", 0, 0, 0);
  return Status();
}

}  // namespace vantry
