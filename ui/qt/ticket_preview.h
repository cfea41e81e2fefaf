// The virtual printer in the main window: "VISUALIZAR:" shows the ticket a printer would draw
// from the very bytes the job makes, instead of sending them to a device.
#pragma once

#include <QDialog>
#include <QImage>

#include "render_ticket.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket::ui {

// A scrollable picture of the paper roll, the printer's report beside it, and a button that
// saves the picture as PNG.
class TicketPreview final : public QDialog {
  Q_OBJECT

 public:
  explicit TicketPreview(viewer::RenderedTicket ticket, QWidget* parent = nullptr);
  TicketPreview(const TicketPreview&) = delete;
  TicketPreview& operator=(const TicketPreview&) = delete;

  const viewer::RenderedTicket& ticket() const { return ticket_; }
  // Writes the picture to `path`; on failure returns false and says why in `error`.
  bool SaveTo(const QString& path, QString* error) const;

 private:
  void AskAndSave();

  viewer::RenderedTicket ticket_;
};

// The preview hook: runs the ticket job into a scratch file, renders what it wrote and shows
// it in a modal TicketPreview. Job failures reach `reporter` as a print's would.
void ShowTicketPreview(const QrPrintSettings& settings, FailureReporter& reporter);

// The code-table ticket on screen, in a modal TicketPreview over `parent`.
void ShowCodeTablesPreview(QWidget* parent);

// The limits ticket on screen, on paper `paperDots` wide, in a modal TicketPreview over
// `parent`. Settings that give no limits ticket reach `reporter`.
void ShowProbePreview(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter,
                      QWidget* parent);

}  // namespace qrticket::ui
