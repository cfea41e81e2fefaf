// The command line's process on Linux and other POSIX systems.
#include "process_setup.h"

#include <csignal>
#include <iostream>

namespace qrticket::cli {

void PrepareProcess() { std::signal(SIGPIPE, SIG_IGN); }

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::ostream& StandardOutput() { return std::cout; }
std::ostream& StandardError() { return std::cerr; }

}  // namespace qrticket::cli
