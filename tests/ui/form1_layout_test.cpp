// Form1's look: every control of the layout table at its place (15 twips to a pixel), captions that fit, colours,
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
#include "form_layout.h"
#include "gui_helpers.h"
#include "twips.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;

class Form1Look : public ::testing::Test {
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

TEST_F(Form1Look, RunsAtTheExpectedScale) {
  EXPECT_DOUBLE_EQ(form_.devicePixelRatioF(), ExpectedScale());
  const QPixmap picture = form_.grab();
  EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(485, 505));
  EXPECT_EQ(picture.size(), (QSizeF(485, 505) * ExpectedScale()).toSize());
}

// Every control of the layout table, at its twips in its container.
TEST_F(Form1Look, EveryControlAtItsPlace) {
  const WindowSpec& layout = Form1Layout();
  ASSERT_FALSE(layout.controls.empty());
  for (const ControlSpec& spec : layout.controls) {
    const std::string name(spec.name);
    SCOPED_TRACE(name);
    auto* control = ControlNamed<QWidget>(form_, name.c_str());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName().toStdString(), spec.container);
    EXPECT_EQ(control->geometry(),
              TwipsRect(spec.rect.left, spec.rect.top, spec.rect.width, spec.rect.height));
  }
}

TEST_F(Form1Look, FixedFrameWithCloseButtonOnly) {
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

TEST_F(Form1Look, PicturesHaveTheirSizes) {
  const QPixmap logo = ControlNamed<QLabel>(form_, "Image1")->pixmap();
  EXPECT_EQ(logo.size(), QSize(52, 52));
}

TEST_F(Form1Look, CaptionsFitTheirBoxes) {
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

TEST_F(Form1Look, ColoursAndFonts) {
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
