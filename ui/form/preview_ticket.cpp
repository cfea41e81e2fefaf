// The preview's ticket bytes (see preview_ticket.h).
#include "preview_ticket.h"

#include <utility>

namespace qrticket::ui {

std::optional<Bytes> PreviewTicketBytes(const QrPrintSettings& settings, FailureReporter& reporter) {
  LaidOutTicket ticket = QrTestBytes(settings, reporter);
  if (ticket.result.status == JobResult::Status::Failed) return std::nullopt;
  return std::move(ticket.bytes);
}

}  // namespace qrticket::ui
