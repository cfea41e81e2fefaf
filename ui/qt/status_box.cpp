// The status box on Qt (see status_box.h).
#include "status_box.h"

#include <QGuiApplication>
#include <QMessageBox>

#include "app_identity.h"

namespace qrticket::ui {

void ShowStatusBox(const QString& message, QWidget* parent) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), message,
                  QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("statusMessage"));
  box.setTextFormat(Qt::PlainText);
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace qrticket::ui
