// The bench page's HTTP server (cpp-httplib): the page and its two files, the receipts as JSON,
// an event stream of new receipts, each receipt's picture and bytes, and a POST that empties
// the list. Nothing else: other paths are 404, other methods 405, and everything a job brought
// reaches the page escaped (receipt_json) and goes in as text (page/bancada.js).
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "receipt_store.h"

namespace qrticket::viewer::web {

struct WebOptions {
  std::string address = "127.0.0.1";
  int port = 0;  // 0: any free one
  // Pages following the event stream at once; one more is answered 503 (its page retries).
  int maxPageClients = 8;
  // An idle stream gets a comment line this often, so a gone page is noticed.
  std::chrono::milliseconds keepAlive{15000};
};

// 127.0.0.0/8, ::1 (bracketed or not) and localhost: names that reach this machine only.
bool IsLoopbackHost(std::string_view host);

class WebServer {
 public:
  // Binds at once and serves from a thread of its own. Throws ListenError.
  WebServer(WebOptions options, ReceiptStore& store);
  ~WebServer();  // Stop()
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  // "http://127.0.0.1:8080/", "http://[::1]:8080/".
  const std::string& url() const;
  int port() const;
  // Ends the event streams and the server, and waits for its threads.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qrticket::viewer::web
