// Helpers for window tests: finding controls by name, typing, and answering modal boxes and
// dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>

namespace qrticket::testing {

// The control named `name` inside `window`; fails the test when it is missing.
template <typename Control>
Control* ControlNamed(QWidget& window, const char* name) {
  auto* control = window.findChild<Control*>(QLatin1String(name));
  EXPECT_NE(control, nullptr) << "no control named " << name;
  return control;
}

// Replaces the text of a line edit (or an editable list's edit) the way an operator does:
// select all, then type.
void TypeReplacing(QWidget* edit, const QString& text);

// What a modal message box showed.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  bool modal = false;
};

// While alive, answers every modal message box with its OK button (or closes it) and records
// what it showed. Polls the event loop's modal widget, so it works inside the box's own exec().
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer();
  const QList<SeenBox>& seen() const { return seen_; }

 private:
  void Answer();
  QTimer poll_;
  QList<SeenBox> seen_;
};

// Calls `open`, which shows a modal `Dialog` and returns when it closes; once the dialog is
// up, hands it to `inspect` and rejects it. Returns whether a dialog came up. The polling
// stops after `bound`, so a test fails, never hangs.
template <typename Dialog>
bool InspectModal(const std::function<void()>& open, const std::function<void(Dialog&)>& inspect,
                  std::chrono::milliseconds bound) {
  bool seen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    poll.stop();
    seen = true;
    inspect(*dialog);
    dialog->reject();
  });
  poll.start(20);
  QTimer::singleShot(bound, &poll, [&] { poll.stop(); });
  open();
  return seen;
}

// Runs the event loop until `condition` holds or `bound` passes; returns the condition.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds bound = std::chrono::seconds(5));

// Runs the application's event loop until something ends it; after `bound` a watchdog ends it
// with 99. Returns the loop's exit code, so 0 means the program ended by itself.
int ExecBounded(std::chrono::milliseconds bound);

}  // namespace qrticket::testing
