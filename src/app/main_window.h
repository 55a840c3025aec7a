// The program's only window: twenty-one controls with fixed names and a fixed layout.
#ifndef VANTRY_APP_MAIN_WINDOW_H_
#define VANTRY_APP_MAIN_WINDOW_H_

#include <QMargins>
#include <QWidget>
#include <functional>

namespace vantry {

// Each control's object name is its fixed Chinese name (control_names.h); geometry is
// relative to its parent's client area and never changes. The window is not shown by
// the constructor.
class MainWindow : public QWidget {
 public:
  // The outer frame, title bar and borders included.
  static constexpr int kOuterWidth = 1020;
  static constexpr int kOuterHeight = 502;

  struct Handlers {
    // The user closed the window (close button, system menu or Esc).
    std::function<void()> on_destroyed;
    std::function<void()> on_grade_clicked;
    std::function<void()> on_tutorial_clicked;
  };

  MainWindow();

  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

  // Sizes the client area so that the outer frame measures kOuterWidth x kOuterHeight
  // and centres the frame, title bar included, on the primary screen. Called before the
  // window is shown, when the platform tells the frame (Windows, macOS) or the window
  // manager answers when asked (X11 with an EWMH window manager); called again by the
  // window itself when the frame becomes known or changes only after showing.
  void PlaceOnScreen();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QMargins FrameMargins() const;

  Handlers handlers_;
  QMargins placed_with_;
  int refits_left_ = 3;
};

}  // namespace vantry

#endif  // VANTRY_APP_MAIN_WINDOW_H_
