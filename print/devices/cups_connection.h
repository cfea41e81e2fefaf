// A connection to the CUPS scheduler that libcups is set up for (CUPS_SERVER, client.conf,
// or the local one), with every wait bounded: an interactive tool never waits for ever.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "devices/cups_library.h"

namespace qrticket::cups {

// The scheduler as libcups names it, "localhost:631" or a socket path, for messages.
std::string ServerName();

class Connection final {
 public:
  // Connects within `connect`. Afterwards a request fails once the scheduler has been silent
  // for `silence`. Nothing ever asks for a password (a request that needs one fails). Returns
  // nullptr when no scheduler answers (libcups gives no useful reason: a refused connection
  // reads "Host is down").
  static std::unique_ptr<Connection> Open(std::chrono::milliseconds connect,
                                          std::chrono::milliseconds silence);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  http_t* http() const { return http_; }

 private:
  explicit Connection(http_t* http) : http_(http) {}
  http_t* http_;
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
// Sends `request` and returns the response, nullptr when there is none (a silent scheduler).
Ipp Send(const Connection& connection, Ipp request);

// The first value of an attribute; the fallback when the response does not have it.
std::string Text(ipp_t* response, const char* name);
int Integer(ipp_t* response, const char* name, int fallback);

}  // namespace qrticket::cups
