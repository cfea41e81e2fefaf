// Shows a failed print job as a modal message box (see message_box_reporter.h).
#include "message_box_reporter.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include "app_identity.h"

namespace qrticket::ui {

void MessageBoxReporter::ShowFailure(const std::string& message) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle),
                  QString::fromStdString(message), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setObjectName(QStringLiteral("failureMessage"));
  box.setTextFormat(Qt::PlainText);
  // The job runs under a busy cursor; the operator needs the normal one to press OK.
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace qrticket::ui
