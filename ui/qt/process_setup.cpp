// The desktop program's process on Linux and other POSIX systems.
#include "process_setup.h"

#include <csignal>

namespace qrticket::ui {

void PrepareProcess() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace qrticket::ui
