// qrticket-view's process on POSIX: file descriptors and signals.
#include "view_process.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "render_report.h"

namespace qrticket::viewer::cli {
namespace {

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
    if (!renderer.Feed(BytesView(buffer, static_cast<std::size_t>(n)))) {
      // Past the bound: a file's full size is known and goes into the report.
      struct stat info {};
      if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        renderer.SetInputSize(static_cast<std::uint64_t>(info.st_size));
      }
      return 0;
    }
  }
}

}  // namespace

void PrepareViewProcess() { std::signal(SIGPIPE, SIG_IGN); }

std::vector<std::string> ViewArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::string DrawInput(const std::string& input, TicketRenderer& renderer) {
  const bool standardInput = input == "-";
  const int fd = standardInput ? STDIN_FILENO : ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return say::ReadFailed(input, errno);
  const int error = DrawFrom(fd, renderer);
  if (!standardInput) ::close(fd);
  return error != 0 ? say::ReadFailed(input, error) : std::string();
}

StopOnInterrupt::StopOnInterrupt(ListenServer& server) {
  g_server = &server;
  struct sigaction action {};
  action.sa_handler = StopOnSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

StopOnInterrupt::~StopOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  g_server = nullptr;
}

}  // namespace qrticket::viewer::cli
