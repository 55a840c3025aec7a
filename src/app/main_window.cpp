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
#include <QWindow>
#include <chrono>
#include <limits>
#include <map>
#include <string>
#include <string_view>

#include "app/artwork.h"
#include "app/controls/control_names.h"
#include "app/controls/in_memory_controls.h"
#include "app/fitted_label.h"
#include "app/frame_extents.h"
#include "app/qt_text.h"

namespace vantry {
namespace {

enum class Kind {
  kGroup,
  kMultiLineEdit,
  kSingleLineEdit,
  kLabel,
  kTransparentLabel,
  kButton,
  kPicture
};

enum class Face {
  kDefaultGui,  // no font of its own: the application's font
  kYaHei,       // "微软雅黑", falling back to another CJK face where it is missing
  kDefault,     // the default face at the given size and weight
};

struct ControlEntry {
  std::string_view name;
  Kind kind;
  std::string_view parent;  // empty: the window itself
  QRect geometry;
  Face face = Face::kDefaultGui;
  int pixel_size = 0;
  QFont::Weight weight = QFont::Normal;
  // Fixed colours as a style sheet of the control's own, so no skin overrides them.
  const char* style = "";
};

constexpr const char* kBlackOnWhite =
    "color: rgb(0, 0, 0); background-color: rgb(255, 255, 255);";

// The layout. Creation order is also the order in which Tab moves the focus.
const std::vector<ControlEntry>& Layout() {
  namespace c = controls;
  static const std::vector<ControlEntry> layout = {
      {c::kAnswerGroup, Kind::kGroup, "", {4, 5, 432, 465}},
      {c::kStudentAnswer,
       Kind::kMultiLineEdit,
       c::kAnswerGroup,
       {8, 17, 415, 438},
       Face::kDefaultGui,
       0,
       QFont::Normal,
       kBlackOnWhite},
      {c::kPointsGroup, Kind::kGroup, "", {445, 5, 332, 189}},
      {c::kMatchedPoints,
       Kind::kMultiLineEdit,
       c::kPointsGroup,
       {8, 19, 316, 159},
       Face::kDefaultGui,
       0,
       QFont::Normal,
       kBlackOnWhite},
      {c::kResultGroup, Kind::kGroup, "", {445, 205, 332, 136}},
      {c::kStudentName,
       Kind::kTransparentLabel,
       c::kResultGroup,
       {8, 30, 172, 80},
       Face::kYaHei,
       56,
       QFont::Bold,
       "color: rgb(0, 136, 255); background: transparent;"},
      {c::kScore,
       Kind::kTransparentLabel,
       c::kResultGroup,
       {188, 30, 135, 80},
       Face::kYaHei,
       56,
       QFont::Bold,
       "color: rgb(255, 0, 255); background: transparent;"},
      {c::kPointsLabel,
       Kind::kLabel,
       "",
       {445, 347, 32, 32},
       Face::kDefaultGui,
       0,
       QFont::Normal,
       "color: rgb(0, 0, 0);"},
      {c::kPointsPerHit,
       Kind::kSingleLineEdit,
       "",
       {491, 347, 39, 32},
       Face::kDefaultGui,
       0,
       QFont::Normal,
       kBlackOnWhite},
      {c::kOrderLabel,
       Kind::kLabel,
       "",
       {541, 347, 59, 32},
       Face::kDefaultGui,
       0,
       QFont::Normal,
       "color: rgb(0, 0, 0);"},
      {c::kOrderKeys,
       Kind::kSingleLineEdit,
       "",
       {600, 347, 177, 32},
       Face::kDefaultGui,
       0,
       QFont::Normal,
       kBlackOnWhite},
      {c::kRemaining,
       Kind::kSingleLineEdit,
       "",
       {445, 387, 179, 80},
       Face::kYaHei,
       53,
       QFont::Bold,
       "color: rgb(255, 80, 128); background-color: rgb(255, 255, 255);"},
      {c::kGradeButton,
       Kind::kButton,
       "",
       {632, 387, 145, 83},
       Face::kYaHei,
       20,
       QFont::Bold},
      {c::kNoticeGroup, Kind::kGroup, "", {786, 5, 222, 189}},
      {c::kAnnouncement,
       Kind::kTransparentLabel,
       c::kNoticeGroup,
       {14, 8, 193, 179},
       Face::kDefault,
       15,
       QFont::Normal,
       "color: rgb(0, 128, 128); background: transparent;"},
      {c::kTutorialButton,
       Kind::kButton,
       "",
       {786, 203, 222, 83},
       Face::kYaHei,
       20,
       QFont::Bold},
      {c::kSponsorGroup, Kind::kGroup, "", {786, 296, 222, 174}},
      {c::kSponsorText,
       Kind::kTransparentLabel,
       c::kSponsorGroup,
       {15, 18, 192, 16},
       Face::kDefault,
       16,
       QFont::Normal,
       "color: rgb(255, 0, 255); background: transparent;"},
      {c::kSponsorText1,
       Kind::kTransparentLabel,
       c::kSponsorGroup,
       {7, 43, 208, 16},
       Face::kDefault,
       16,
       QFont::Normal,
       "color: rgb(0, 136, 255); background: transparent;"},
      {c::kPicture1, Kind::kPicture, c::kSponsorGroup, {7, 65, 100, 100}},
      {c::kPicture2, Kind::kPicture, c::kSponsorGroup, {115, 65, 100, 100}},
  };
  return layout;
}

QFont FontFor(const ControlEntry& entry) {
  QFont font;  // resolves nothing yet: unset attributes follow the application's font
  if (entry.face == Face::kYaHei) {
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC")});
  }
  font.setPixelSize(entry.pixel_size);
  font.setWeight(entry.weight);
  return font;
}

QWidget* MakeControl(const ControlEntry& entry, QWidget* parent, const QString& text) {
  switch (entry.kind) {
    case Kind::kGroup:
      return new QGroupBox(text, parent);
    case Kind::kMultiLineEdit: {
      auto* edit = new QPlainTextEdit(parent);
      edit->setPlainText(text);
      edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setTabChangesFocus(true);
      return edit;
    }
    case Kind::kSingleLineEdit: {
      auto* edit = new QLineEdit(text, parent);
      edit->setMaxLength(std::numeric_limits<int>::max());
      edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return edit;
    }
    case Kind::kLabel: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setText(text);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return label;
    }
    case Kind::kTransparentLabel: {
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
    case Kind::kButton: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      return button;
    }
    case Kind::kPicture: {
      auto* picture = new QLabel(parent);
      picture->setProperty("pictureBox", true);
      picture->setPixmap(SponsorPicture(entry.name == controls::kPicture1 ? 1 : 2,
                                        entry.geometry.width()));
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
  const auto& initial_texts = InitialControlTexts();
  std::map<std::string_view, QWidget*> made;
  for (const ControlEntry& entry : Layout()) {
    QWidget* parent = entry.parent.empty() ? this : made.at(entry.parent);
    const auto text = initial_texts.find(entry.name);
    QWidget* control =
        MakeControl(entry, parent,
                    text == initial_texts.end() ? QString() : GbkToQString(text->second));
    control->setObjectName(Utf8ToQString(entry.name));
    control->setGeometry(entry.geometry);
    if (entry.face != Face::kDefaultGui) control->setFont(FontFor(entry));
    if (*entry.style != '\0') control->setStyleSheet(QString::fromLatin1(entry.style));
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
            RequestFrameExtents(*windowHandle(), std::chrono::milliseconds(250))) {
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
