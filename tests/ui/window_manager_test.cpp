// The windows under a real window manager: openbox on Xvfb, with keys typed through the X
// server by xdotool. openbox does not focus a newly shown window that is kept off the task bar,
// nor go back to one when a dialog closes, so the main window must ask for the keyboard itself.
// Skipped when there is no X server, or openbox or xdotool is missing.
#include <QtGui/qguiapplication_platform.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "form1.h"
#include "gui_helpers.h"
#include "module1.h"
#include "temp_dir.h"
#ifdef QRTICKET_HAVE_VIEWER
#include "ticket_preview.h"
#endif

namespace qrticket::ui {
namespace {

using namespace std::chrono_literals;
using testing::ControlNamed;
using testing::TempDir;
using testing::WaitFor;

xcb_connection_t* Connection() {
  return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t Atom(const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      Connection(),
      xcb_intern_atom(Connection(), 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

xcb_window_t Root() { return xcb_setup_roots_iterator(xcb_get_setup(Connection())).data->root; }

// The window a property of the root window names, or 0.
xcb_window_t RootWindowProperty(const char* name) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      Connection(), xcb_get_property(Connection(), 0, Root(), Atom(name), XCB_ATOM_WINDOW, 0, 1),
      nullptr);
  xcb_window_t window = 0;
  if (reply && xcb_get_property_value_length(reply) == sizeof(xcb_window_t))
    std::memcpy(&window, xcb_get_property_value(reply), sizeof window);
  std::free(reply);
  return window;
}

xcb_window_t InputFocus() {
  xcb_get_input_focus_reply_t* reply =
      xcb_get_input_focus_reply(Connection(), xcb_get_input_focus(Connection()), nullptr);
  const xcb_window_t focus = reply ? reply->focus : 0;
  std::free(reply);
  return focus;
}

// True when the X server sends the keys to `window`, the window manager shows it as the active
// one, and Qt agrees.
bool HasTheKeys(QWidget* window) {
  if (!window || !window->isVisible()) return false;
  const auto id = static_cast<xcb_window_t>(window->winId());
  return RootWindowProperty("_NET_ACTIVE_WINDOW") == id && InputFocus() == id &&
         QApplication::activeWindow() == window;
}

// openbox for the whole test program, with a configuration folder of its own so the machine's
// settings play no part.
class Openbox final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
      skipReason = "needs an X server; platform is " + QGuiApplication::platformName();
      return;
    }
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (openbox.isEmpty() || xdotool.isEmpty()) {
      skipReason = QStringLiteral("needs openbox and xdotool");
      return;
    }
    if (RootWindowProperty("_NET_SUPPORTING_WM_CHECK") != 0) {
      failure = QStringLiteral("another window manager runs on this display");
      return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start(openbox, {QStringLiteral("--sm-disable")});
    if (!WaitFor([] { return RootWindowProperty("_NET_SUPPORTING_WM_CHECK") != 0; }, 10s))
      failure = QStringLiteral("openbox did not come up");
  }
  void TearDown() override {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }

  static inline QString skipReason;
  static inline QString failure;
  static inline QString xdotool;

 private:
  QTemporaryDir config_;
  QProcess process_;
};

// Keys typed through the X server, as a keyboard would; the event loop runs meanwhile.
void Xdotool(const QStringList& arguments) {
  QProcess process;
  process.start(Openbox::xdotool, arguments);
  ASSERT_TRUE(WaitFor([&process] { return process.state() == QProcess::NotRunning; }, 10s));
  ASSERT_EQ(process.exitCode(), 0) << arguments.join(u' ').toStdString();
}

void Type(const QString& text) {
  Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

// Steps taken while modal dialogs run: each waits until its kind of dialog has the keys, then
// acts. Whatever is still open after the bound is rejected, so a failing test never hangs.
class ModalScript {
 public:
  struct Step {
    std::function<bool(QWidget*)> isThisDialog;
    std::function<void(QWidget*)> action;
  };
  explicit ModalScript(QList<Step> steps) : steps_(std::move(steps)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start(20);
    QObject::connect(&bound_, &QTimer::timeout, [] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        dialog->reject();
    });
    bound_.start(15s);
  }
  int done() const { return done_; }

 private:
  void Poll() {
    if (done_ >= steps_.size()) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !steps_[done_].isThisDialog(modal) || !HasTheKeys(modal)) return;
    // The action may start a dialog of its own; run it after this poll returns.
    QTimer::singleShot(0, [action = steps_[done_].action, target = QPointer<QWidget>(modal)] {
      if (target) action(target);
    });
    ++done_;
  }

  QList<Step> steps_;
  int done_ = 0;
  QTimer poll_;
  QTimer bound_;
};

const auto* const kOpenbox = ::testing::AddGlobalTestEnvironment(new Openbox);

template <typename Dialog>
bool Is(QWidget* widget) {
  return qobject_cast<Dialog*>(widget) != nullptr;
}

void PressKey(const char* key) { Xdotool({QStringLiteral("key"), QLatin1String(key)}); }

class UnderOpenbox : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Openbox::skipReason.isEmpty()) GTEST_SKIP() << Openbox::skipReason.toStdString();
    ASSERT_TRUE(Openbox::failure.isEmpty()) << Openbox::failure.toStdString();
  }
  // Typing now reaches Text1 of `form`.
  static void ExpectTypingReachesText1(Form1& form) {
    auto* text = ControlNamed<QPlainTextEdit>(form, "Text1");
    EXPECT_EQ(QApplication::focusWidget(), text) << "the focus is where it was";
    text->clear();
    Type(QStringLiteral("ok 1"));
    EXPECT_TRUE(WaitFor([text] { return text->toPlainText() == QLatin1String("ok 1"); }))
        << "Text1 holds \"" << text->toPlainText().toStdString() << '"';
  }
};

TEST_F(UnderOpenbox, AfterTheSplashTheMainWindowTakesTheKeysInText1) {
  StartOptions options;
  options.splashInterval = 300ms;
  std::unique_ptr<Form1> form(StartProcedure(options));
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(WaitFor([&form] { return HasTheKeys(form.get()); }));
  auto* text = ControlNamed<QPlainTextEdit>(*form, "Text1");
  EXPECT_EQ(QApplication::focusWidget(), text);
  const QString before = text->toPlainText();
  Type(QStringLiteral("xyz"));
  EXPECT_TRUE(WaitFor([&] { return text->toPlainText().size() == before.size() + 3; }))
      << "typed keys reach Text1";
}

TEST_F(UnderOpenbox, AfterAFailureMessageTheMainWindowHasTheKeysAgain) {
  Form1 form;  // the real message box reporter
  form.show();
  ASSERT_TRUE(WaitFor([&form] { return HasTheKeys(&form); }));
  TempDir dir;
  ControlNamed<QComboBox>(form, "ObjPrint")
      ->setEditText(QString::fromStdString(dir.File("no-such-folder/t.bin")));
  ModalScript script({{Is<QMessageBox>, [](QWidget*) { PressKey("Return"); }}});
  ControlNamed<QPushButton>(form, "Command1")->click();  // returns when the box is gone
  EXPECT_EQ(script.done(), 1) << "the message box had the keys";
  EXPECT_TRUE(WaitFor([&form] { return HasTheKeys(&form); }));
  ExpectTypingReachesText1(form);
}

#ifdef QRTICKET_HAVE_VIEWER
TEST_F(UnderOpenbox, AfterThePreviewAndItsFileDialogTheKeysComeBackInTurn) {
  Form1 form;
  form.SetPreviewHook(ShowTicketPreview);
  form.show();
  ASSERT_TRUE(WaitFor([&form] { return HasTheKeys(&form); }));
  ControlNamed<QComboBox>(form, "ObjPrint")->setEditText(QStringLiteral("VISUALIZAR:"));
  ModalScript script({
      {Is<TicketPreview>,
       [](QWidget* preview) { ControlNamed<QPushButton>(*preview, "savePng")->click(); }},
      {Is<QFileDialog>, [](QWidget*) { PressKey("Escape"); }},
      {Is<TicketPreview>, [](QWidget*) { PressKey("Escape"); }},
  });
  ControlNamed<QPushButton>(form, "Command1")->click();  // returns when the preview is gone
  EXPECT_EQ(script.done(), 3) << "steps done: the preview, its file dialog, the preview again";
  EXPECT_TRUE(WaitFor([&form] { return HasTheKeys(&form); }));
  ExpectTypingReachesText1(form);
}
#endif

}  // namespace
}  // namespace qrticket::ui
