// qrticket-view: the virtual printer's command line. Draws one stream to a PNG, or listens on
// the network and draws one PNG per connection until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "listen_server.h"
#include "png_writer.h"
#include "render_ticket.h"
#include "view_options.h"

namespace {

using namespace qrticket::viewer;
namespace vcli = qrticket::viewer::cli;

// Streams longer than this are cut: a file mistaken for a ticket must not exhaust memory.
constexpr std::size_t kMaxInputBytes = 16 * 1024 * 1024;

ListenServer* g_server = nullptr;

extern "C" void StopOnSignal(int) {
  if (g_server) g_server->Stop();
}

int DrawOne(const vcli::ViewOptions& options) {
  std::ifstream file;
  std::istream* in = &std::cin;
  if (options.input != "-") {
    file.open(options.input, std::ios::binary);
    if (!file) {
      std::cerr << "qrticket-view: não foi possível ler '" << options.input << "'\n";
      return vcli::kExitFailed;
    }
    in = &file;
  }
  std::string data;
  char buffer[65536];
  while (data.size() < kMaxInputBytes && in->read(buffer, sizeof buffer).gcount() > 0) {
    data.append(buffer, static_cast<std::size_t>(in->gcount()));
  }
  if (data.size() > kMaxInputBytes) data.resize(kMaxInputBytes);

  RenderOptions render;
  render.paperWidth = options.paperWidth;
  const RenderedTicket ticket = RenderTicket(data, render);
  for (const auto& line : ticket.report) std::cout << line << '\n';
  try {
    WritePng(ticket, options.output);
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
  listen.outDir = options.outDir;
  listen.render.paperWidth = options.paperWidth;
  listen.simulate = SimulatedStateNamed(options.simulate).value_or(SimulatedState::Ready);
  try {
    std::filesystem::create_directories(listen.outDir);
    ListenServer server(listen);
    g_server = &server;
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::cout << "qrticket-view: a escutar em " << options.address << ":" << server.port()
              << std::endl;
    server.Run([](const ListenJob& job) {
      if (job.statusOnly)
        std::cout << "trabalho " << job.number << ": pedidos de estado de " << job.peer << '\n';
      else
        std::cout << "trabalho " << job.number << ": " << job.bytes << " bytes de " << job.peer
                  << " -> " << job.png.string() << '\n';
      for (const auto& line : job.report) std::cout << "  " << line << '\n';
      std::cout.flush();
    });
    g_server = nullptr;
  } catch (const std::exception& e) {
    g_server = nullptr;
    std::cerr << "qrticket-view: " << e.what() << '\n';
    return vcli::kExitFailed;
  }
  std::cout << "qrticket-view: parado" << std::endl;
  return vcli::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  const auto parsed = vcli::ParseViewCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  std::cout << parsed.out;
  std::cerr << parsed.err;
  if (!parsed.options) return parsed.exitCode;
  return parsed.options->listen ? Listen(*parsed.options) : DrawOne(*parsed.options);
}
