// The limits ticket drawn by the virtual printer instead of printed ("VISUALIZAR:").
#include <QGuiApplication>

#include "symbol_line.h"
#include "ticket_preview.h"

namespace qrticket::ui {

void ShowProbePreview(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter,
                      QWidget* parent) {
  const std::optional<Bytes> bytes = LimitsTicketBytes(settings, paperDots, reporter);
  if (!bytes) return;
  viewer::RenderOptions options;
  options.paperWidth = paperDots;
  TicketPreview preview(viewer::RenderTicket(*bytes, options), parent);
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  preview.exec();
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace qrticket::ui
