// qrticket-view: the virtual printer's command line. Draws one stream to a PNG as it is read,
// or listens on the network and draws one PNG per connection until SIGINT or SIGTERM.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>

#include "listen_server.h"
#include "png_writer.h"
#include "render_report.h"
#include "render_ticket.h"
#include "view_options.h"

namespace {

using namespace qrticket::viewer;
namespace vcli = qrticket::viewer::cli;

ListenServer* g_server = nullptr;

extern "C" void StopOnSignal(int) {
  if (g_server) g_server->Stop();
}

// Reads `fd` to its end (or to the renderer's input bound) in pieces, drawing as it goes.
// Returns 0, or the errno of a failed read.
int DrawFrom(int fd, TicketRenderer& renderer) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    if (!renderer.Feed(qrticket::BytesView(buffer, static_cast<std::size_t>(n)))) {
      // Past the bound: a file's full size is known and goes into the report.
      struct stat info {};
      if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        renderer.SetInputSize(static_cast<std::uint64_t>(info.st_size));
      }
      return 0;
    }
  }
}

int DrawOne(const vcli::ViewOptions& options) {
  const bool standardInput = options.input == "-";
  const int fd = standardInput ? STDIN_FILENO : ::open(options.input.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::cerr << "qrticket-view: " << say::ReadFailed(options.input, errno) << '\n';
    return vcli::kExitFailed;
  }
  RenderOptions render;
  render.paperWidth = options.paperWidth;
  TicketRenderer renderer(render);
  const int error = DrawFrom(fd, renderer);
  if (!standardInput) ::close(fd);
  if (error != 0) {
    std::cerr << "qrticket-view: " << say::ReadFailed(options.input, error) << '\n';
    return vcli::kExitFailed;
  }
  const RenderedTicket ticket = renderer.Finish();
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
    std::error_code ec;
    std::filesystem::create_directories(listen.outDir, ec);
    ListenServer server(listen);
    g_server = &server;
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::cout << say::ListenListening(server.address()) << std::endl;
    server.Run([](const ListenJob& job) {
      if (job.statusOnly) {
        std::cout << say::ListenStatusLine(job.peer) << '\n';
        for (const auto& line : job.report) std::cout << "  " << line << '\n';
      } else if (job.number == 0) {
        std::cout << say::ListenEmptyLine(job.peer) << '\n';
      } else {
        std::cout << say::ListenJobLine(job.number, job.bytes, job.peer, job.png.string()) << '\n';
        for (const auto& line : job.report) std::cout << "  " << line << '\n';
      }
      std::cout.flush();
    });
    g_server = nullptr;
  } catch (const std::exception& e) {
    g_server = nullptr;
    std::cerr << "qrticket-view: " << e.what() << '\n';
    return vcli::kExitFailed;
  }
  std::cout << say::ListenStopped() << std::endl;
  return vcli::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  const auto parsed = vcli::ParseViewCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  std::cout << parsed.out;
  std::cerr << parsed.err;
  if (!parsed.options) return parsed.exitCode;
  try {
    return parsed.options->listen ? Listen(*parsed.options) : DrawOne(*parsed.options);
  } catch (const std::bad_alloc&) {
    // The raster and the held command are bounded, but the machine may have less.
    std::cerr << "qrticket-view: " << say::OutOfMemory() << '\n';
    return vcli::kExitFailed;
  }
}
