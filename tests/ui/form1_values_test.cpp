// Form1 as the operator finds and edits it: values after load, the count, the port rule, the
// editable lists, focus and tab order. Real window, offscreen, real event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "form1.h"
#include "gui_helpers.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::Hex;
using testing::ExecBounded;
using testing::TypeReplacing;

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  QComboBox* List(const char* name) { return ControlNamed<QComboBox>(form_, name); }
  QCheckBox* Box(const char* name) { return ControlNamed<QCheckBox>(form_, name); }
  QPlainTextEdit* Text1() { return ControlNamed<QPlainTextEdit>(form_, "Text1"); }
  QString Count() { return ControlNamed<QLabel>(form_, "lblNChar")->text(); }
  bool PrintEnabled() { return ControlNamed<QPushButton>(form_, "Command1")->isEnabled(); }

  Form1 form_;
};

TEST_F(Form1Test, ValuesAfterLoad) {
  EXPECT_EQ(form_.windowTitle(), QStringLiteral("QR Code - Teste v1.3"));
  EXPECT_EQ(Text1()->toPlainText(), QString::fromLatin1(kSampleDataText));
  EXPECT_EQ(Count(), QStringLiteral("140"));

  QComboBox* port = List("ObjPrint");
  const QStringList ports = {"LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:",
                             "COM4:", "COM5:", "COM6:", ""};
  ASSERT_EQ(port->count(), ports.size());
  for (int i = 0; i < port->count(); ++i) EXPECT_EQ(port->itemText(i), ports[i]) << i;
  EXPECT_EQ(port->currentIndex(), 8);
  EXPECT_EQ(port->currentText(), QString());
  EXPECT_FALSE(PrintEnabled());

  EXPECT_EQ(ControlNamed<QLineEdit>(form_, "Tamanho")->text(), QStringLiteral("6"));
  EXPECT_EQ(List("ListModel")->currentIndex(), 1);
  EXPECT_EQ(List("ListModel")->currentText(), QStringLiteral("Modelo 2"));
  EXPECT_EQ(List("ListModel")->itemText(2), QStringLiteral("MIcro QR Code"));
  EXPECT_EQ(List("ListError")->currentIndex(), 1);
  EXPECT_EQ(List("ListError")->currentText(), QStringLiteral("Nivel M"));
  EXPECT_EQ(List("ListError")->count(), 4);
  for (const char* name : {"ChkPag", "chkCentrado", "chkNew"}) {
    EXPECT_EQ(Box(name)->checkState(), Qt::Unchecked) << name;
  }
  EXPECT_TRUE(ControlNamed<QPushButton>(form_, "Command2")->isEnabled());
  for (const char* hidden : {"Label4", "Combo3", "Check1"}) {
    EXPECT_FALSE(ControlNamed<QWidget>(form_, hidden)->isVisible()) << hidden;
  }
}

TEST_F(Form1Test, PortRuleFollowsChoiceAndTyping) {
  QComboBox* port = List("ObjPrint");
  port->setCurrentIndex(0);  // "LPT1:" chosen
  EXPECT_TRUE(PrintEnabled());
  port->setCurrentIndex(8);  // the empty entry chosen again
  EXPECT_FALSE(PrintEnabled());

  TypeReplacing(port->lineEdit(), QStringLiteral("   "));
  EXPECT_EQ(port->currentText(), QStringLiteral("   "));
  EXPECT_FALSE(PrintEnabled()) << "spaces only";

  TypeReplacing(port->lineEdit(), QStringLiteral(" COM1: "));
  EXPECT_TRUE(PrintEnabled());
  EXPECT_EQ(form_.SettingsFromControls().deviceName, " COM1: ");

  TypeReplacing(port->lineEdit(), QString());
  EXPECT_FALSE(PrintEnabled()) << "emptied";
}

TEST_F(Form1Test, CountFollowsEveryChange) {
  QPlainTextEdit* text = Text1();
  text->setFocus();
  TypeReplacing(text, QString());
  EXPECT_EQ(Count(), QStringLiteral("0"));

  QTest::keyClicks(text, QStringLiteral("AB"));
  EXPECT_EQ(Count(), QStringLiteral("2"));
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(Count(), QStringLiteral("4")) << "a line break counts as CR LF";
  QTest::keyClicks(text, QStringLiteral("C"));
  EXPECT_EQ(Count(), QStringLiteral("5"));
  EXPECT_EQ(form_.SettingsFromControls().dataText, "AB\r\nC");

  QTest::keyClick(text, Qt::Key_Backspace);
  EXPECT_EQ(Count(), QStringLiteral("4"));

  QGuiApplication::clipboard()->setText(QStringLiteral("x\ny"));
  QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Count(), QStringLiteral("8"));
  EXPECT_EQ(form_.SettingsFromControls().dataText, "AB\r\nx\r\ny");
}

TEST_F(Form1Test, NoBreakSpaceReachesTheTicketAsItsOwnByte) {
  Text1()->setPlainText(QStringLiteral("A\u00A0B\u20AC"));
  EXPECT_EQ(Count(), QStringLiteral("4"));
  EXPECT_EQ(Hex(form_.SettingsFromControls().dataText), "41 A0 42 80");
}

class TypedList : public Form1Test, public ::testing::WithParamInterface<const char*> {};

TEST_P(TypedList, TypedTextSelectsNothing) {
  QComboBox* list = List(GetParam());
  TypeReplacing(list->lineEdit(), QStringLiteral("Nivel X"));
  EXPECT_EQ(list->currentIndex(), -1);
  EXPECT_EQ(list->currentText(), QStringLiteral("Nivel X"));
  EXPECT_EQ(list->count(), list->objectName() == "ListModel" ? 3 : 4) << "nothing added";

  // Enter on a text that matches an entry exactly still chooses nothing.
  TypeReplacing(list->lineEdit(), list->itemText(0));
  QTest::keyClick(list->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(list->currentIndex(), -1);
  EXPECT_EQ(list->currentText(), list->itemText(0));

  list->setCurrentIndex(0);  // choosing an entry selects it again
  EXPECT_EQ(list->currentIndex(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lists, TypedList, ::testing::Values("ListModel", "ListError"));

TEST_F(Form1Test, TypedListsGiveMinusOneToTheJob) {
  TypeReplacing(List("ListModel")->lineEdit(), QStringLiteral("Modelo 9"));
  TypeReplacing(List("ListError")->lineEdit(), QStringLiteral("Z"));
  const QrPrintSettings settings = form_.SettingsFromControls();
  EXPECT_EQ(settings.modelIndex, -1);
  EXPECT_EQ(settings.errorLevelIndex, -1);
}

TEST_F(Form1Test, GreyedBoxCountsAsUnticked) {
  for (const char* name : {"ChkPag", "chkCentrado", "chkNew"}) {
    Box(name)->setTristate(true);
    Box(name)->setCheckState(Qt::PartiallyChecked);
  }
  const QrPrintSettings settings = form_.SettingsFromControls();
  EXPECT_FALSE(settings.pageMode);
  EXPECT_FALSE(settings.centred);
  EXPECT_FALSE(settings.woosimDialect);
}

// The name of the window's control that holds `widget` (a list's edit belongs to the list).
QString ControlOf(QWidget* widget) {
  while (widget && widget->objectName().isEmpty()) widget = widget->parentWidget();
  return widget ? widget->objectName() : QString();
}

QStringList FocusOrder(int steps) {
  QStringList order;
  for (int i = 0; i < steps; ++i) {
    order << ControlOf(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  return order;
}

TEST_F(Form1Test, FocusStartsOnText1AndTabFollowsTheOrder) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  EXPECT_EQ(ControlOf(QApplication::focusWidget()), QStringLiteral("Text1"));
  EXPECT_EQ(FocusOrder(10),
            QStringList({"Text1", "Command2", "ObjPrint", "Tamanho", "ListModel", "ListError",
                         "ChkPag", "chkCentrado", "chkNew", "Text1"}))
      << "the disabled print button is skipped";

  List("ObjPrint")->setCurrentIndex(0);
  Text1()->setFocus();
  EXPECT_EQ(FocusOrder(3), QStringList({"Text1", "Command1", "Command2"}));
}

TEST_F(Form1Test, FecharEndsTheEventLoop) {
  QTimer::singleShot(0, [this] { QTest::mouseClick(ControlNamed<QPushButton>(form_, "Command2"),
                                                   Qt::LeftButton); });
  EXPECT_EQ(ExecBounded(std::chrono::seconds(5)), 0);
  EXPECT_FALSE(form_.isVisible());
}

TEST_F(Form1Test, TitleBarCloseEndsTheEventLoop) {
  QTimer::singleShot(0, [this] { form_.close(); });
  EXPECT_EQ(ExecBounded(std::chrono::seconds(5)), 0);
  EXPECT_FALSE(form_.isVisible());
}

}  // namespace
}  // namespace qrticket::ui
