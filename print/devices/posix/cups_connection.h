// A connection to the CUPS scheduler that libcups is set up for (CUPS_SERVER, client.conf,
// or the local one), with every wait bounded: an interactive tool never waits for ever.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "devices/posix/cups_library.h"

namespace qrticket::cups {

using Clock = std::chrono::steady_clock;

// The scheduler as libcups names it, "localhost:631" or a socket path, for messages.
std::string ServerName();

class Connection final {
 public:
  // Connects within `connect`, or until `cancelFd` (when 0 or more) is readable. Nothing ever
  // asks for a password (a request that needs one fails). Returns nullptr when no scheduler
  // answers (libcups gives no useful reason: a refused connection reads "Host is down") or the
  // cancel came first (see cancelled()).
  static std::unique_ptr<Connection> Open(std::chrono::milliseconds connect, int cancelFd = -1,
                                          bool* cancelled = nullptr);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  http_t* http() const { return http_; }

  // Why the last bounded request gave up, if it did.
  enum class Stop { None, Deadline, Cancelled };
  Stop stopped() const { return stop_.load(); }

  // While one lives, every request on the connection ends by `deadline` whatever the
  // scheduler does (silent, or sending a byte now and then), and within a tenth of a second
  // once the cancel descriptor is readable. libcups bounds each wait, not a whole request, so
  // a watcher thread also shuts the connection down at the deadline or the cancel.
  class Bound final {
   public:
    Bound(Connection& connection, Clock::time_point deadline);
    ~Bound();
    Bound(const Bound&) = delete;
    Bound& operator=(const Bound&) = delete;

   private:
    Connection& connection_;
    int wake_[2] = {-1, -1};
    struct Watcher;
    std::unique_ptr<Watcher> watcher_;
  };

 private:
  Connection(http_t* http, int cancelFd);
  static int KeepWaiting(http_t* http, void* data);

  http_t* http_;
  int cancelFd_;
  std::atomic<Clock::rep> deadline_;
  std::atomic<Stop> stop_{Stop::None};
};

struct IppDeleter {
  void operator()(ipp_t* ipp) const { Api().ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;

// "ipp://localhost/printers/QUEUE" and "ipp://localhost/jobs/N", as CUPS's own tools write
// them; the scheduler goes by the path.
std::string QueueUri(const std::string& queue);
std::string JobUri(int job);

// A request for `operation` with the target URI (none when `uriName` is null) and the user
// name filled in.
Ipp NewRequest(ipp_op_t operation, const char* uriName, const std::string& uri);
// Sends `request` and returns the response, nullptr when there is none (a silent scheduler, a
// bound that ran out).
Ipp Send(const Connection& connection, Ipp request);

// The first value of an attribute; the fallback when the response does not have it.
std::string Text(ipp_t* response, const char* name);
int Integer(ipp_t* response, const char* name, int fallback);
// Every keyword of a multi-valued attribute but "none", joined by ", ".
std::string Keywords(ipp_t* response, const char* name);

}  // namespace qrticket::cups
