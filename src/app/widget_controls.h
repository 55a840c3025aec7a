// Control access bound to the widgets of the real window.
#ifndef VANTRY_APP_WIDGET_CONTROLS_H_
#define VANTRY_APP_WIDGET_CONTROLS_H_

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/control_access.h"

namespace vantry {

// Finds each control by its object name once, at construction, among the children of
// `window`. Texts cross as GBK: to the screen with invalid bytes shown as U+FFFD, back
// with characters GBK lacks as "?". Multi-line edit boxes hold lines separated by CRLF,
// as the logic writes them. Unknown names are ignored on writes and read as empty text.
//
// Writes reach the widgets when the window next processes events (Flush, called by the
// event pump, before a message box and by a zero-time timer), not one by one: a grading
// run writes hundreds of thousands of texts, and laying each one out would cost far
// more than the run itself, while the screen shows them only when it repaints anyway.
// A read of a control first brings that control up to date, so reads always see the
// latest write and whatever the user typed.
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

  // Hands every write not yet shown to its widget.
  void Flush();

 private:
  enum class Kind { kMultiLineEdit, kLineEdit, kButton, kGroup, kLabel, kOther };

  struct Control {
    QPointer<QWidget> widget;
    Kind kind = Kind::kOther;
    // The text that replaces the widget's whole text, when one was set.
    std::optional<GbkText> pending;
    // Text appended since (to `pending` when set, else to what the widget shows): it
    // is inserted at the end, so an append costs what it adds, not the box's size.
    GbkText pending_append;
    // An append is pending: the caret and the view go to the end.
    bool to_end = false;
    // The last text read back and its GBK form, so repeated reads convert once.
    QString last_read;
    GbkText last_read_gbk;
  };

  Control* Find(std::string_view name);
  QString WidgetText(const Control& control) const;
  void Flush(Control& control);
  void MarkPending(Control& control);

  QWidget& window_;
  EndFunction end_process_;
  std::map<std::string, Control, std::less<>> controls_;
  std::vector<Control*> pending_;
  bool flush_scheduled_ = false;
  // Owns the zero-time flush timer, so that it dies with this object.
  QObject timer_owner_;
};

}  // namespace vantry

#endif  // VANTRY_APP_WIDGET_CONTROLS_H_
