// What the qrticket-view program needs of its platform, one file per platform
// (view_process.cpp for POSIX, win/view_process.cpp): the process set-up, the arguments, reading
// the input and stopping the network printer from the keyboard.
#pragma once

#include <string>
#include <vector>

#include "listen_server.h"
#include "render_ticket.h"

namespace qrticket::viewer::cli {

// POSIX: a reader that leaves never kills the program (SIGPIPE ignored). Windows: the console
// shows the UTF-8 messages as such.
void PrepareViewProcess();

// The arguments after the program's name, in UTF-8.
std::vector<std::string> ViewArguments(int argc, char** argv);

// Feeds `renderer` the bytes of `input` (a file, or "-" for standard input) to their end or to
// the renderer's bound (a file's whole size then goes into the report). Returns the failure's
// description, or an empty text.
std::string DrawInput(const std::string& input, TicketRenderer& renderer);

// While it lives, Ctrl+C (and SIGTERM on POSIX) stops `server`: the jobs under way are drawn
// with what came.
class StopOnInterrupt {
 public:
  explicit StopOnInterrupt(ListenServer& server);
  ~StopOnInterrupt();
  StopOnInterrupt(const StopOnInterrupt&) = delete;
  StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;
};

}  // namespace qrticket::viewer::cli
