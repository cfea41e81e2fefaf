// Runs the status query for the window and shows its lines.
#include "status_box.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include "app_identity.h"
#include "preview_hook.h"
#include "status/status_query.h"
#include "status/status_texts.h"
#include "ticket_text.h"

namespace qrticket::ui {

QString StatusMessage(const QString& deviceText) {
  if (IsPreviewDeviceName(deviceText)) {
    return QStringLiteral(
        "VISUALIZAR: mostra o talão no ecrã e não tem estado.\n"
        "A impressora virtual responde a pedidos de estado em rede: "
        "qrticket-view --listen 9100 --out PASTA, e aqui tcp://127.0.0.1:9100.");
  }
  const std::string device = DeviceNameFromText(deviceText);
  QString message = QStringLiteral("Estado de ") + deviceText + QStringLiteral(":");
  try {
    for (const std::string& line : StatusLines(QueryPrinterStatus(device)))
      message += QLatin1Char('\n') + QString::fromStdString(line);
  } catch (const PrintFailure& failure) {
    message += QLatin1Char('\n') + QString::fromStdString(failure.description());
  }
  return message;
}

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
