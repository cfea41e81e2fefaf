// Job states as data: which ones are worth waiting for.
#include "devices/posix/cups_job_states.h"

#include "devices/device_failures.h"
#include "devices/posix/cups_failures.h"

namespace qrticket::cups {
namespace {

// job-state: 3 pending, 4 pending-held (someone must release it), 5 processing, 6
// processing-stopped (the queue stopped mid-job: the stall bound decides), 7 canceled,
// 8 aborted, 9 completed.
constexpr JobStateMeaning kJobStates[] = {
    {3, JobOutcome::Wait, nullptr},
    {4, JobOutcome::Failed, &failures::CupsJobHeld},
    {5, JobOutcome::Wait, nullptr},
    {6, JobOutcome::Wait, nullptr},
    {7, JobOutcome::Failed, &failures::CupsJobCancelled},
    {8, JobOutcome::Failed, &failures::CupsJobAborted},
    {9, JobOutcome::Completed, nullptr},
};

constexpr JobStateMeaning kUnknown{0, JobOutcome::Wait, nullptr};

}  // namespace

const JobStateMeaning& MeaningOf(int state) {
  for (const JobStateMeaning& row : kJobStates)
    if (row.state == state) return row;
  return kUnknown;
}

}  // namespace qrticket::cups
