// The frame a window manager will draw around a window, asked for before it is shown.
#ifndef VANTRY_APP_FRAME_EXTENTS_H_
#define VANTRY_APP_FRAME_EXTENTS_H_

#include <QMargins>
#include <chrono>
#include <optional>

class QWindow;

namespace vantry {

// The widths of the frame (title bar included) that the window manager will put around
// `window`, which exists natively but is not shown yet. On X11 the window manager is
// asked (_NET_REQUEST_FRAME_EXTENTS of the EWMH) and its answer awaited up to
// `timeout`; Qt itself learns the frame only after the window is mapped, too late to
// place the window with its frame the first time. On Windows the frame follows from
// the native window's styles (AdjustWindowRectEx), without waiting. Nothing on other
// platforms (which place windows themselves), without a window manager, or when it
// does not answer in time.
std::optional<QMargins> RequestFrameExtents(QWindow& window,
                                            std::chrono::milliseconds timeout);

}  // namespace vantry

#endif  // VANTRY_APP_FRAME_EXTENTS_H_
