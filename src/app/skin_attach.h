// Dressing the program in one of its skins through the skin library.
#ifndef VANTRY_APP_SKIN_ATTACH_H_
#define VANTRY_APP_SKIN_ATTACH_H_

#include <filesystem>
#include <string_view>

#include "platform/result.h"
#include "text/gbk_text.h"

namespace vantry {

// The skin library's file name in the program folder and the entry the program calls.
inline constexpr std::string_view kSkinLibraryName = "SkinH_EL.dll";
inline constexpr std::string_view kSkinEntryName = "SkinH_AttachRes";

// Writes the skin library carried by the program into `directory` when nothing of its
// name is there, hidden on Windows. An existing file, whatever it holds, is never
// replaced; a failed write passes in silence (loading it then fails).
void EnsureSkinLibrary(const std::filesystem::path& directory);

// EnsureSkinLibrary, then loads the library of `directory` by its name (it stays loaded
// for the life of the process) and calls its entry with a copy of skin `number`, or with
// no data for a number outside 1 to kSkinCount. Fails with SkinFatalErrorText's message
// (in UTF-8) when the library cannot be loaded or lacks the entry; the caller shows it
// and ends.
[[nodiscard]] Status AttachSkin(int number, const std::filesystem::path& directory);

// "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令
// “SkinH_AttachRes”\r\n", in GBK.
const GbkText& SkinFatalErrorText();

}  // namespace vantry

#endif  // VANTRY_APP_SKIN_ATTACH_H_
