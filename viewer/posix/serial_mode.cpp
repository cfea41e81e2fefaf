// qrticket-view --serial on POSIX: a pseudo-terminal as the printer's serial line.
#include "serial_mode.h"

#include <csignal>
#include <iostream>

#include "job_lines.h"
#include "render_report.h"
#include "posix/serial_printer.h"
#include "status_responder.h"
#include "utf8_path.h"

namespace qrticket::viewer::cli {
namespace {

SerialPrinter* g_printer = nullptr;

extern "C" void StopPrinterOnSignal(int) {
  if (g_printer) g_printer->Stop();
}

// While it lives, Ctrl+C and SIGTERM stop the printer; the job under way is drawn.
class StopPrinterOnInterrupt {
 public:
  explicit StopPrinterOnInterrupt(SerialPrinter& printer) {
    g_printer = &printer;
    Handle(StopPrinterOnSignal);
  }
  ~StopPrinterOnInterrupt() {
    Handle(SIG_DFL);
    g_printer = nullptr;
  }
  StopPrinterOnInterrupt(const StopPrinterOnInterrupt&) = delete;
  StopPrinterOnInterrupt& operator=(const StopPrinterOnInterrupt&) = delete;

 private:
  static void Handle(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
  }
};

}  // namespace

int RunSerialPrinter(const ViewOptions& options) {
  SerialPrinterOptions serial;
  serial.settings = *ParseSerialSettings(options.serialSettings).settings;
  serial.outDir = PathFromUtf8(options.outDir);
  serial.render.paperWidth = options.paperWidth;
  serial.render.codeTable = options.codeTable;
  serial.render.dpi = options.dpi;
  serial.simulate = SimulatedStateNamed(options.simulate).value_or(SimulatedState::Ready);
  try {
    std::error_code ec;
    std::filesystem::create_directories(serial.outDir, ec);
    SerialPrinter printer(serial);
    const StopPrinterOnInterrupt interrupt(printer);
    std::cout << say::SerialListening(printer.path(), options.serialSettings) << std::endl;
    printer.Run([](const ListenJob& job) { PrintJobLines(std::cout, job); });
  } catch (const std::exception& e) {
    std::cerr << "qrticket-view: " << e.what() << '\n';
    return kExitFailed;
  }
  std::cout << say::ListenStopped() << std::endl;
  return kExitOk;
}

}  // namespace qrticket::viewer::cli
