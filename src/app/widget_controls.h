// Control access bound to the widgets of the real window.
#ifndef VANTRY_APP_WIDGET_CONTROLS_H_
#define VANTRY_APP_WIDGET_CONTROLS_H_

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "app/controls/control_access.h"

namespace vantry {

// Finds each control by its object name once, at construction, among the children of
// `window`. Texts cross as GBK: to the screen with invalid bytes shown as U+FFFD, back
// with characters GBK lacks as "?". Multi-line edit boxes hold lines separated by CRLF,
// as the logic writes them. Unknown names are ignored on writes and read as empty text.
class WidgetControls : public ControlAccess {
 public:
  using EndFunction = std::function<void(int exit_code)>;

  // `end_process` ends the program; EndProcessNow unless a test records the code.
  explicit WidgetControls(QWidget& window, EndFunction end_process = {});

  void SetControlText(std::string_view name, const GbkText& text) override;
  void AppendControlText(std::string_view name, const GbkText& text) override;
  GbkText GetControlText(std::string_view name) override;
  // An application-modal box owned by the window, plain text, one OK button, no icon.
  void ShowMessageBox(const GbkText& text, const GbkText& caption) override;
  void EndProcess(int exit_code) override;

 private:
  QWidget* Find(std::string_view name) const;

  QWidget& window_;
  EndFunction end_process_;
  std::map<std::string, QPointer<QWidget>, std::less<>> by_name_;
};

}  // namespace vantry

#endif  // VANTRY_APP_WIDGET_CONTROLS_H_
