// TCP server for qrticket-view --listen: poll() on each socket and a self-pipe, so a signal or
// Stop() ends every wait at once; every read is bounded in size and in time, and each
// connection has its own thread, so a silent sender holds up no one else.
#include "listen_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

#include "png_writer.h"
#include "render_report.h"

namespace qrticket::viewer {
namespace {

// "host:port", with the host in brackets when it is IPv6: what tcp:// takes.
std::string Endpoint(const sockaddr_storage& address, socklen_t length) {
  char host[NI_MAXHOST] = "?", port[NI_MAXSERV] = "?";
  getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, port,
              sizeof port, NI_NUMERICHOST | NI_NUMERICSERV);
  // Appended piece by piece: GCC 12 warns (-Wrestrict, wrongly) on "[" + std::string(...).
  const bool ipv6 = address.ss_family == AF_INET6;
  std::string endpoint;
  if (ipv6) endpoint += '[';
  endpoint += host;
  if (ipv6) endpoint += ']';
  endpoint += ':';
  endpoint += port;
  return endpoint;
}

void CloseQuietly(int& fd) {
  if (fd >= 0) ::close(fd);  // never retried: the descriptor is gone either way
  fd = -1;
}

// Writes `bytes` to the sender within a second; what it does not take is dropped.
void SendBack(int connection, BytesView bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    pollfd out{connection, POLLOUT, 0};
    if (::poll(&out, 1, 1000) <= 0) return;
    const ssize_t n = ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

void WriteReport(const std::filesystem::path& png, const std::vector<std::string>& lines) {
  std::ofstream out(std::filesystem::path(png).replace_extension(".txt"));
  for (const auto& line : lines) out << line << '\n';
}

}  // namespace

ListenServer::ListenServer(ListenOptions options) : options_(std::move(options)) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(options_.port);
  if (getaddrinfo(options_.address.c_str(), service.c_str(), &hints, &found) != 0 || !found) {
    throw ListenError(say::ListenBadAddress(options_.address));
  }
  int error = 0;
  for (addrinfo* a = found; a && listenFd_ < 0; a = a->ai_next) {
    int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      error = errno;
      continue;
    }
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 64) == 0) {
      listenFd_ = fd;
    } else {
      error = errno;
      CloseQuietly(fd);
    }
  }
  freeaddrinfo(found);
  if (listenFd_ < 0) {
    throw ListenError(say::ListenFailed(options_.address, options_.port, say::SystemError(error)));
  }
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                            : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  address_ = Endpoint(bound, length);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    const int pipeError = errno;
    CloseQuietly(listenFd_);
    throw ListenError(say::ListenFailed(options_.address, options_.port, say::SystemError(pipeError)));
  }
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
}

ListenServer::~ListenServer() {
  CloseQuietly(listenFd_);
  CloseQuietly(wakeRead_);
  CloseQuietly(wakeWrite_);
}

void ListenServer::Stop() noexcept {
  const char byte = 1;
  [[maybe_unused]] const auto ignored = ::write(wakeWrite_, &byte, 1);
}

void ListenServer::Run(const std::function<void(const ListenJob&)>& onJob) {
  for (;;) {
    {
      // At the limit, wait for a connection to end (or for Stop) before taking another.
      std::unique_lock lock(mutex_);
      changed_.wait_for(lock, std::chrono::milliseconds(200),
                        [&] { return active_ < options_.maxConnections || !error_.empty(); });
      if (!error_.empty()) break;
      if (active_ >= options_.maxConnections) {
        pollfd wake{wakeRead_, POLLIN, 0};
        if (::poll(&wake, 1, 0) > 0) break;
        continue;
      }
    }
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, 200) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents) break;
    {
      std::lock_guard lock(mutex_);
      if (!error_.empty()) break;
    }
    if (!(fds[0].revents & POLLIN)) continue;
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    const int connection =
        ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &peerLength, SOCK_CLOEXEC);
    if (connection < 0) continue;  // the peer left before we took it; wait for the next
    {
      std::lock_guard lock(mutex_);
      ++active_;
    }
    std::thread([this, connection, name = Endpoint(peer, peerLength), &onJob] {
      std::string failure;
      try {
        Serve(connection, name, onJob);
      } catch (const std::bad_alloc&) {
        failure = say::OutOfMemory();
      } catch (const std::exception&) {
        failure = say::JobFailed();
      }
      std::lock_guard lock(mutex_);
      if (!failure.empty() && error_.empty()) error_ = failure;
      --active_;
      changed_.notify_all();
    }).detach();
  }
  // Stop() wakes every connection too: each draws what came and ends.
  Stop();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return active_ == 0; });
  if (!error_.empty()) throw ListenError(error_);
}

// The one place a connection is read: each piece goes to the status responder (which answers
// DLE EOT and GS I at once), then to the drawing. Ends when the sender closes, stays silent for
// the idle time, sends more than a job may hold, or Stop() is called.
ListenServer::Received ListenServer::ReadConnection(int connection, TicketRenderer& renderer,
                                                   StatusResponder& responder) {
  Received got;
  char buffer[16384];
  for (;;) {
    pollfd fds[2] = {{connection, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, static_cast<int>(options_.idleTimeout.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return got;
    if (fds[1].revents) {
      if (got.bytes > 0) got.notes.push_back(say::ListenStoppedDuringJob());
      return got;
    }
    if (ready == 0) {
      if (got.bytes > 0) got.notes.push_back(say::ListenIdle(options_.idleTimeout.count()));
      return got;
    }
    const ssize_t n = ::read(connection, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return got;  // the sender closed (or reset): the job is complete
    const BytesView piece(buffer, static_cast<std::size_t>(n));
    got.bytes += piece.size();
    SendBack(connection, responder.Feed(piece));
    if (!renderer.Feed(piece)) return got;  // past the job's bound: the report says so
  }
}

void ListenServer::Serve(int connection, std::string peer,
                         const std::function<void(const ListenJob&)>& onJob) {
  TicketRenderer renderer(options_.render);
  StatusResponder responder(options_.simulate);
  Received got = ReadConnection(connection, renderer, responder);
  CloseQuietly(connection);

  ListenJob job;
  job.peer = std::move(peer);
  job.bytes = got.bytes;
  const auto answered = responder.Notes();
  got.notes.insert(got.notes.end(), answered.begin(), answered.end());
  if (got.bytes == 0 || responder.OnlyRequests()) {  // no ticket: nothing to draw
    job.statusOnly = got.bytes > 0;
    job.report = got.bytes > 0 ? std::move(got.notes)
                               : std::vector<std::string>{say::ListenEmpty()};
    std::lock_guard lock(mutex_);
    onJob(job);
    return;
  }
  RenderedTicket ticket = renderer.Finish();
  job.report = std::move(got.notes);
  job.report.insert(job.report.end(), ticket.report.begin(), ticket.report.end());

  // The picture is made outside the lock: another job's drawing waits for no one.
  std::vector<std::uint8_t> png;
  std::string failure;
  try {
    png = EncodePng(ticket.width, ticket.height, ticket.pixels);
  } catch (const PngError& e) {
    failure = e.what();
  }
  ticket = RenderedTicket();  // the raster is in the PNG now

  std::lock_guard lock(mutex_);
  if (failure.empty()) {
    job.number = ++jobs_;
    job.png = NextPngPath();
    try {
      SavePng(png, job.png);
    } catch (const PngError& e) {
      failure = e.what();
    }
  }
  if (!failure.empty()) {
    if (error_.empty()) error_ = failure;
    changed_.notify_all();
    Stop();
    return;
  }
  WriteReport(job.png, job.report);
  onJob(job);
}

std::filesystem::path ListenServer::NextPngPath() {
  std::error_code ec;
  for (;; ++nextFile_) {
    char name[32];
    std::snprintf(name, sizeof name, "ticket-%04d.png", nextFile_);
    auto path = options_.outDir / name;
    if (!std::filesystem::exists(path, ec)) {
      ++nextFile_;
      return path;
    }
  }
}

}  // namespace qrticket::viewer
