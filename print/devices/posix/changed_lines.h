// The serial lines a job has set to its own settings, kept where a signal handler can reach
// them: a process that ends at once (a second Ctrl+C or SIGTERM) puts them back first, since
// nothing else will after it has gone.
#pragma once

#include "devices/line_settings.h"

namespace qrticket {

// Remembers that `fd` was `own` before the job changed it. At most kMaxChangedLines at a time;
// more are not remembered (a job changes one line).
void RememberChangedLine(int fd, const LineSettings& own) noexcept;
// The line on `fd` is back as it was; call before `fd` is closed.
void ForgetChangedLine(int fd) noexcept;

// Puts every remembered line back (TCSETS2, which a signal handler may call) and returns how
// many were. Safe in a signal handler; the lines stay remembered.
int RestoreChangedLines() noexcept;

inline constexpr int kMaxChangedLines = 4;

}  // namespace qrticket
