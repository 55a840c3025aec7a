#include "app/fitted_label.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QTest>
#include <string>
#include <string_view>

#include "controls/control_names.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/widget_controls.h"

namespace vantry {
namespace {

namespace c = controls;

// Columns of `image` that hold a pixel of exactly `colour` (the glyphs' solid parts),
// as the first and the last; -1, -1 when there is none.
std::pair<int, int> InkColumns(const QImage& image, QColor colour) {
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (image.pixelColor(x, y) == colour) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

TEST(FittedLabelTest, NamesAndScoresShowWholeAndCentred) {
  MainWindow window;
  WidgetControls access(window, [](int) {});
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  struct Case {
    std::string_view control;
    const char* text;
    bool full_size;  // fits at the font's own 56 pixels
  };
  const Case cases[] = {
      {c::kStudentName, "李小明", true},
      {c::kStudentName, "欧阳娜娜", false},
      {c::kStudentName, "买买提·艾力", false},
      {c::kStudentName, "阿卜杜热合曼·买买提江", false},     // 11 characters
      {c::kStudentName, "诸葛孔明司马仲达欧阳修文", false},  // 12 characters
      {c::kScore, "20分", true},
      {c::kScore, "100", true},
      {c::kScore, "-2147483648", false},
      {c::kScore, "2147483647", false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.text);
    auto* label = window.findChild<FittedLabel*>(Utf8ToQString(test.control));
    ASSERT_NE(label, nullptr);
    access.SetControlText(test.control, QStringToGbk(QString::fromUtf8(test.text)));
    access.Flush();
    const QString text = QString::fromUtf8(test.text);
    ASSERT_EQ(label->text(), text);

    // The font the window gives it stays; only the drawing shrinks, just enough.
    EXPECT_EQ(label->font().pixelSize(), 56);
    const QFont drawn = label->DrawnFont();
    const int width = label->contentsRect().width();
    EXPECT_LE(QFontMetrics(drawn).horizontalAdvance(text), width);
    if (test.full_size) {
      EXPECT_EQ(drawn.pixelSize(), 56);
    } else {
      EXPECT_LT(drawn.pixelSize(), 56);
      EXPECT_GE(drawn.pixelSize(), 12);  // still readable at twelve characters
      QFont one_larger = drawn;
      one_larger.setPixelSize(drawn.pixelSize() + 1);
      EXPECT_GT(QFontMetrics(one_larger).horizontalAdvance(text), width);
    }
    EXPECT_EQ(drawn.weight(), QFont::Bold);
    EXPECT_EQ(drawn.families(), label->font().families());

    // On screen: ink on both sides of the middle, clear of both edges, centred.
    const QColor colour =
        test.control == c::kStudentName ? QColor(0, 136, 255) : QColor(255, 0, 255);
    const auto [first, last] = InkColumns(label->grab().toImage(), colour);
    ASSERT_GE(first, 0) << "no text drawn";
    EXPECT_GT(first, 0);
    EXPECT_LT(last, label->width() - 1);
    // Side bearings of the glyphs ("1" has a wide one) keep this from being exact.
    EXPECT_LE(std::abs(first - (label->width() - 1 - last)), 8) << first << " " << last;
  }
}

TEST(FittedLabelTest, TooLongEvenAtTheSmallestSizeIsCutWithAnEllipsis) {
  FittedLabel label;
  QFont font;
  font.setPixelSize(56);
  font.setBold(true);
  label.setFont(font);
  label.setGeometry(0, 0, 172, 80);
  label.setAlignment(Qt::AlignCenter);
  const QString name(60, QChar(0x540D));  // 60 × 名
  label.setText(name);
  EXPECT_EQ(label.DrawnFont().pixelSize(), FittedLabel::kMinimumPixelSize);
  // An empty text and a text that fits keep the font as it is.
  EXPECT_EQ(FitFontToBox(font, QString(), QSize(10, 10), 9), font);
  EXPECT_EQ(FitFontToBox(font, QStringLiteral("1"), QSize(172, 80), 9), font);
  // A line break starts a second line, which must fit the height too.
  const QFont two_lines =
      FitFontToBox(font, QStringLiteral("张三\n李四"), QSize(172, 80), 9);
  EXPECT_LT(two_lines.pixelSize(), 56);
  EXPECT_LE(QFontMetrics(two_lines).lineSpacing() * 2,
            80 + QFontMetrics(two_lines).leading());
}

}  // namespace
}  // namespace vantry
