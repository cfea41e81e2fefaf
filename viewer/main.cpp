// qrticket-view: the virtual printer's command line. Draws one stream to a PNG as it is read,
// or listens on the network (or on a serial line) and draws one PNG per job until Ctrl+C (or
// SIGTERM); with --web, also shows the jobs on a page (the receipt bench).
#include <iostream>
#include <memory>

#include "job_lines.h"
#include "listen_server.h"
#include "png_writer.h"
#include "render_report.h"
#include "render_ticket.h"
#include "serial_mode.h"
#include "utf8_path.h"
#include "view_options.h"
#include "view_process.h"
#include "web/web_bench.h"
#include "web/web_texts.h"

namespace {

using namespace qrticket::viewer;
namespace vcli = qrticket::viewer::cli;

int DrawOne(const vcli::ViewOptions& options) {
  RenderOptions render;
  render.paperWidth = options.paperWidth;
  render.codeTable = options.codeTable;
  render.dpi = options.dpi;
  TicketRenderer renderer(render);
  if (const std::string failure = vcli::DrawInput(options.input, renderer); !failure.empty()) {
    std::cerr << "qrticket-view: " << failure << '\n';
    return vcli::kExitFailed;
  }
  const RenderedTicket ticket = renderer.Finish();
  for (const auto& line : ticket.report) std::cout << line << '\n';
  try {
    WritePng(ticket, PathFromUtf8(options.output));
  } catch (const PngError& e) {
    std::cerr << "qrticket-view: " << e.what() << '\n';
    return vcli::kExitFailed;
  }
  return vcli::kExitOk;
}

int Listen(const vcli::ViewOptions& options) {
  ListenOptions listen;
  listen.address = options.address;
  listen.port = options.port;
  listen.outDir = PathFromUtf8(options.outDir);
  listen.render.paperWidth = options.paperWidth;
  listen.render.codeTable = options.codeTable;
  listen.render.dpi = options.dpi;
  listen.simulate = SimulatedStateNamed(options.simulate).value_or(SimulatedState::Ready);
  try {
    std::error_code ec;
    if (!listen.outDir.empty()) std::filesystem::create_directories(listen.outDir, ec);
    // Made first, so that it outlives the listener whose jobs it takes.
    std::unique_ptr<web::WebBench> bench;
    if (options.web) {
      web::WebOptions page;
      page.address = options.webAddress;
      page.port = options.webPort;
      bench = std::make_unique<web::WebBench>(page, listen.outDir);
      listen.outDir = bench->folder();
      listen.keepBytes = true;
    }
    ListenServer server(listen);
    const vcli::StopOnInterrupt interrupt(server);
    std::cout << say::ListenListening(server.address()) << std::endl;
    if (bench) {
      std::cout << web::say::WebPageLine(bench->url()) << std::endl;
      if (!web::IsLoopbackHost(options.webAddress))
        std::cerr << web::say::WebNoPassword(bench->url()) << std::endl;
    }
    server.Run([&bench](const ListenJob& job) {
      PrintJobLines(std::cout, job);
      if (bench) bench->Take(job);
    });
  } catch (const std::exception& e) {
    std::cerr << "qrticket-view: " << e.what() << '\n';
    return vcli::kExitFailed;
  }
  std::cout << say::ListenStopped() << std::endl;
  return vcli::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  vcli::PrepareViewProcess();
  const auto parsed = vcli::ParseViewCommandLine(vcli::ViewArguments(argc, argv));
  std::cout << parsed.out;
  std::cerr << parsed.err;
  if (!parsed.options) return parsed.exitCode;
  try {
    if (parsed.options->serial) return vcli::RunSerialPrinter(*parsed.options);
    return parsed.options->listen ? Listen(*parsed.options) : DrawOne(*parsed.options);
  } catch (const std::bad_alloc&) {
    // The raster and the held command are bounded, but the machine may have less.
    std::cerr << "qrticket-view: " << say::OutOfMemory() << '\n';
    return vcli::kExitFailed;
  }
}
