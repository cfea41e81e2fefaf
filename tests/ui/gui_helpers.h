// Helpers for window tests: finding controls by name, typing, and answering modal boxes.
#pragma once

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <chrono>

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

// Runs the event loop until `condition` holds or `bound` passes; returns the condition.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds bound = std::chrono::seconds(5));

// Runs the application's event loop until something ends it; after `bound` a watchdog ends it
// with 99. Returns the loop's exit code, so 0 means the program ended by itself.
int ExecBounded(std::chrono::milliseconds bound);

}  // namespace qrticket::testing
