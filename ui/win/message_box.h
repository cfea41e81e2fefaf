// The program's message boxes: the print job's failure and the status answer.
#pragma once

#include <windows.h>

#include <string>

#include "ticket/ticket_job.h"

namespace qrticket::ui {

// One modal box over `owner`: `message` as its prompt, an OK button only, no icon, titled with
// the application's title. Returns when the operator dismisses it; the owner then has the
// keyboard again.
void ShowMessageBox(HWND owner, const std::string& message);

// A failed print job, shown as such a box over the window it was started from.
class MessageBoxReporter final : public FailureReporter {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  void ShowFailure(const std::string& message) override { ShowMessageBox(owner_, message); }

 private:
  HWND owner_ = nullptr;
};

}  // namespace qrticket::ui
