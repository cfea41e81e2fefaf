// What the desktop program needs from its platform before Qt starts.
#pragma once

namespace qrticket::ui {

// A printer that hangs up must fail the job, not kill the program: SIGPIPE is ignored on POSIX
// systems (process_setup.cpp); Windows raises no such signal (win/process_setup.cpp).
void PrepareProcess();

}  // namespace qrticket::ui
