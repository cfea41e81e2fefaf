// Whether the desktop program can open a window at all, asked before Qt starts: without a
// display Qt aborts with a message meant for developers, not for an operator.
#pragma once

#include <string>

namespace qrticket::ui {

// True when a window system can be reached: QT_QPA_PLATFORM names a platform other than xcb
// (offscreen, vnc, ...), or the X server in DISPLAY accepts a connection.
bool WindowSystemReachable();

// What the operator reads instead of a window: that one is needed, and how to print without,
// with `cliCommand` (see cli_command.h) as the command to run.
std::string NoDisplayMessage(const std::string& cliCommand);

}  // namespace qrticket::ui
