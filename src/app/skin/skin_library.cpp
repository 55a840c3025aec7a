// The skin library: a module the program writes beside itself and loads by name. Its one
// entry reads a skin block and dresses the application that loaded it.
#include <QApplication>
#include <string_view>

#include "app/skin/skin_format.h"
#include "app/skin/skin_style.h"

#if defined(_WIN32)
#define VANTRY_SKIN_EXPORT extern "C" __declspec(dllexport)
#else
#define VANTRY_SKIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#ifdef VANTRY_SKIN_HOST_MODULE
// Windows, where the program carries Qt inside itself: the library must dress the
// program's own application, so it holds no Qt of its own but calls the program's.
// Its Qt functions are imported from VANTRY_SKIN_HOST_MODULE, delay-loaded, and that
// module is taken to be the program that loaded the library, whatever its file name.
// Only functions can be delay-loaded, so the library reads no Qt data through its
// imports (hence no qobject_cast here): the application's pointer is looked up by name
// among the program's exports, and the empty string Qt's inline QString code points at
// is the library's own (a constant, its address never compared).
#include <windows.h>
// windows.h first
#include <delayimp.h>

namespace {

FARPROC WINAPI LoadFromProgram(unsigned notification, PDelayLoadInfo info) {
  if (notification == dliNotePreLoadLibrary &&
      lstrcmpiA(info->szDll, VANTRY_SKIN_HOST_MODULE) == 0) {
    return reinterpret_cast<FARPROC>(GetModuleHandleW(nullptr));
  }
  return nullptr;
}

QCoreApplication* ProgramApplication() {
  const FARPROC self =
      GetProcAddress(GetModuleHandleW(nullptr), VANTRY_SKIN_HOST_APPLICATION);
  return self == nullptr ? nullptr : *reinterpret_cast<QCoreApplication* const*>(self);
}

}  // namespace

extern "C" PfnDliHook __pfnDliNotifyHook2 = LoadFromProgram;
const char16_t QString::_empty = 0;
#else
namespace {

QCoreApplication* ProgramApplication() { return QCoreApplication::instance(); }

}  // namespace
#endif

// Attaches the skin held in `data` (`length` bytes) to the application of this process.
// `password` is accepted for compatibility (our skins are not encrypted); `hue`,
// `saturation` and `brightness` tint every colour of the skin (see ColourShift). Returns
// 1 when the skin was applied, 0 when there was no skin, no application or a block that
// is not a skin; the look is then left as it was.
VANTRY_SKIN_EXPORT int SkinH_AttachRes(const unsigned char* data, int length,
                                       const char* password, int hue, int saturation,
                                       int brightness) {
  (void)password;
  if (data == nullptr || length <= 0) return 0;
  QCoreApplication* core = ProgramApplication();
  if (core == nullptr || !core->inherits("QApplication")) return 0;
  auto* application = static_cast<QApplication*>(core);
  const auto skin = vantry::skin::ParseSkin(
      std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(length)));
  if (!skin) return 0;
  vantry::skin::ApplySkin(
      *application, vantry::skin::ShiftColours(*skin, {hue, saturation, brightness}));
  return 1;
}
