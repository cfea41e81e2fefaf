// The qrticket-view command line, parsed into options a test can build by hand.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qrticket::viewer::cli {

// Exit codes, listed once.
enum ExitCode : int {
  kExitOk = 0,       // the picture was written, --help / --version, or --listen was stopped
  kExitFailed = 1,   // the input could not be read, the PNG not written, or the port not opened
  kExitUsage = 2,    // the command line was not usable
};

// Whether this platform has the serial printer (--serial); the help names it only where it does.
extern const bool kHasSerialPrinter;

struct ViewOptions {
  bool listen = false;
  // --serial SETTINGS: a serial printer on a pseudo-terminal, at these settings ("19200",
  // "9600,n,8,1"), drawing into `outDir`.
  bool serial = false;
  std::string serialSettings;
  // Drawing one stream: FILE or "-" (standard input) to `output`.
  std::string input;
  std::string output;
  int paperWidth = 576;
  // --code-table N: the code table (ESC t's number) the printer is at before any ESC t.
  int codeTable = 0;
  // --dpi: the printer's density the report measures QR symbols at, in mm (the drawing stays
  // in dots): 180, 203 or 300.
  int dpi = 203;
  // Network printer: address and port to listen on, folder for the pictures.
  std::string address = "127.0.0.1";
  int port = 9100;
  std::string outDir;
  // The state the network (or serial) printer reports when asked (DLE EOT, GS I): "ready" or one of the
  // --simulate names.
  std::string simulate = "ready";
  // --web [ADDR:]PORT (with --listen): the receipt bench's page; `outDir` may then be empty.
  bool web = false;
  std::string webAddress = "127.0.0.1";
  int webPort = 0;
};

struct ParseResult {
  std::optional<ViewOptions> options;
  int exitCode = kExitOk;
  std::string out;
  std::string err;
};

ParseResult ParseViewCommandLine(const std::vector<std::string>& args);

// "[ADDR:]PORT", "[::1]:9100" for IPv6; nullopt when the port is not 0..65535.
std::optional<std::pair<std::string, int>> ParseListenAddress(const std::string& text);

}  // namespace qrticket::viewer::cli
