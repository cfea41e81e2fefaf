// Shows a failed print job to the operator as a modal message box.
#pragma once

#include "ticket/ticket_job.h"

namespace qrticket::ui {

// One modal box per failure: the message as its prompt, an OK button only, no icon, titled with
// the application's title. Returns when the operator dismisses it.
class MessageBoxReporter final : public FailureReporter {
 public:
  void ShowFailure(const std::string& message) override;
};

}  // namespace qrticket::ui
