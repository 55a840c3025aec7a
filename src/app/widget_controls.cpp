#include "app/widget_controls.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>

#include "app/end_process.h"
#include "app/message_box.h"
#include "app/qt_text.h"

namespace vantry {
namespace {

// Labels and message boxes break lines at LF; the logic's texts use CRLF.
QString WithLineFeeds(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  return text;
}

}  // namespace

WidgetControls::WidgetControls(QWidget& window, EndFunction end_process)
    : window_(window), end_process_(std::move(end_process)) {
  for (QWidget* child : window.findChildren<QWidget*>()) {
    const QString name = child->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
      continue;  // Qt's own parts
    Control control;
    control.widget = child;
    if (qobject_cast<QPlainTextEdit*>(child)) {
      control.kind = Kind::kMultiLineEdit;
    } else if (qobject_cast<QLineEdit*>(child)) {
      control.kind = Kind::kLineEdit;
    } else if (qobject_cast<QAbstractButton*>(child)) {
      control.kind = Kind::kButton;
    } else if (qobject_cast<QGroupBox*>(child)) {
      control.kind = Kind::kGroup;
    } else if (qobject_cast<QLabel*>(child) && !child->property("pictureBox").toBool()) {
      control.kind = Kind::kLabel;
    }
    controls_.emplace(name.toStdString(), std::move(control));
  }
}

WidgetControls::Control* WidgetControls::Find(std::string_view name) {
  const auto it = controls_.find(name);
  if (it == controls_.end() || it->second.widget.isNull()) return nullptr;
  return &it->second;
}

QString WidgetControls::WidgetText(const Control& control) const {
  QWidget* widget = control.widget.data();
  switch (control.kind) {
    case Kind::kMultiLineEdit:
      return static_cast<QPlainTextEdit*>(widget)->toPlainText();
    case Kind::kLineEdit:
      return static_cast<QLineEdit*>(widget)->text();
    case Kind::kButton:
      return static_cast<QAbstractButton*>(widget)->text();
    case Kind::kGroup:
      return static_cast<QGroupBox*>(widget)->title();
    case Kind::kLabel:
      return static_cast<QLabel*>(widget)->text();
    case Kind::kOther:
      break;
  }
  return QString();
}

void WidgetControls::MarkPending(Control& control) {
  if (std::find(pending_.begin(), pending_.end(), &control) == pending_.end()) {
    pending_.push_back(&control);
  }
  if (!flush_scheduled_) {
    // Writes made outside a run (the announcement at start-up) reach the screen with
    // the next round of the event loop.
    flush_scheduled_ = true;
    QTimer::singleShot(0, &timer_owner_, [this] {
      flush_scheduled_ = false;
      Flush();
    });
  }
}

void WidgetControls::SetControlText(std::string_view name, const GbkText& text) {
  Control* control = Find(name);
  if (control == nullptr || control->kind == Kind::kOther) return;
  control->pending = text;
  control->pending_append.clear();
  control->to_end = false;
  MarkPending(*control);
}

void WidgetControls::AppendControlText(std::string_view name, const GbkText& text) {
  Control* control = Find(name);
  if (control == nullptr ||
      (control->kind != Kind::kMultiLineEdit && control->kind != Kind::kLineEdit)) {
    return;
  }
  control->pending_append += text;
  control->to_end = true;
  MarkPending(*control);
}

void WidgetControls::Flush(Control& control) {
  if ((!control.pending && !control.to_end) || control.widget.isNull()) return;
  QWidget* widget = control.widget.data();
  // Texts are converted only now: a run replaces most of them before they are shown.
  std::optional<QString> text;
  if (control.pending) text = GbkToQString(*control.pending);
  const QString appended = GbkToQString(control.pending_append);
  const bool to_end = control.to_end;
  control.pending.reset();
  control.pending_append.clear();
  control.to_end = false;
  switch (control.kind) {
    case Kind::kMultiLineEdit: {
      auto* edit = static_cast<QPlainTextEdit*>(widget);
      if (text) edit->setPlainText(*text);
      if (to_end) {
        // Inserted at the end of the document, wherever the user left the caret;
        // then the caret goes there and the view follows it, down to the last line.
        QTextCursor cursor(edit->document());
        cursor.movePosition(QTextCursor::End);
        if (!appended.isEmpty()) cursor.insertText(appended);
        edit->setTextCursor(cursor);
        edit->ensureCursorVisible();
        QScrollBar* bar = edit->verticalScrollBar();
        bar->setValue(bar->maximum());
      }
      break;
    }
    case Kind::kLineEdit: {
      auto* line = static_cast<QLineEdit*>(widget);
      if (text) line->setText(*text);
      if (to_end) {
        line->end(false);
        line->insert(appended);
      }
      break;
    }
    case Kind::kButton:
      if (text) static_cast<QAbstractButton*>(widget)->setText(*text);
      break;
    case Kind::kGroup:
      if (text) static_cast<QGroupBox*>(widget)->setTitle(*text);
      break;
    case Kind::kLabel:
      if (text) static_cast<QLabel*>(widget)->setText(WithLineFeeds(*text));
      break;
    case Kind::kOther:
      break;
  }
}

void WidgetControls::Flush() {
  for (Control* control : pending_) Flush(*control);
  pending_.clear();
}

GbkText WidgetControls::GetControlText(std::string_view name) {
  Control* control = Find(name);
  if (control == nullptr) return GbkText();
  Flush(*control);
  QString text = WidgetText(*control);
  if (control->kind == Kind::kMultiLineEdit)
    text.replace(QChar('\n'), QStringLiteral("\r\n"));
  if (text != control->last_read) {
    control->last_read_gbk = QStringToGbk(text);
    control->last_read = std::move(text);
  }
  return control->last_read_gbk;
}

void WidgetControls::ShowMessageBox(const GbkText& text, const GbkText& caption) {
  Flush();  // the window behind the box shows the latest texts
  vantry::ShowMessageBox(&window_, GbkToQString(caption), GbkToDisplayText(text));
}

void WidgetControls::EndProcess(int exit_code) {
  if (end_process_) {
    end_process_(exit_code);
    return;
  }
  EndProcessNow(exit_code);
}

}  // namespace vantry
