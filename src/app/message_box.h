// The program's message boxes.
#ifndef VANTRY_APP_MESSAGE_BOX_H_
#define VANTRY_APP_MESSAGE_BOX_H_

#include <QMessageBox>
#include <QString>

class QWidget;

namespace vantry {

// Shows an application-modal box owned by `owner` (none when null) with `text` as
// plain text, never as markup, and one OK button, and returns when the user has
// dismissed it.
void ShowMessageBox(QWidget* owner, const QString& caption, const QString& text,
                    QMessageBox::Icon icon = QMessageBox::NoIcon);

}  // namespace vantry

#endif  // VANTRY_APP_MESSAGE_BOX_H_
