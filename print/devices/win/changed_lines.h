// The serial ports a job has set to its own settings, kept where the console's event handler
// can reach them: a process that ends at once (a second Ctrl+C) puts them back first, since
// nothing else will once it has gone (Windows leaves a port as the last program set it).
#pragma once

#include <windows.h>

namespace qrticket {

// Remembers that the port on `port` had the DCB `own` before the job changed it. At most
// kMaxChangedLines at a time; more are not remembered (a job changes one port).
void RememberChangedLine(HANDLE port, const DCB& own) noexcept;
// The port on `port` is back as it was; call before `port` is closed.
void ForgetChangedLine(HANDLE port) noexcept;

// Puts every remembered port back (SetCommState) and returns how many were. Runs on the
// console handler's thread while the job's thread may still use the port; the ports stay
// remembered.
int RestoreChangedLines() noexcept;

inline constexpr int kMaxChangedLines = 4;

}  // namespace qrticket
