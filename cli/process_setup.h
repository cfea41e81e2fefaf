// What the command line needs from its platform before it parses and prints anything.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qrticket::cli {

// What the process was started with, as PrepareProcess found it.
struct ProcessStart {
  bool standardOutputClosed = false;  // "-" then has nowhere to write the ticket
};

// Prepares the process: a printer that hangs up must fail the job, not kill the process
// (POSIX: SIGPIPE ignored); the console shows the UTF-8 messages as such (Windows). POSIX:
// standard input, output and error that were closed are opened on /dev/null first, so that no
// descriptor the program opens later (the signal pipe, a device) takes their numbers and gets
// the ticket or the text meant for them.
ProcessStart PrepareProcess();

// The arguments after the program name, in UTF-8. Windows hands them over in UTF-16 and would
// otherwise turn "€" into the ANSI code page or "?".
std::vector<std::string> Arguments(int argc, char** argv);

// Standard output and standard error, for UTF-8 text. POSIX: std::cout and std::cerr. Windows:
// WriteConsoleW to a console, UTF-8 bytes to a pipe or a file (see devices/win/console_text.h).
std::ostream& StandardOutput();
std::ostream& StandardError();

}  // namespace qrticket::cli
