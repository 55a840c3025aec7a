#include "app/main_window.h"

#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QWindow>
#include <chrono>
#include <limits>
#include <map>
#include <string>
#include <string_view>

#include "app/artwork.h"
#include "app/fitted_label.h"
#include "app/frame_extents.h"
#include "app/qt_text.h"
#include "controls/control_names.h"
#include "controls/control_table.h"

namespace vantry {
namespace {

using controls::ControlEntry;
using controls::ControlKind;
using controls::FontFace;

QString RgbText(const controls::Rgb& rgb) {
  return QStringLiteral("rgb(%1, %2, %3)").arg(rgb.red).arg(rgb.green).arg(rgb.blue);
}

// Fixed colours as a style sheet of the control's own, so no skin overrides them.
QString StyleFor(const ControlEntry& entry) {
  QStringList rules;
  if (entry.text_color)
    rules << QStringLiteral("color: %1;").arg(RgbText(*entry.text_color));
  if (entry.background) {
    rules << QStringLiteral("background-color: %1;").arg(RgbText(*entry.background));
  } else if (entry.kind == ControlKind::kTransparentLabel) {
    rules << QStringLiteral("background: transparent;");
  }
  return rules.join(QLatin1Char(' '));
}

QFont FontFor(const ControlEntry& entry) {
  QFont font;  // resolves nothing yet: unset attributes follow the application's font
  if (entry.face == FontFace::kYaHei) {
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC")});
  }
  font.setPixelSize(entry.pixel_size);
  font.setWeight(entry.bold ? QFont::Bold : QFont::Normal);
  return font;
}

QWidget* MakeControl(const ControlEntry& entry, QWidget* parent, const QString& text) {
  switch (entry.kind) {
    case ControlKind::kGroupBox:
      return new QGroupBox(text, parent);
    case ControlKind::kMultiLineEdit: {
      auto* edit = new QPlainTextEdit(parent);
      edit->setPlainText(text);
      edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setTabChangesFocus(true);
      return edit;
    }
    case ControlKind::kSingleLineEdit: {
      auto* edit = new QLineEdit(text, parent);
      edit->setMaxLength(std::numeric_limits<int>::max());
      edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return edit;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setText(text);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return label;
    }
    case ControlKind::kTransparentLabel: {
      const bool one_line =
          entry.name == controls::kStudentName || entry.name == controls::kScore;
      // The name and the score shrink their font to show a long text whole.
      auto* label = one_line ? new FittedLabel(parent) : new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setText(text);
      label->setAutoFillBackground(false);
      if (one_line) {
        label->setAlignment(Qt::AlignCenter);
      } else {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
      }
      if (entry.name == controls::kAnnouncement) {
        // The box starts inside its group's caption line: keep the text below the
        // caption.
        label->setContentsMargins(0, 9, 0, 0);
      }
      return label;
    }
    case ControlKind::kButton: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::kPicture: {
      auto* picture = new QLabel(parent);
      picture->setProperty("pictureBox", true);
      picture->setPixmap(SponsorPicture(entry.name == controls::kPicture1 ? 1 : 2,
                                        entry.geometry.width));
      picture->setScaledContents(true);
      return picture;
    }
  }
  return nullptr;
}

}  // namespace

MainWindow::MainWindow() {
  setWindowTitle(QStringLiteral("Vantry"));
  setWindowIcon(ProgramIcon());
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  std::map<std::string_view, QWidget*> made;
  for (const ControlEntry& entry : controls::ControlTable()) {
    QWidget* parent = entry.parent.empty() ? this : made.at(entry.parent);
    QWidget* control = MakeControl(entry, parent, Utf8ToQString(entry.initial_text));
    control->setObjectName(Utf8ToQString(entry.name));
    const controls::Rect& r = entry.geometry;
    control->setGeometry(r.left, r.top, r.width, r.height);
    if (entry.face != FontFace::kDefaultGui) control->setFont(FontFor(entry));
    if (const QString style = StyleFor(entry); !style.isEmpty()) {
      control->setStyleSheet(style);
    }
    made.emplace(entry.name, control);
  }
  QObject::connect(static_cast<QPushButton*>(made.at(controls::kGradeButton)),
                   &QPushButton::clicked, this, [this] {
                     if (handlers_.on_grade_clicked) handlers_.on_grade_clicked();
                   });
  QObject::connect(static_cast<QPushButton*>(made.at(controls::kTutorialButton)),
                   &QPushButton::clicked, this, [this] {
                     if (handlers_.on_tutorial_clicked) handlers_.on_tutorial_clicked();
                   });
  setFixedSize(kOuterWidth, kOuterHeight);
}

QMargins MainWindow::FrameMargins() const {
  const QWindow* window = windowHandle();
  return window ? window->frameMargins() : QMargins();
}

void MainWindow::PlaceOnScreen() {
  winId();  // the native window, so the platform can tell its frame
  QMargins margins = FrameMargins();
  if (margins.isNull() && !isVisible()) {
    // X11 tells the frame only once the window is mapped: ask the window manager now,
    // so that the window comes up at its size and place instead of jumping there.
    if (const auto extents =
            RequestFrameExtents(*windowHandle(), std::chrono::milliseconds(500))) {
      margins = *extents;
    }
  }
  placed_with_ = margins;
  const QSize client(kOuterWidth - margins.left() - margins.right(),
                     kOuterHeight - margins.top() - margins.bottom());
  setFixedSize(client);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    const QPoint frame(area.x() + (area.width() - kOuterWidth) / 2,
                       area.y() + (area.height() - kOuterHeight) / 2);
    // The client area's place: the frame's corner plus its left border and title bar.
    setGeometry(QRect(frame + QPoint(margins.left(), margins.top()), client));
  }
}

bool MainWindow::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::WindowActivate:
      // A window manager that did not tell its frame before the window was shown: fit
      // the window to it once it is known.
      if (refits_left_ > 0 && isVisible() && FrameMargins() != placed_with_ &&
          !FrameMargins().isNull()) {
        --refits_left_;
        PlaceOnScreen();
      }
      break;
    default:
      break;
  }
  return handled;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Reaches the window only when the focused control did not take the key.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (handlers_.on_destroyed) handlers_.on_destroyed();
}

}  // namespace vantry
