#include "app/frame_extents.h"

#include <QWindow>

#ifdef _WIN32
#include <windows.h>
#endif

#ifdef VANTRY_HAVE_XCB
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>
#endif

namespace vantry {

#ifdef VANTRY_HAVE_XCB
namespace {

// xcb replies are malloc'ed.
struct FreeDeleter {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
  const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data()),
      nullptr));
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The 32-bit values of property `property` (of type `type`) of `window`.
template <typename T>
std::vector<T> Property32(xcb_connection_t* connection, xcb_window_t window,
                          xcb_atom_t property, xcb_atom_t type, uint32_t count) {
  const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, property, type, 0, count),
      nullptr));
  if (!reply || reply->type != type || reply->format != 32) return {};
  const auto* values = static_cast<const T*>(xcb_get_property_value(reply.get()));
  return std::vector<T>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

}  // namespace

std::optional<QMargins> RequestFrameExtents(QWindow& window,
                                            std::chrono::milliseconds timeout) {
  auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) return std::nullopt;
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window.winId());
  const Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr));
  if (!geometry) return std::nullopt;
  const xcb_window_t root = geometry->root;

  const xcb_atom_t supported = Atom(connection, "_NET_SUPPORTED");
  const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
  const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
  // A window manager that follows the EWMH lists what it supports on the root window.
  const std::vector<xcb_atom_t> features =
      Property32<xcb_atom_t>(connection, root, supported, XCB_ATOM_ATOM, 4096);
  if (request == XCB_ATOM_NONE ||
      std::find(features.begin(), features.end(), request) == features.end()) {
    return std::nullopt;
  }

  xcb_client_message_event_t message;
  std::memset(&message, 0, sizeof message);
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = id;
  message.type = request;
  xcb_send_event(
      connection, 0, root,
      XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
      reinterpret_cast<const char*>(&message));
  xcb_flush(connection);

  // The answer is a property on the window; Qt's event thread reads the notification,
  // so look at the property itself until it is there.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    const std::vector<uint32_t> widths =
        Property32<uint32_t>(connection, id, extents, XCB_ATOM_CARDINAL, 4);
    if (widths.size() == 4) {
      // Left, right, top, bottom.
      return QMargins(static_cast<int>(widths[0]), static_cast<int>(widths[2]),
                      static_cast<int>(widths[1]), static_cast<int>(widths[3]));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < deadline);
  return std::nullopt;
}

#elif defined(_WIN32)

std::optional<QMargins> RequestFrameExtents(QWindow& window, std::chrono::milliseconds) {
  // Windows draws the frame itself, from the native window's styles: the frame of a
  // client rectangle tells the widths at once, before the window is shown.
  const auto hwnd = reinterpret_cast<HWND>(window.winId());
  if (hwnd == nullptr) return std::nullopt;
  RECT rect{0, 0, 0, 0};
  const auto style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  const auto ex_style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
  if (!AdjustWindowRectEx(&rect, style, GetMenu(hwnd) != nullptr, ex_style)) {
    return std::nullopt;
  }
  // Native pixels, as Windows counts them, into the window's own units.
  const qreal ratio = window.devicePixelRatio() > 0 ? window.devicePixelRatio() : 1;
  const QMargins margins(qRound(-rect.left / ratio), qRound(-rect.top / ratio),
                         qRound(rect.right / ratio), qRound(rect.bottom / ratio));
  if (margins.isNull()) return std::nullopt;
  return margins;
}

#else

std::optional<QMargins> RequestFrameExtents(QWindow&, std::chrono::milliseconds) {
  return std::nullopt;
}

#endif

}  // namespace vantry
