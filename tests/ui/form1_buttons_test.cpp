// Form1's push buttons: a disabled caption that stays readable on the grey face, and Return or
// the keypad's Enter pressing the focused button. Both hold for a button added to the window
// later, as for "Imprimir" and "Fechar".
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "form1.h"
#include "gui_helpers.h"
#include "temp_dir.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::ExecBounded;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::TypeReplacing;

// Relative luminance and contrast ratio as WCAG 2 defines them.
double Luminance(QColor colour) {
  auto linear = [](int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) +
         0.0722 * linear(colour.blue());
}

double Contrast(QColor a, QColor b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(ContrastFormula, KnownPairs) {
  EXPECT_NEAR(Contrast(Qt::black, Qt::white), 21.0, 1e-9);
  EXPECT_NEAR(Contrast(QColor(118, 118, 118), Qt::white), 4.54, 0.01);
  EXPECT_NEAR(Contrast(Qt::white, Qt::white), 1.0, 1e-9);
}

// The darkest pixel of a rendered button: the caption's strokes.
QColor DarkestPixel(QWidget& button) {
  const QImage image = button.grab().toImage();
  QColor darkest = Qt::white;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < qGray(darkest.rgb())) darkest = image.pixelColor(x, y);
  return darkest;
}

class Form1Buttons : public ::testing::Test {
 protected:
  void SetUp() override {
    // A button added after the window was made, as a later "Estado" beside "Fechar" would be.
    auto* added = new QPushButton(QStringLiteral("Estado"), &form_);
    added->setObjectName(QStringLiteral("added"));
    added->setGeometry(200, 450, 131, 41);
    QPalette face = added->palette();
    face.setColor(QPalette::Button, kFace);
    added->setPalette(face);
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  }
  QPushButton* Button(const char* name) { return ControlNamed<QPushButton>(form_, name); }

  const QColor kFace{192, 192, 192};
  Form1 form_;
};

TEST_F(Form1Buttons, DisabledCaptionsAreReadableAndStillLookDisabled) {
  for (const char* name : {"Command1", "Command2", "added"}) {
    SCOPED_TRACE(name);
    const QPalette& palette = Button(name)->palette();
    EXPECT_EQ(palette.color(QPalette::Button), kFace);
    const QColor disabled = palette.color(QPalette::Disabled, QPalette::ButtonText);
    const QColor enabled = palette.color(QPalette::Active, QPalette::ButtonText);
    EXPECT_GE(Contrast(disabled, kFace), 3.0);
    EXPECT_GE(Contrast(enabled, kFace), 7.0);
    EXPECT_GE(Contrast(enabled, disabled), 2.0) << "a disabled caption is plainly lighter";
    EXPECT_GT(Luminance(disabled), Luminance(enabled));
  }
}

// What the style draws, not only what the palette says: the disabled "Imprimir" on screen.
TEST_F(Form1Buttons, DisabledImprimirIsDrawnReadable) {
  QPushButton* print = Button("Command1");
  ASSERT_FALSE(print->isEnabled());
  const QColor disabled = DarkestPixel(*print);
  EXPECT_GE(Contrast(disabled, kFace), 3.0) << qPrintable(disabled.name());

  ControlNamed<QComboBox>(form_, "ObjPrint")->setEditText(QStringLiteral("LPT1:"));
  ASSERT_TRUE(print->isEnabled());
  const QColor enabled = DarkestPixel(*print);
  EXPECT_GE(Contrast(enabled, disabled), 2.0)
      << qPrintable(enabled.name()) << " vs " << qPrintable(disabled.name());
}

struct EnterKey {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  bool presses;
};

void PrintTo(const EnterKey& key, std::ostream* out) { *out << key.name; }

class EnterOnButtons : public Form1Buttons, public ::testing::WithParamInterface<EnterKey> {};

TEST_P(EnterOnButtons, PressesTheFocusedButton) {
  const EnterKey& k = GetParam();
  for (const char* name : {"Command1", "Command2", "added"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    ControlNamed<QComboBox>(form_, "ObjPrint")
        ->setEditText(QString::fromStdString(dir.File("t.bin")));
    QPushButton* button = Button(name);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    int clicks = 0;
    const auto connection =
        QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    QTest::keyClick(button, k.key, k.modifiers);
    QObject::disconnect(connection);
    EXPECT_EQ(clicks, k.presses ? 1 : 0);
    if (button == Button("Command1")) {
      EXPECT_EQ(ReadFileBytes(dir.File("t.bin")).empty(), !k.presses) << "the ticket was printed";
    }
    if (!form_.isVisible()) {  // "Fechar" closed it
      form_.show();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EnterOnButtons,
    ::testing::Values(EnterKey{"Return", Qt::Key_Return, Qt::NoModifier, true},
                      EnterKey{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, true},
                      EnterKey{"CtrlReturn", Qt::Key_Return, Qt::ControlModifier, false},
                      EnterKey{"AltEnter", Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier,
                               false},
                      EnterKey{"ShiftReturn", Qt::Key_Return, Qt::ShiftModifier, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Buttons, AHeldEnterPrintsOnce) {
  TempDir dir;
  ControlNamed<QComboBox>(form_, "ObjPrint")
      ->setEditText(QString::fromStdString(dir.File("t.bin")));
  QPushButton* print = Button("Command1");
  print->setFocus();
  int clicks = 0;
  QObject::connect(print, &QPushButton::clicked, [&clicks] { ++clicks; });
  QTest::keyPress(print, Qt::Key_Return);
  for (int i = 0; i < 3; ++i) {
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QApplication::sendEvent(print, &repeat);
  }
  QTest::keyRelease(print, Qt::Key_Return);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Form1Buttons, ReturnInText1StillBreaksTheLine) {
  auto* text = ControlNamed<QPlainTextEdit>(form_, "Text1");
  text->setFocus();
  TypeReplacing(text, QStringLiteral("A"));
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClick(text, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(text->toPlainText(), QStringLiteral("A\n\n"));
}

TEST_F(Form1Buttons, ReturnOnFecharEndsTheProgram) {
  QTimer::singleShot(0, [this] { QTest::keyClick(Button("Command2"), Qt::Key_Return); });
  Button("Command2")->setFocus();
  EXPECT_EQ(ExecBounded(std::chrono::seconds(5)), 0);
  EXPECT_FALSE(form_.isVisible());
}

}  // namespace
}  // namespace qrticket::ui
