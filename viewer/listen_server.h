// The virtual printer on the network: serves every connection at once, each in a thread of its
// own, draws the job as its bytes arrive and writes one PNG per connection that sent something.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "listen_socket.h"
#include "render_ticket.h"
#include "status_responder.h"

namespace qrticket::viewer {

struct ListenOptions {
  std::string address = "127.0.0.1";
  int port = 9100;  // 0: any free port (see ListenServer::port())
  std::filesystem::path outDir;
  RenderOptions render;  // render.maxInputBytes bounds each job
  // A sender silent this long has finished (or died); its job is drawn with what came.
  std::chrono::milliseconds idleTimeout{10000};
  // Connections served at once; more wait in the system's queue until one ends.
  int maxConnections = 32;
  // What the printer answers to status requests (DLE EOT, GS I).
  SimulatedState simulate = SimulatedState::Ready;
};

struct ListenJob {
  int number = 0;    // 0 for a connection that left no picture (nothing sent, or status only)
  std::string peer;  // "127.0.0.1:54321", "[::1]:54321"
  std::uint64_t bytes = 0;
  std::filesystem::path png;
  std::vector<std::string> report;
  // The connection only asked for status: nothing was drawn, `png` is empty.
  bool statusOnly = false;
};

class ListenServer {
 public:
  // Binds and listens at once, so port() and address() are known before Run(). Throws
  // ListenError.
  explicit ListenServer(ListenOptions options);
  ~ListenServer();
  ListenServer(const ListenServer&) = delete;
  ListenServer& operator=(const ListenServer&) = delete;

  int port() const { return socket_.port(); }
  // Where it listens, as "127.0.0.1:9100" or "[::1]:9100": what follows tcp:// for qrticket.
  const std::string& address() const { return socket_.address(); }

  // Serves connections until Stop(), then waits for the ones under way (they draw what came).
  // `onJob` is called once per connection, after its PNG is written, one call at a time.
  // Throws ListenError when a PNG cannot be written.
  void Run(const std::function<void(const ListenJob&)>& onJob);

  // Ends Run() soon, from any thread or a signal handler.
  void Stop() noexcept { socket_.Stop(); }

 private:
  struct Received {
    std::uint64_t bytes = 0;
    std::vector<std::string> notes;
  };
  // Reads one connection to its end, answering status requests and drawing as the bytes come.
  Received ReadConnection(Connection& connection, TicketRenderer& renderer,
                          StatusResponder& responder);
  void Serve(std::unique_ptr<Connection> connection,
             const std::function<void(const ListenJob&)>& onJob);

  ListenOptions options_;
  ListenSocket socket_;

  std::mutex mutex_;  // guards what follows
  std::condition_variable changed_;
  int active_ = 0;
  int jobs_ = 0;
  int nextFile_ = 1;
  std::string error_;  // the first PNG that could not be written
};

}  // namespace qrticket::viewer
