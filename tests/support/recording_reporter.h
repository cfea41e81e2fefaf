// A failure reporter for tests: keeps every message the job would have shown.
#pragma once

#include <string>
#include <vector>

#include "ticket/ticket_job.h"

namespace qrticket::testing {

class RecordingReporter final : public FailureReporter {
 public:
  void ShowFailure(const std::string& message) override { messages.push_back(message); }
  std::vector<std::string> messages;
};

}  // namespace qrticket::testing
