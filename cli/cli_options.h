// The qrticket command line: parsed into options that a test can build by hand.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "output_device.h"
#include "qr_print_settings.h"
#include "status_flags.h"
#include "symbol_modes.h"

namespace qrticket::cli {

// Exit codes, listed once.
enum ExitCode : int {
  kExitOk = 0,          // the ticket was delivered (or --help / --version); --status: ready
  kExitPrintFailed = 1, // the job failed; "Falha na impressão:..." went to stderr; --status:
                        // the printer reports a problem, did not answer or cannot answer
  kExitUsage = 2,       // the command line or the text file was not usable
};

struct CliOptions {
  QrPrintSettings settings;
  ChannelOptions channel;
  StatusMode status = StatusMode::None;
  bool listDevices = false;  // --list-devices: list the devices instead of printing
  SymbolModeOptions symbolModes;  // --check, --probe
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
