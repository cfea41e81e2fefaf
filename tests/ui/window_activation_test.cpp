// The main window takes the keyboard: after the splash, and again after each dialog closes.
// The offscreen platform leaves no window active when a dialog closes, much as window managers
// that ignore windows kept off the task bar do; window_manager_test.cpp runs the same under a
// real window manager.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "form1.h"
#include "gui_helpers.h"
#include "module1.h"
#include "temp_dir.h"

namespace qrticket::ui {
namespace {

using namespace std::chrono_literals;
using testing::ControlNamed;
using testing::MessageBoxAnswerer;
using testing::TempDir;
using testing::WaitFor;

bool IsActive(QWidget* window) { return QApplication::activeWindow() == window; }

TEST(MainWindowActivation, AfterTheSplashWithText1Focused) {
  StartOptions options;
  options.splashInterval = 50ms;
  QPointer<Form1> form = StartProcedure(options);
  ASSERT_FALSE(form.isNull());
  EXPECT_TRUE(WaitFor([&] { return IsActive(form); }));
  EXPECT_EQ(QApplication::focusWidget(), ControlNamed<QPlainTextEdit>(*form, "Text1"));
  delete form;
}

class DialogOverForm1 : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  }
  Form1 form_;
};

TEST_F(DialogOverForm1, AFailureMessageGivesTheKeysBack) {
  TempDir dir;
  ControlNamed<QComboBox>(form_, "ObjPrint")
      ->setEditText(QString::fromStdString(dir.File("no-such-folder/t.bin")));
  {
    MessageBoxAnswerer answerer;  // the default reporter: a real modal message box
    ControlNamed<QPushButton>(form_, "Command1")->click();
    ASSERT_EQ(answerer.seen().size(), 1);
  }
  EXPECT_TRUE(WaitFor([this] { return IsActive(&form_); }));
  EXPECT_EQ(QApplication::focusWidget(), ControlNamed<QPlainTextEdit>(form_, "Text1"))
      << "the focus is where it was";
}

// A dialog that opens a dialog: closing the inner one makes the outer one active, not the
// main window; closing the outer one makes the main window active.
TEST_F(DialogOverForm1, NestedDialogsGiveTheKeysBackInTurn) {
  QDialog outer(&form_);
  outer.setObjectName(QStringLiteral("outer"));
  bool outerActive = false;
  bool innerClosedOuterActive = false;
  QTimer::singleShot(0, &outer, [&] {
    outerActive = WaitFor([&] { return IsActive(&outer); });
    QDialog inner(&outer);
    QTimer::singleShot(50, &inner, &QDialog::reject);
    inner.exec();
    innerClosedOuterActive = WaitFor([&] { return IsActive(&outer); });
    outer.reject();
  });
  outer.exec();
  EXPECT_TRUE(outerActive);
  EXPECT_TRUE(innerClosedOuterActive);
  EXPECT_TRUE(WaitFor([this] { return IsActive(&form_); }));
}

}  // namespace
}  // namespace qrticket::ui
