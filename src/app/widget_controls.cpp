#include "app/widget_controls.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "app/end_process.h"
#include "app/qt_text.h"

namespace vantry {
namespace {

bool IsPicture(const QWidget* widget) { return widget->property("pictureBox").toBool(); }

}  // namespace

WidgetControls::WidgetControls(QWidget& window, EndFunction end_process)
    : window_(window), end_process_(std::move(end_process)) {
  for (QWidget* child : window.findChildren<QWidget*>()) {
    const QString name = child->objectName();
    if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
      by_name_.emplace(name.toStdString(), child);
  }
}

QWidget* WidgetControls::Find(std::string_view name) const {
  const auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : it->second.data();
}

void WidgetControls::SetControlText(std::string_view name, const GbkText& text) {
  QWidget* widget = Find(name);
  if (widget == nullptr) return;
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    edit->setPlainText(GbkToQString(text));
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(GbkToQString(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(GbkToQString(text));
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(GbkToQString(text));
  } else if (auto* label = qobject_cast<QLabel*>(widget);
             label != nullptr && !IsPicture(label)) {
    label->setText(GbkToDisplayText(text));
  }
}

void WidgetControls::AppendControlText(std::string_view name, const GbkText& text) {
  QWidget* widget = Find(name);
  if (widget == nullptr) return;
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    // Caret to the end, into view, then the text in place of the empty selection there.
    QTextCursor cursor = edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    edit->insertPlainText(GbkToQString(text));
    // The caret now sits at the end: show the end, down to its last line.
    QScrollBar* bar = edit->verticalScrollBar();
    bar->setValue(bar->maximum());
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->end(false);
    line->insert(GbkToQString(text));
  }
}

GbkText WidgetControls::GetControlText(std::string_view name) {
  QWidget* widget = Find(name);
  if (widget == nullptr) return GbkText();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    QString text = edit->toPlainText();
    text.replace(QChar('\n'), QStringLiteral("\r\n"));
    return QStringToGbk(text);
  }
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return QStringToGbk(line->text());
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    return QStringToGbk(button->text());
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return QStringToGbk(group->title());
  if (auto* label = qobject_cast<QLabel*>(widget)) return QStringToGbk(label->text());
  return GbkText();
}

void WidgetControls::ShowMessageBox(const GbkText& text, const GbkText& caption) {
  QMessageBox box(QMessageBox::NoIcon, GbkToQString(caption), GbkToDisplayText(text),
                  QMessageBox::Ok, &window_);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void WidgetControls::EndProcess(int exit_code) {
  if (end_process_) {
    end_process_(exit_code);
    return;
  }
  EndProcessNow(exit_code);
}

}  // namespace vantry
