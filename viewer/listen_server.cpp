// Loopback TCP server for qrticket-view --listen: poll() on the socket and a self-pipe, so a
// signal or Stop() ends every wait at once; every read is bounded in size and in time.
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

#include "png_writer.h"
#include "render_report.h"

namespace qrticket::viewer {
namespace {

std::string PeerName(const sockaddr_storage& address) {
  char host[NI_MAXHOST] = "?", port[NI_MAXSERV] = "?";
  getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host, sizeof host,
              port, sizeof port, NI_NUMERICHOST | NI_NUMERICSERV);
  return address.ss_family == AF_INET6 ? "[" + std::string(host) + "]:" + port
                                       : std::string(host) + ":" + port;
}

// Answers are a few bytes; a peer that does not take them has gone and loses them.
void SendAnswer(int connection, const std::string& answer) {
  std::size_t sent = 0;
  while (sent < answer.size()) {
    const ssize_t n = ::send(connection, answer.data() + sent, answer.size() - sent,
                             MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

void CloseQuietly(int& fd) {
  if (fd >= 0) ::close(fd);  // never retried: the descriptor is gone either way
  fd = -1;
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
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 8) == 0) {
      listenFd_ = fd;
    } else {
      error = errno;
      CloseQuietly(fd);
    }
  }
  freeaddrinfo(found);
  if (listenFd_ < 0) {
    throw ListenError(say::ListenFailed(options_.address, options_.port, std::strerror(error)));
  }
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.ss_family == AF_INET6
                    ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                    : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    CloseQuietly(listenFd_);
    throw ListenError(say::ListenFailed(options_.address, options_.port, std::strerror(errno)));
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
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents) return;
    if (!(fds[0].revents & POLLIN)) continue;
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    int connection =
        ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &peerLength, SOCK_CLOEXEC);
    if (connection < 0) continue;  // the peer left before we took it; wait for the next

    ListenJob job;
    job.number = ++jobs_;
    job.peer = PeerName(peer);
    std::string data;
    std::vector<std::string> notes;
    StatusResponder responder(options_.simulate);
    const bool keepGoing = ReadJob(connection, data, notes, responder);
    CloseQuietly(connection);
    const auto answered = responder.Notes();
    notes.insert(notes.end(), answered.begin(), answered.end());
    if (responder.OnlyRequests()) {  // a status check, not a ticket: nothing to draw
      job.bytes = data.size();
      job.report = std::move(notes);
      job.statusOnly = true;
      onJob(job);
      if (!keepGoing) return;
      continue;
    }

    RenderedTicket ticket = RenderTicket(data, options_.render);
    job.bytes = data.size();
    job.png = NextPngPath();
    job.report = std::move(notes);
    job.report.insert(job.report.end(), ticket.report.begin(), ticket.report.end());
    try {
      WritePng(ticket, job.png);
    } catch (const PngError& e) {
      throw ListenError(e.what());
    }
    std::ofstream(std::filesystem::path(job.png).replace_extension(".txt")) << [&] {
      std::string text;
      for (const auto& line : job.report) text += line + "\n";
      return text;
    }();
    onJob(job);
    if (!keepGoing) return;
  }
}

bool ListenServer::ReadJob(int connection, std::string& data, std::vector<std::string>& notes,
                           StatusResponder& responder) {
  char buffer[16384];
  for (;;) {
    pollfd fds[2] = {{connection, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, static_cast<int>(options_.idleTimeout.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return true;
    if (fds[1].revents) {
      notes.push_back(say::ListenStoppedDuringJob());
      return false;
    }
    if (ready == 0) {
      notes.push_back(say::ListenIdle(options_.idleTimeout.count()));
      return true;
    }
    const ssize_t got = ::read(connection, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return true;  // the sender closed (or reset): the job is complete
    SendAnswer(connection, responder.Feed(std::string_view(buffer, static_cast<std::size_t>(got))));
    const std::size_t room = options_.maxJobBytes - data.size();
    data.append(buffer, std::min(static_cast<std::size_t>(got), room));
    if (data.size() >= options_.maxJobBytes) {
      notes.push_back(say::ListenJobTooLong(options_.maxJobBytes));
      return true;
    }
  }
}

std::filesystem::path ListenServer::NextPngPath() {
  std::error_code ec;
  for (int n = 1;; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "ticket-%04d.png", n);
    auto path = options_.outDir / name;
    if (!std::filesystem::exists(path, ec)) return path;
  }
}

}  // namespace qrticket::viewer
