// The limits ticket drawn by the virtual printer instead of printed ("VISUALIZAR:").
#include <QGuiApplication>

#include "devices/failure.h"
#include "symbols/probe_ticket.h"
#include "ticket_preview.h"

namespace qrticket::ui {

void ShowProbePreview(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter,
                      QWidget* parent) {
  Bytes bytes;
  try {
    bytes = ProbeTicketBytes(settings, paperDots);
  } catch (const PrintFailure& failure) {
    reporter.ShowFailure(kFailurePrefix + failure.description());
    return;
  }
  viewer::RenderOptions options;
  options.paperWidth = paperDots;
  TicketPreview preview(viewer::RenderTicket(bytes, options), parent);
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  preview.exec();
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace qrticket::ui
