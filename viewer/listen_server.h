// The virtual printer on the network: accepts one connection at a time (as a raw-port printer
// does), reads the job until the sender closes, and draws it to one PNG per connection.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "render_ticket.h"
#include "status_responder.h"

namespace qrticket::viewer {

struct ListenOptions {
  std::string address = "127.0.0.1";
  int port = 9100;  // 0: any free port (see ListenServer::port())
  std::filesystem::path outDir;
  RenderOptions render;
  // A job longer than this is cut there: memory stays bounded whatever a sender does.
  std::size_t maxJobBytes = 4 * 1024 * 1024;
  // A sender silent this long has finished (or died); its job is drawn with what came.
  std::chrono::milliseconds idleTimeout{10000};
  // What the printer answers to status requests (DLE EOT, GS I).
  SimulatedState simulate = SimulatedState::Ready;
};

struct ListenJob {
  int number = 0;
  std::string peer;  // "127.0.0.1:54321"
  std::size_t bytes = 0;
  std::filesystem::path png;
  std::vector<std::string> report;
  // The connection only asked for status: nothing was drawn, `png` is empty.
  bool statusOnly = false;
};

// Raised with a Portuguese description when the server cannot start or a PNG cannot be saved.
class ListenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ListenServer {
 public:
  // Binds and listens at once, so port() is known before Run(). Throws ListenError.
  explicit ListenServer(ListenOptions options);
  ~ListenServer();
  ListenServer(const ListenServer&) = delete;
  ListenServer& operator=(const ListenServer&) = delete;

  int port() const { return port_; }

  // Serves jobs one after the other until Stop(); `onJob` is called after each PNG is written.
  // Throws ListenError when a PNG cannot be written.
  void Run(const std::function<void(const ListenJob&)>& onJob);

  // Ends Run() soon, from any thread or a signal handler (it only writes to a pipe).
  void Stop() noexcept;

 private:
  // Reads one connection; false when Stop() came while waiting.
  bool ReadJob(int connection, std::string& data, std::vector<std::string>& notes,
               StatusResponder& responder);
  std::filesystem::path NextPngPath();

  ListenOptions options_;
  int listenFd_ = -1;
  int wakeRead_ = -1, wakeWrite_ = -1;
  int port_ = 0;
  int jobs_ = 0;
};

}  // namespace qrticket::viewer
