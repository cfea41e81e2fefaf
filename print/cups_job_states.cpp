// Job states as data: which ones are worth waiting for.
#include "cups_job_states.h"

#include "failure_messages.h"

namespace qrticket::cups {
namespace {

constexpr JobStateMeaning kJobStates[] = {
    {3, JobOutcome::Wait, nullptr},                            // pending
    {4, JobOutcome::Failed, &failures::CupsJobHeld},           // pending-held: needs someone to release it
    {5, JobOutcome::Wait, nullptr},                            // processing
    {6, JobOutcome::Wait, nullptr},                            // processing-stopped: the queue stopped mid-job
    {7, JobOutcome::Failed, &failures::CupsJobCancelled},      // canceled
    {8, JobOutcome::Failed, &failures::CupsJobAborted},        // aborted
    {9, JobOutcome::Completed, nullptr},                       // completed
};

constexpr JobStateMeaning kUnknown{0, JobOutcome::Wait, nullptr};

}  // namespace

const JobStateMeaning& MeaningOf(int state) {
  for (const JobStateMeaning& row : kJobStates)
    if (row.state == state) return row;
  return kUnknown;
}

}  // namespace qrticket::cups
