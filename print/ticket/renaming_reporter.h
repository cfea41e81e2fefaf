// A failure reporter in front of another that shows one name in place of another: a job run
// on a scratch file for a name the operator typed ("VISUALIZAR:") must speak of that name.
#pragma once

#include <string>
#include <utility>

#include "ticket/ticket_job.h"

namespace qrticket {

class RenamingReporter final : public FailureReporter {
 public:
  RenamingReporter(FailureReporter& next, std::string used, std::string shown)
      : next_(next), used_(std::move(used)), shown_(std::move(shown)) {}
  void ShowFailure(const std::string& message) override {
    std::string text = message;
    for (auto at = text.find(used_); !used_.empty() && at != std::string::npos;
         at = text.find(used_, at + shown_.size()))
      text.replace(at, used_.size(), shown_);
    failed = true;
    next_.ShowFailure(text);
  }
  bool failed = false;

 private:
  FailureReporter& next_;
  std::string used_;
  std::string shown_;
};

}  // namespace qrticket
