// The preview from the command line (see preview_command.h): the ticket is laid out in memory
// and the virtual printer draws it into the new folder.
#include "preview_command.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <utility>

#include "devices/device_failures.h"
#include "discovery/device_discovery.h"
#include "png_writer.h"
#include "print_command.h"
#include "render_ticket.h"
#include "symbols/probe_ticket.h"
#include "ticket/code_table_ticket.h"
#include "utf8_path.h"

namespace qrticket::cli {
namespace {

namespace fs = std::filesystem;
using viewer::Utf8FromPath;

// What the preview says, in one place.
namespace texts {
// `where`: "em /tmp", or "na pasta temporária" when the system could not say which it is.
std::string NoFolder(const std::string& where, std::string_view why) {
  return std::string(kFailurePrefix) + "Não foi possível criar uma pasta para " + kPreviewDevice +
         " " + where + " (" + std::string(why) + ")";
}
std::string PictureFailed(std::string_view why) {
  return std::string(kFailurePrefix) + kPreviewDevice + " não guardou a imagem: " +
         std::string(why);
}
std::string Drawn(const std::string& picture, const std::string& report) {
  return std::string(kPreviewDevice) + " talão desenhado pela impressora virtual, sem impressora:\n" +
         "  imagem: " + picture + "\n  relatório: " + report + "\n";
}
std::string NoStatus() {
  return std::string("Falha ao pedir o estado: ") + kPreviewDevice +
         " desenha o talão numa imagem e não tem estado; a impressora virtual responde a "
         "pedidos de estado em rede: qrticket-view --listen 9100 --out PASTA, e aqui "
         "--device tcp://127.0.0.1:9100";
}
}  // namespace texts

// "qrticket-visualizar-20261209-153012" in the temporary folder, or "...-2" and so on when a
// run in the same second took it. The local time, so that the operator finds it by its name.
fs::path NewFolder(std::error_code& error, std::string& where) {
  const fs::path base = fs::temp_directory_path(error);
  where = error ? std::string("na pasta temporária") : "em " + Utf8FromPath(base);
  if (error) return {};
  const std::time_t now = std::time(nullptr);
  char stamp[32] = "";
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
  const std::string name = std::string("qrticket-visualizar-") + stamp;
  for (int n = 1; n <= 100; ++n) {
    fs::path folder = base / (n == 1 ? name : name + "-" + std::to_string(n));
    if (fs::create_directory(folder, error)) return folder;
    if (error) return {};
  }
  error = std::make_error_code(std::errc::file_exists);
  return {};
}

// The ticket's bytes, or nullopt after reporting its failure.
struct Drawing {
  int exitCode = kExitOk;
  std::optional<Bytes> bytes;
  int paperDots = kPaper80mmDots;
};

Drawing TicketBytes(const CliOptions& options, std::ostream& err, int (*caughtSignal)()) {
  StreamReporter toErr(err);
  Drawing drawing;
  if (options.mode == Mode::PrintProbe) {
    drawing.paperDots = options.symbolModes.paperMm == 58 ? kPaper58mmDots : kPaper80mmDots;
    try {
      drawing.bytes = ProbeTicketBytes(options.settings, drawing.paperDots);
    } catch (const PrintFailure& failure) {
      toErr.ShowFailure(kFailurePrefix + failure.description());
      drawing.exitCode = kExitPrintFailed;
    }
    return drawing;
  }
  if (options.mode == Mode::PrintCodeTables) {
    drawing.bytes = CodeTableTicketBytes();
    return drawing;
  }
  LaidOutTicket ticket = QrTestBytes(options.settings, toErr);
  drawing.exitCode = ExitCodeFor(ticket.result, options.settings, err, caughtSignal);
  if (ticket.result.status != JobResult::Status::Failed) drawing.bytes = std::move(ticket.bytes);
  return drawing;
}

}  // namespace

bool WantsPreview(const CliOptions& options) {
  return ModeNeedsDevice(options.mode) && IsPreviewDeviceName(options.settings.deviceName);
}

int RunPreview(const CliOptions& options, std::ostream& out, std::ostream& err,
               int (*caughtSignal)()) {
  if (options.mode == Mode::AskStatus || options.mode == Mode::PrintTicketCheckingStatus) {
    err << texts::NoStatus() << '\n';
    return kExitPrintFailed;
  }
  std::error_code error;
  std::string where;
  const fs::path folder = NewFolder(error, where);
  if (error) {
    err << texts::NoFolder(where, failures::SystemErrorText(error.default_error_condition().value()))
        << '\n';
    return kExitPrintFailed;
  }
  Drawing drawing = TicketBytes(options, err, caughtSignal);
  if (!drawing.bytes) {
    fs::remove_all(folder, error);
    return drawing.exitCode;
  }
  viewer::RenderOptions render;
  render.paperWidth = drawing.paperDots;
  const viewer::RenderedTicket ticket = viewer::RenderTicket(*drawing.bytes, render);
  const fs::path picture = folder / "talao.png", report = folder / "talao.txt";
  try {
    viewer::WritePng(ticket, picture);
  } catch (const viewer::PngError& e) {
    err << texts::PictureFailed(e.what()) << '\n';
    fs::remove_all(folder, error);
    return kExitPrintFailed;
  }
  std::ofstream lines(report);  // text mode: CR LF on Windows, for Notepad
  for (const std::string& line : ticket.report) lines << line << '\n';
  out << texts::Drawn(Utf8FromPath(picture), Utf8FromPath(report));
  return drawing.exitCode;
}

}  // namespace qrticket::cli
