// The virtual printer on the network: serves every connection at once, each in a thread of its
// own, draws the job as its bytes arrive and writes one PNG per connection that sent something.
// The jobs' memory together is bounded, and slow senders cannot keep new connections out.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "listen_socket.h"
#include "memory_budget.h"
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
  // Connections served at once. When all are taken, a new one is served in place of the one
  // quiet longest (at least kQuietBeforeMakingWay): it is drawn with what came.
  int maxConnections = 32;
  // The memory the drawings of all connections may hold together; a job whose paper would pass
  // it waits up to idleTimeout for others to end, then draws no further (its report says so).
  std::uint64_t memoryCap = 256ull * 1024 * 1024;
  // What the printer answers to status requests (DLE EOT, GS I).
  SimulatedState simulate = SimulatedState::Ready;
  // Also keep each drawn job's bytes as they came, beside its picture (ticket-0001.bin), so
  // they can be downloaded again.
  bool keepBytes = false;
};

// How long a connection must have sent nothing before a new one may take its place.
inline constexpr std::chrono::milliseconds kQuietBeforeMakingWay{1000};

struct ListenJob {
  int number = 0;    // 0 for a connection that left no picture (nothing sent, or status only)
  std::string peer;  // "127.0.0.1:54321", "[::1]:54321"
  std::uint64_t bytes = 0;
  std::filesystem::path png;
  std::filesystem::path raw;  // the bytes as received (with keepBytes), else empty
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
  // One connection being served, as the accepting loop sees it.
  struct Slot {
    std::atomic<std::int64_t> lastBytesAt{0};  // steady clock, in milliseconds
    std::atomic<bool> makeWay{false};          // end now, a new connection waits
  };
  struct Received {
    std::uint64_t bytes = 0;
    std::vector<std::string> notes;
  };
  class RawCopy;
  // Reads one connection to its end, answering status requests and drawing as the bytes come
  // (and copying them into `raw` when it is open).
  Received ReadConnection(Connection& connection, TicketRenderer& renderer,
                          StatusResponder& responder, Slot& slot, RawCopy& raw);
  // At the limit: asks the connection quiet longest to end. False when none is quiet enough.
  bool MakeWay();
  void Serve(std::unique_ptr<Connection> connection,
             const std::function<void(const ListenJob&)>& onJob, Slot& slot);

  ListenOptions options_;
  ListenSocket socket_;
  MemoryBudget memory_;

  std::mutex mutex_;  // guards what follows
  std::condition_variable changed_;
  int active_ = 0;
  int jobs_ = 0;
  int nextFile_ = 1;
  int nextRawCopy_ = 1;
  std::string error_;  // the first PNG that could not be written
  std::list<std::shared_ptr<Slot>> slots_;
};

}  // namespace qrticket::viewer
