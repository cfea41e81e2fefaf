// A plain HTTP/1.1 exchange over a loopback socket, written byte for byte by the test: hostile
// requests (raw paths, huge headers, odd methods) go out exactly as written, which no HTTP
// client library would send.
#pragma once

#include <chrono>
#include <string>

namespace qrticket::testing {

struct HttpAnswer {
  int status = 0;  // 0: no answer (refused, closed, timed out)
  std::string head;
  std::string body;  // as sent (chunked bodies are not unchunked)
};

// Sends `request` to 127.0.0.1:port and reads until the server closes or `bound` passes.
HttpAnswer HttpExchange(int port, const std::string& request,
                        std::chrono::milliseconds bound = std::chrono::seconds(5));

// "GET path HTTP/1.1" with Host 127.0.0.1:port and Connection: close.
HttpAnswer HttpGet(int port, const std::string& path);

// An open event stream (GET /api/events) read a little at a time.
class EventStream {
 public:
  explicit EventStream(int port);
  ~EventStream();
  EventStream(const EventStream&) = delete;
  EventStream& operator=(const EventStream&) = delete;

  bool connected() const { return fd_ >= 0; }
  // Everything received until `text` shows up, or until `bound` passes ("" then).
  std::string ReadUntil(const std::string& text, std::chrono::milliseconds bound);
  // What the server answered first ("HTTP/1.1 200 OK" ...), after ReadUntil saw it.
  const std::string& received() const { return received_; }

 private:
  int fd_ = -1;
  std::string received_;
};

}  // namespace qrticket::testing
