// What each IPP job state means for a job that must print now or fail.
#pragma once

#include <string_view>

#include "devices/failure.h"

namespace qrticket::cups {

enum class JobOutcome { Wait, Completed, Failed };

struct JobStateMeaning {
  int state;  // job-state (RFC 8011, 5.3.7)
  JobOutcome outcome;
  // For failed jobs: the failure, given the queue, the job number and CUPS's reason.
  PrintFailure (*failure)(std::string_view queue, int job, std::string_view reason);
};

// The row for `state`; an unknown state waits (the stall bound still ends it).
const JobStateMeaning& MeaningOf(int state);

}  // namespace qrticket::cups
