// Helpers for window tests (see gui_helpers.h).
#include "gui_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>

namespace qrticket::testing {

void TypeReplacing(QWidget* edit, const QString& text) {
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  if (text.isEmpty()) {
    QTest::keyClick(edit, Qt::Key_Delete);
  } else {
    QTest::keyClicks(edit, text);
  }
}

MessageBoxAnswerer::MessageBoxAnswerer() {
  poll_.setInterval(10);
  QObject::connect(&poll_, &QTimer::timeout, [this] { Answer(); });
  poll_.start();
}

void MessageBoxAnswerer::Answer() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  seen_.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                box->isModal()});
  if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
    ok->click();
  } else {
    box->close();
  }
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
  QDeadlineTimer deadline(bound);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QTest::qWait(10);
  }
  return true;
}

int ExecBounded(std::chrono::milliseconds bound) {
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  watchdog.start(bound);
  return QApplication::exec();
}

}  // namespace qrticket::testing
