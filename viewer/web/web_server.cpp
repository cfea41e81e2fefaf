// The bench page's server. httplib serves each connection from a pool of threads; an event
// stream holds one for as long as its page is open, so the pool is sized for the bounded number
// of streams plus room for ordinary requests.
#include "web_server.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>
#include <thread>

#include "listen_socket.h"
#include "receipt_json.h"
#include "web_assets.h"
#include "web_texts.h"

namespace qrticket::viewer::web {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kText = "text/plain; charset=utf-8";
// The page's own files and nothing else: no inline script, no other origin.
constexpr const char* kPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
// A POST to empty the list has no body worth more than this.
constexpr std::size_t kMostRequestBody = 1024;
// An event stream looks for new events, its page and the server's end this often.
constexpr std::chrono::milliseconds kStreamSlice{500};
// Requests served beside the event streams.
constexpr int kOrdinaryThreads = 8;

// The host part of a Host header: "127.0.0.1:8080" -> "127.0.0.1", "[::1]:80" -> "[::1]".
std::string_view HostPart(std::string_view header) {
  if (!header.empty() && header.front() == '[') {
    const auto close = header.find(']');
    return close == std::string_view::npos ? header : header.substr(0, close + 1);
  }
  const auto colon = header.rfind(':');
  return colon == std::string_view::npos ? header : header.substr(0, colon);
}

std::string UrlOf(const std::string& address, int port) {
  const bool v6 = address.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port) + "/";
}

// One event of the stream: "event: receipt\ndata: {...}\n\n". The JSON holds no line breaks.
std::string StreamEvent(const StoreEvent& event) {
  if (event.kind == StoreEvent::Kind::Cleared) return "event: clear\ndata: {}\n\n";
  return "event: receipt\ndata: " + ReceiptJson(*event.receipt) + "\n\n";
}

void Refuse(httplib::Response& res, int status, const std::string& text) {
  res.status = status;
  res.set_content(text, kText);
}

}  // namespace

bool IsLoopbackHost(std::string_view host) {
  std::string lower(host);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "localhost" || lower == "::1" || lower == "[::1]") return true;
  // 127.x.y.z, written out in digits and dots.
  if (lower.rfind("127.", 0) != 0) return false;
  int dots = 0;
  for (const char c : lower) {
    if (c == '.') ++dots;
    else if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return dots == 3 && lower.back() != '.';
}

struct WebServer::Impl {
  WebOptions options;
  ReceiptStore& store;
  httplib::Server server;
  std::thread thread;
  std::string url;
  int port = 0;
  std::atomic<int> streams{0};
  std::atomic<bool> stopping{false};

  Impl(WebOptions o, ReceiptStore& s) : options(std::move(o)), store(s) {}

  // Refuses, before any route: a Host that is not this machine's when the page is for this
  // machine only (a page elsewhere that renamed its host to 127.0.0.1 must not read the
  // receipts), and every method other than GET (HEAD) but the one POST that empties the list.
  httplib::Server::HandlerResponse Screen(const httplib::Request& req, httplib::Response& res) {
    if (IsLoopbackHost(options.address) && req.has_header("Host") &&
        !IsLoopbackHost(HostPart(req.get_header_value("Host")))) {
      Refuse(res, 403, say::WebWrongHost());
      return httplib::Server::HandlerResponse::Handled;
    }
    const bool read = req.method == "GET" || req.method == "HEAD";
    const bool clear = req.method == "POST" && req.path == "/api/clear";
    if (!read && !clear) {
      Refuse(res, 405, "");
      res.set_header("Allow", "GET, HEAD");
      res.set_header("Connection", "close");  // its body, if any, is never read
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  }

  // The POST of the page's own button: a custom header (which another site's form cannot
  // send, and its script only after a preflight this server never grants) and, when the
  // browser names it, this page's own origin.
  void Clear(const httplib::Request& req, httplib::Response& res) {
    const std::string origin = req.get_header_value("Origin");
    if (req.get_header_value("X-Bancada") != "limpar" ||
        (!origin.empty() && origin != "http://" + req.get_header_value("Host"))) {
      Refuse(res, 403, say::WebClearRefused());
      return;
    }
    store.Clear();
    res.status = 204;
  }

  void Events(httplib::Response& res) {
    if (++streams > options.maxPageClients) {
      --streams;
      Refuse(res, 503, say::WebTooManyPages(options.maxPageClients));
      return;
    }
    struct Stream {
      std::uint64_t last;
      bool started = false;
      Clock::time_point wrote = Clock::now();
    };
    auto stream = std::make_shared<Stream>(Stream{store.LastSequence()});
    res.set_header("X-Accel-Buffering", "no");
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, stream](std::size_t, httplib::DataSink& sink) {
          if (!stream->started) {  // the page tries again this soon after a lost connection
            stream->started = true;
            const std::string hello = "retry: 3000\n\n";
            return sink.write(hello.data(), hello.size());
          }
          while (!stopping) {
            const ReceiptStore::Events got = store.After(stream->last, kStreamSlice);
            if (stopping) break;
            std::string text;
            if (got.missed) {
              text = "event: reload\ndata: {}\n\n";
            } else {
              for (const StoreEvent& event : got.events) text += StreamEvent(event);
            }
            stream->last = got.last;
            if (text.empty() && Clock::now() - stream->wrote >= options.keepAlive) text = ": \n\n";
            if (!text.empty()) {
              stream->wrote = Clock::now();
              return sink.write(text.data(), text.size());
            }
            if (!sink.is_writable()) return false;  // the page is gone
          }
          return false;
        },
        [this](bool) { --streams; });
  }

  void File(const httplib::Request& req, httplib::Response& res) {
    const std::string number = req.matches[1];
    const bool picture = req.matches[2] == "png";
    const ReceiptPointer receipt = store.Find(std::stoi(number));
    const std::filesystem::path path =
        receipt ? (picture ? receipt->picture : receipt->raw) : std::filesystem::path();
    auto file = std::make_shared<std::ifstream>();
    std::error_code ec;
    const auto size = path.empty() ? 0 : std::filesystem::file_size(path, ec);
    if (!path.empty() && !ec) file->open(path, std::ios::binary);
    if (!file->is_open()) {
      Refuse(res, 404, say::WebNotFound());
      return;
    }
    const std::string name = "talao-" + number + (picture ? ".png" : ".bin");
    res.set_header("Content-Disposition",
                   std::string(picture ? "inline" : "attachment") + "; filename=\"" + name + "\"");
    res.set_content_provider(
        static_cast<std::size_t>(size), picture ? "image/png" : "application/octet-stream",
        [file](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          char buffer[65536];
          file->seekg(static_cast<std::streamoff>(offset));
          file->read(buffer, static_cast<std::streamsize>(std::min(length, sizeof buffer)));
          const auto got = file->gcount();
          return got > 0 && sink.write(buffer, static_cast<std::size_t>(got));
        });
  }

  void Routes() {
    const auto page = [](std::string_view body, const char* type) {
      return [body, type](const httplib::Request&, httplib::Response& res) {
        res.set_content(body.data(), body.size(), type);
      };
    };
    server.Get("/", page(kPageHtml, "text/html; charset=utf-8"));
    server.Get("/bancada.css", page(kPageCss, "text/css; charset=utf-8"));
    server.Get("/bancada.js", page(kPageScript, "text/javascript; charset=utf-8"));
    server.Get("/api/receipts", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(ReceiptListJson(store.NewestFirst()), "application/json; charset=utf-8");
    });
    server.Get("/api/events", [this](const httplib::Request&, httplib::Response& res) {
      Events(res);
    });
    server.Get(R"(/recibos/([1-9][0-9]{0,8})\.(png|bin))",
               [this](const httplib::Request& req, httplib::Response& res) { File(req, res); });
    server.Post("/api/clear", [this](const httplib::Request& req, httplib::Response& res) {
      Clear(req, res);
    });
  }
};

WebServer::WebServer(WebOptions options, ReceiptStore& store)
    : impl_(std::make_unique<Impl>(std::move(options), store)) {
  Impl& self = *impl_;
  httplib::Server& server = self.server;
  const int threads = std::max(self.options.maxPageClients, 0) + kOrdinaryThreads;
  server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server.set_payload_max_length(kMostRequestBody);
  server.set_tcp_nodelay(true);  // an event goes out at once, not after the peer's ACK
  // A browser's idle connection holds a thread until this passes, and Ctrl+C waits for it.
  server.set_keep_alive_timeout(1);
  server.set_default_headers({{"Content-Security-Policy", kPolicy},
                              {"X-Content-Type-Options", "nosniff"},
                              {"Referrer-Policy", "no-referrer"},
                              {"Cache-Control", "no-store"}});
  server.set_pre_routing_handler([&self](const httplib::Request& req, httplib::Response& res) {
    return self.Screen(req, res);
  });
  server.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty() && res.status == 404) res.set_content(say::WebNotFound(), kText);
        return httplib::Server::HandlerResponse::Unhandled;
      }));
  self.Routes();

  const std::string& address = self.options.address;
  if (self.options.port == 0) {
    self.port = server.bind_to_any_port(address);
  } else if (server.bind_to_port(address, self.options.port)) {
    self.port = self.options.port;
  } else {
    self.port = -1;
  }
  if (self.port <= 0) throw ListenError(say::WebCannotListen(address, self.options.port));
  self.url = UrlOf(address, self.port);
  self.thread = std::thread([&server] { server.listen_after_bind(); });
}

WebServer::~WebServer() { Stop(); }

const std::string& WebServer::url() const { return impl_->url; }
int WebServer::port() const { return impl_->port; }

void WebServer::Stop() {
  Impl& self = *impl_;
  if (!self.thread.joinable()) return;
  self.stopping = true;
  self.store.WakeAll();
  // stop() does nothing before the thread has started listening.
  const auto bound = Clock::now() + std::chrono::seconds(5);
  while (!self.server.is_running() && Clock::now() < bound)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  self.server.stop();
  self.thread.join();
}

}  // namespace qrticket::viewer::web
