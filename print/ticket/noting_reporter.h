// A failure reporter in front of another: passes every failure on and remembers that there was
// one, for a caller that decides what comes next by whether a job failed.
#pragma once

#include <string>

#include "ticket/ticket_job.h"

namespace qrticket {

class NotingReporter final : public FailureReporter {
 public:
  explicit NotingReporter(FailureReporter& next) : next_(next) {}
  void ShowFailure(const std::string& message) override {
    failed = true;
    next_.ShowFailure(message);
  }
  bool failed = false;

 private:
  FailureReporter& next_;
};

}  // namespace qrticket
