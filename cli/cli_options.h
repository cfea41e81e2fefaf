// The qrticket command line: parsed into options that a test can build by hand.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "output_device.h"
#include "qr_print_settings.h"

namespace qrticket::cli {

// Exit codes, listed once.
enum ExitCode : int {
  kExitOk = 0,          // the ticket was delivered (or --help / --version)
  kExitPrintFailed = 1, // the job failed; "Falha na impressão:..." went to stderr
  kExitUsage = 2,       // the command line or the text file was not usable
};

struct CliOptions {
  QrPrintSettings settings;
  ChannelOptions channel;
};

// Either options to print with, or an exit code and what to say before exiting (help text and
// version go to stdout, usage errors to stderr).
struct ParseResult {
  std::optional<CliOptions> options;
  int exitCode = kExitOk;
  std::string out;
  std::string err;
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);


}  // namespace qrticket::cli
