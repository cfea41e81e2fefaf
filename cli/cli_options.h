// The qrticket command line: parsed into options that a test can build by hand.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "devices/output_device.h"
#include "symbol_modes.h"
#include "ticket/qr_print_settings.h"

namespace qrticket::cli {

// Exit codes, listed once.
enum ExitCode : int {
  kExitOk = 0,                    // the ticket was delivered (or --help / --version);
                                  // --status: the printer is ready; --find-speed: found
  kExitPrintFailed = 1,           // the job failed ("Falha na impressão:..." on stderr), or
                                  // memory ran out; --status: the printer reports a problem,
                                  // did not answer or cannot answer; --find-speed: no
                                  // settings answered
  kExitUsage = 2,                 // the command line or the text file was not usable
  kExitPrintedWithoutSymbol = 3,  // delivered without a symbol: the printer draws none for
                                  // the settings, or the QR builder failed and its description
                                  // was printed in its place; a warning went to stderr
  kExitSignalBase = 128,          // + the signal that stopped the job: 129 SIGHUP, 130 SIGINT
                                  // (Ctrl+C), 143 SIGTERM
};

// What the command was asked to do: one value here and one case in main per mode.
enum class Mode {
  PrintTicket,                // print one test ticket on --device
  AskStatus,                  // --status: ask the printer, print nothing
  PrintTicketCheckingStatus,  // --check-status: ask before and after the ticket
  ListDevices,                // --list-devices: list this machine's devices, print nothing
  CheckSymbol,                // --check: the symbol the printer would draw, no device
  PrintProbe,                 // --probe: the limits ticket
  FindSpeed,                  // --find-speed: the settings a serial printer answers at
  PrintCodeTables,            // --code-tables: the code-table ticket
};

// Whether `mode` talks to a device, so that the command line must name one.
bool ModeNeedsDevice(Mode mode);

struct CliOptions {
  Mode mode = Mode::PrintTicket;
  QrPrintSettings settings;
  ChannelOptions channel;
  SymbolModeOptions symbolModes;  // --check, --probe and --paper
};

// Either options to act on, or an exit code and what to say before exiting (help text and
// version go to stdout, usage errors to stderr).
struct ParseResult {
  std::optional<CliOptions> options;
  int exitCode = kExitOk;
  std::string out;
  std::string err;
  bool interrupted = false;  // a signal stopped the reading of --text-file
};

// `cancelFd` (when 0 or more) ends the reading of --text-file early, and is handed on to the
// job in options.channel.cancelFd.
ParseResult ParseCommandLine(const std::vector<std::string>& args, int cancelFd = -1);

}  // namespace qrticket::cli
