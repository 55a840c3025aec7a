#include "app/message_box.h"

namespace vantry {

void ShowMessageBox(QWidget* owner, const QString& caption, const QString& text,
                    QMessageBox::Icon icon) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace vantry
