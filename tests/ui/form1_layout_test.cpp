// Form1's look: every control at its place (15 twips to a pixel), captions that fit, colours,
// fonts, the fixed frame and the icon. Run once per display scale (QRTICKET_EXPECTED_SCALE).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QWindow>

#include "form1.h"
#include "gui_helpers.h"
#include "twips.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;

struct Placement {
  const char* name;
  const char* container;
  int left, top, width, height;  // twips
};

// The window as drawn, control by control.
constexpr Placement kPlacements[] = {
    {"Image1", "Form1", 390, 270, 780, 780},
    {"Label3", "Form1", 1320, 540, 6045, 315},
    {"Label5", "Form1", 390, 1170, 6525, 75},
    {"Label1", "Form1", 420, 1350, 1125, 315},
    {"lblNChar", "Form1", 480, 1830, 795, 525},
    {"Text1", "Form1", 1470, 1320, 5445, 2490},
    {"Frame1", "Form1", 390, 3870, 6585, 2835},
    {"Label2", "Frame1", 180, 480, 1275, 315},
    {"ObjPrint", "Frame1", 1500, 480, 4875, 315},
    {"Label6", "Frame1", 270, 930, 1095, 435},
    {"Tamanho", "Frame1", 1500, 870, 675, 345},
    {"Label7", "Frame1", 270, 1350, 1095, 435},
    {"ListModel", "Frame1", 1500, 1290, 1545, 315},
    {"Label8", "Frame1", 240, 1740, 1095, 435},
    {"ListError", "Frame1", 1500, 1710, 1545, 315},
    {"ChkPag", "Frame1", 420, 2130, 1245, 225},
    {"chkCentrado", "Frame1", 690, 2460, 975, 225},
    {"chkNew", "Frame1", 2970, 2430, 975, 255},
    {"Command1", "Frame1", 4440, 930, 1935, 1725},
    {"Command2", "Form1", 4890, 6750, 1965, 615},
    {"Label4", "Form1", 540, 7500, 1575, 255},
    {"Combo3", "Form1", 2700, 7500, 2175, 315},
    {"Check1", "Form1", 4950, 7500, 2175, 255},
};

class Form1Layout : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  Form1 form_;
};

qreal ExpectedScale() {
  const QByteArray scale = qgetenv("QRTICKET_EXPECTED_SCALE");
  return scale.isEmpty() ? 1.0 : scale.toDouble();
}

TEST_F(Form1Layout, RunsAtTheExpectedScale) {
  EXPECT_DOUBLE_EQ(form_.devicePixelRatioF(), ExpectedScale());
  const QPixmap picture = form_.grab();
  EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(485, 505));
  EXPECT_EQ(picture.size(), (QSizeF(485, 505) * ExpectedScale()).toSize());
}

TEST_F(Form1Layout, EveryControlAtItsPlace) {
  for (const Placement& p : kPlacements) {
    SCOPED_TRACE(p.name);
    auto* control = ControlNamed<QWidget>(form_, p.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), QLatin1String(p.container));
    EXPECT_EQ(control->geometry(), TwipsRect(p.left, p.top, p.width, p.height));
  }
}

TEST_F(Form1Layout, FixedFrameWithCloseButtonOnly) {
  EXPECT_EQ(form_.size(), QSize(485, 505));
  EXPECT_EQ(form_.minimumSize(), form_.maximumSize());
  const Qt::WindowFlags flags = form_.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  const QList<QSize> sizes = form_.windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST_F(Form1Layout, PicturesHaveTheirSizes) {
  const QPixmap logo = ControlNamed<QLabel>(form_, "Image1")->pixmap();
  EXPECT_EQ(logo.size(), QSize(52, 52));
}

TEST_F(Form1Layout, CaptionsFitTheirBoxes) {
  for (const char* name : {"Label3", "Label1", "Label2", "Label6", "Label7", "Label8"}) {
    auto* label = ControlNamed<QLabel>(form_, name);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
              label->contentsRect().width())
        << name;
    EXPECT_LE(label->fontMetrics().height(), label->height()) << name;
  }
  for (const char* name : {"ChkPag", "chkCentrado", "chkNew"}) {
    auto* box = ControlNamed<QCheckBox>(form_, name);
    const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                          box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
    EXPECT_LE(indicator + box->fontMetrics().horizontalAdvance(box->text()), box->width())
        << name;
    EXPECT_LE(box->fontMetrics().height(), box->height()) << name;
  }
  for (const char* name : {"Command1", "Command2"}) {
    auto* button = ControlNamed<QPushButton>(form_, name);
    EXPECT_LE(button->sizeHint().width(), button->width()) << name;
  }
}

TEST_F(Form1Layout, ColoursAndFonts) {
  EXPECT_EQ(form_.palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(ControlNamed<QGroupBox>(form_, "Frame1")->palette().color(QPalette::Window),
            QColor(Qt::white));
  for (const char* name : {"Command1", "Command2"}) {
    EXPECT_EQ(ControlNamed<QPushButton>(form_, name)->palette().color(QPalette::Button),
              QColor(192, 192, 192))
        << name;
  }
  auto* company = ControlNamed<QLabel>(form_, "Label3");
  EXPECT_EQ(QFontInfo(company->font()).family(), QStringLiteral("Liberation Sans"));
  EXPECT_TRUE(company->font().bold());
  EXPECT_EQ(company->font().pixelSize(), 13);  // 9.75 pt at 96 dpi
  EXPECT_EQ(ControlNamed<QWidget>(form_, "Text1")->font().pixelSize(), 16);  // 12 pt
  EXPECT_EQ(ControlNamed<QLabel>(form_, "lblNChar")->alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
  for (const char* name : {"Label6", "Label7", "Label8"}) {
    EXPECT_EQ(ControlNamed<QLabel>(form_, name)->alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight)
        << name;
  }
  // The two right-boxed check boxes put their box at the right end, in the input column.
  EXPECT_EQ(ControlNamed<QCheckBox>(form_, "ChkPag")->layoutDirection(), Qt::RightToLeft);
  EXPECT_EQ(ControlNamed<QCheckBox>(form_, "chkCentrado")->layoutDirection(), Qt::RightToLeft);
  EXPECT_EQ(ControlNamed<QCheckBox>(form_, "chkNew")->layoutDirection(), Qt::LeftToRight);
}

}  // namespace
}  // namespace qrticket::ui
