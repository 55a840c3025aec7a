// Build tool: the tutorial's picture of the window, taken from the real window on Qt's
// offscreen platform. The window wears its skin and shows the first student of the
// demo exam graded live; the two scoring boxes and the grading button are marked with
// numbered callouts, explained in a legend below the picture.
//
//   vantry_window_picture OUTPUT.png SHEET.utf8.txt PARAMETERS.utf8.txt
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QWidget>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "app/qt_text.h"
#include "controls/control_access.h"
#include "controls/control_names.h"
#include "grading/answer_sheet.h"
#include "grading/grading_run.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// The window's controls, without the summary box and the end of the process that
// close a run: the picture is taken of the window as the run leaves it.
class PictureControls : public ControlAccess {
 public:
  explicit PictureControls(ControlAccess& window) : window_(window) {}
  void SetControlText(std::string_view name, const GbkText& text) override {
    window_.SetControlText(name, text);
  }
  void AppendControlText(std::string_view name, const GbkText& text) override {
    window_.AppendControlText(name, text);
  }
  GbkText GetControlText(std::string_view name) override {
    return window_.GetControlText(name);
  }
  void ShowMessageBox(const GbkText&, const GbkText&) override {}
  void EndProcess(int) override {}

 private:
  ControlAccess& window_;
};

// The sheet cut to its first student, in GBK.
GbkText FirstStudent(const std::filesystem::path& sheet_utf8) {
  const LoadedAnswerSheet sheet(Utf8ToGbk(ReadWholeFile(sheet_utf8)));
  if (sheet.names().empty() || sheet.answers().empty()) return GbkText();
  return Utf8ToGbk("<姓名>\t") + GbkText(sheet.names()[0]) +
         Utf8ToGbk("\t</姓名>\r\n<答题文本>\t") + GbkText(sheet.answers()[0]) +
         Utf8ToGbk("\t</答题文本>\r\n");
}

QFont LegendFont(int pixel_size, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                    QStringLiteral("WenQuanYi Micro Hei"),
                    QStringLiteral("Noto Sans CJK SC")});
  font.setPixelSize(pixel_size);
  font.setBold(bold);
  return font;
}

struct Callout {
  std::array<std::string_view, 2> controls;  // the box is drawn around both
  const char* legend;
};

// A red numbered disc centred at `centre`.
void DrawBadge(QPainter& painter, QPointF centre, int number, const QColor& red) {
  constexpr double kRadius = 15;
  painter.setPen(QPen(Qt::white, 2));
  painter.setBrush(red);
  painter.drawEllipse(centre, kRadius, kRadius);
  painter.setFont(LegendFont(19, true));
  painter.setPen(Qt::white);
  painter.drawText(
      QRectF(centre.x() - kRadius, centre.y() - kRadius, 2 * kRadius, 2 * kRadius),
      Qt::AlignCenter, QString::number(number));
}

QImage Picture(QWidget& window) {
  const Callout callouts[] = {
      {{controls::kPointsLabel, controls::kPointsPerHit},
       "分值：答对一个得分点（关键词组）得几分，启动时为 2。"},
      {{controls::kOrderLabel, controls::kOrderKeys},
       "先后顺序：按先后顺序评分的关键词组，例如 1-2,1-3。"},
      {{controls::kGradeButton, controls::kGradeButton},
       "一键开始：点一下开始阅卷，评完后弹出“提示信息”，点“确定”结束。"},
  };
  const QColor red(220, 38, 38);
  constexpr int kMargin = 24;
  constexpr int kLineHeight = 34;
  const QImage shot = window.grab().toImage();
  const int legend_top = kMargin + shot.height() + 18;
  QImage picture(shot.width() + 2 * kMargin, legend_top + 3 * kLineHeight + 10,
                 QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.drawImage(kMargin, kMargin, shot);
  painter.setPen(QPen(QColor(160, 160, 160), 1));
  painter.drawRect(
      QRectF(kMargin - 0.5, kMargin - 0.5, shot.width() + 1, shot.height() + 1));

  int number = 1;
  for (const Callout& callout : callouts) {
    QRect box;
    for (std::string_view name : callout.controls) {
      const auto* control = window.findChild<QWidget*>(Utf8ToQString(name));
      if (control == nullptr) continue;
      box |= QRect(control->mapTo(&window, QPoint(0, 0)), control->size());
    }
    box.translate(kMargin, kMargin);
    painter.setPen(QPen(red, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(box).adjusted(-4, -4, 4, 4), 6, 6);
    DrawBadge(painter, QPointF(box.left() - 4, box.top() - 4), number, red);

    const int line_top = legend_top + (number - 1) * kLineHeight;
    DrawBadge(painter, QPointF(kMargin + 15, line_top + 15), number, red);
    painter.setFont(LegendFont(18, false));
    painter.setPen(QColor(34, 34, 34));
    painter.drawText(QRect(kMargin + 42, line_top, picture.width() - kMargin - 42, 30),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(callout.legend));
    ++number;
  }
  return picture;
}

}  // namespace
}  // namespace vantry

int main(int argc, char** argv) {
  using namespace vantry;
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: vantry_window_picture OUTPUT.png SHEET.utf8.txt "
                 "PARAMETERS.utf8.txt\n");
    return 2;
  }
  // Offscreen unless the build names the platform (Windows has its minimal one).
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
  QApplication application(argc, argv);
  QTemporaryDir folder;
  if (!folder.isValid()) {
    std::fprintf(stderr, "vantry_window_picture: no temporary folder\n");
    return 1;
  }
  const std::filesystem::path directory = folder.path().toStdString();
  const GbkText sheet = FirstStudent(PathFromUtf8(arguments[1]));
  const std::string parameters = ReadWholeFile(PathFromUtf8(arguments[2]));
  if (sheet.empty() || parameters.empty()) {
    std::fprintf(stderr, "vantry_window_picture: cannot read the demo exam\n");
    return 1;
  }
  if (!WriteWholeFile(PathInDirectory(directory, kAnswerSheetFileName), {sheet.bytes()})
           .ok() ||
      !WriteWholeFile(PathInDirectory(directory, kParametersFileName),
                      {Utf8ToGbk(parameters).bytes()})
           .ok()) {
    std::fprintf(stderr, "vantry_window_picture: cannot write the demo exam\n");
    return 1;
  }

  ProgramState state;
  Program program(state, {directory, "", [](int) {}});
  if (!program.OnMainWindowCreated()) {
    std::fprintf(stderr, "vantry_window_picture: the window did not start\n");
    return 1;
  }
  // The demo exam's order groups, as its README suggests.
  program.controls().SetControlText(controls::kOrderKeys, "3-1,3-2,3-3,5-1,5-2,5-3"_gbk);
  PictureControls picture_controls(program.controls());
  GradingOptions options;
  options.directory = directory;
  options.pause_ms = 0;
  RunGrading(state, picture_controls, options);
  // The button as the teacher finds it before clicking.
  program.controls().SetControlText(controls::kGradeButton, Utf8ToGbk("一键开始"));
  program.controls().Flush();
  QApplication::processEvents();

  if (!Picture(program.window()).save(QString::fromStdString(arguments[0]), "PNG")) {
    std::fprintf(stderr, "vantry_window_picture: cannot write %s\n",
                 arguments[0].c_str());
    return 1;
  }
  return 0;
}
