// Bounded connections to the CUPS scheduler, and the few IPP helpers the queue list and the
// CUPS device share.
#include "devices/posix/cups_connection.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "devices/deadline.h"

namespace qrticket::cups {
namespace {

// libcups asks KeepWaiting after each wait of this length; it is how soon a cancel is seen
// inside a request.
constexpr double kWaitSliceSeconds = 0.1;
constexpr std::chrono::milliseconds kConnectSlice{250};

// A front end has no terminal to ask on (libcups would read a password from /dev/tty).
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

bool Readable(int fd) {
  if (fd < 0) return false;
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

// Waits until `deadline`, the cancel descriptor or the wake pipe, whichever comes first;
// false when woken (nothing to do), true when the deadline or the cancel came.
bool WaitForDeadlineOrCancel(int wakeFd, int cancelFd, Clock::time_point deadline,
                             bool& cancelled) {
  for (;;) {
    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {cancelFd, POLLIN, 0}};
    const int ready = ::poll(fds, cancelFd >= 0 ? 2 : 1, MillisecondsLeft(deadline));
    if (ready < 0) continue;  // EINTR: a signal, whose byte the cancel descriptor now holds
    if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) return false;
    if (cancelFd >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      cancelled = true;
      return true;
    }
    if (ready == 0 && Clock::now() >= deadline) return true;
  }
}

}  // namespace

std::string ServerName() {
  const Library& lib = Api();
  const std::string server = lib.cupsServer();
  if (!server.empty() && server.front() == '/') return server;
  return server + ":" + std::to_string(lib.ippPort());
}

Connection::Connection(http_t* http, int cancelFd)
    // Until a Bound sets one, the deadline has passed: a request made without a bound gives
    // up after one slice rather than waiting for ever.
    : http_(http), cancelFd_(cancelFd), deadline_(Clock::now().time_since_epoch().count()) {
  Api().httpSetTimeout(http_, kWaitSliceSeconds, KeepWaiting, this);
}

// Called by libcups once a wait has lasted a slice: 1 waits on, 0 gives the request up.
int Connection::KeepWaiting(http_t*, void* data) {
  auto* connection = static_cast<Connection*>(data);
  if (connection->stop_ != Stop::None) return 0;
  if (Readable(connection->cancelFd_)) {
    connection->stop_ = Stop::Cancelled;
    return 0;
  }
  if (Clock::now().time_since_epoch().count() >= connection->deadline_) {
    connection->stop_ = Stop::Deadline;
    return 0;
  }
  return 1;
}

std::unique_ptr<Connection> Connection::Open(std::chrono::milliseconds connect, int cancelFd,
                                             bool* cancelled) {
  const Library& lib = Api();
  lib.cupsSetPasswordCB2(NoPassword, nullptr);
  if (cancelled != nullptr) *cancelled = false;
  // Tried in slices, so a cancel between them is seen: libcups's own cancel flag cannot be
  // set from a signal handler's pipe. A scheduler that refuses fails the first slice at once.
  const auto end = Clock::now() + connect;
  for (;;) {
    if (Readable(cancelFd)) {
      if (cancelled != nullptr) *cancelled = true;
      return nullptr;
    }
    const auto started = Clock::now();
    const int msec = std::max(1, std::min(MillisecondsLeft(end),
                                          static_cast<int>(kConnectSlice.count())));
    http_t* http = lib.httpConnect2(lib.cupsServer(), lib.ippPort(), nullptr, AF_UNSPEC,
                                    lib.cupsEncryption(), /*blocking=*/1, msec, nullptr);
    if (http != nullptr) return std::unique_ptr<Connection>(new Connection(http, cancelFd));
    // An answer (refused, unreachable) came before the slice ran out: asking again changes
    // nothing.
    if (Clock::now() - started < std::chrono::milliseconds(msec) / 2 || Clock::now() >= end)
      return nullptr;
  }
}

Connection::~Connection() { Api().httpClose(http_); }

struct Connection::Bound::Watcher {
  std::thread thread;
};

Connection::Bound::Bound(Connection& connection, Clock::time_point deadline)
    : connection_(connection) {
  connection_.stop_ = Stop::None;
  connection_.deadline_ = deadline.time_since_epoch().count();
  if (::pipe2(wake_, O_CLOEXEC) != 0) return;  // the slices alone still bound the waits
  watcher_ = std::make_unique<Watcher>();
  const int wakeFd = wake_[0], cancelFd = connection_.cancelFd_;
  const int socket = Api().httpGetFd(connection_.http_);
  watcher_->thread = std::thread([this, wakeFd, cancelFd, socket, deadline] {
    bool cancelled = false;
    if (!WaitForDeadlineOrCancel(wakeFd, cancelFd, deadline, cancelled)) return;
    connection_.stop_ = cancelled ? Stop::Cancelled : Stop::Deadline;
    // Ends a read that bytes trickling in faster than a slice would keep going.
    if (socket >= 0) ::shutdown(socket, SHUT_RDWR);
  });
}

Connection::Bound::~Bound() {
  if (watcher_) {
    const char byte = 1;
    ssize_t ignored = ::write(wake_[1], &byte, 1);
    (void)ignored;
    watcher_->thread.join();
  }
  if (wake_[0] >= 0) {
    ::close(wake_[0]);
    ::close(wake_[1]);
  }
}

std::string QueueUri(const std::string& queue) {
  const Library& lib = Api();
  char uri[HTTP_MAX_URI];
  lib.httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                       lib.ippPort(), "/printers/%s", queue.c_str());
  return uri;
}

std::string JobUri(int job) {
  const Library& lib = Api();
  char uri[HTTP_MAX_URI];
  lib.httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                       lib.ippPort(), "/jobs/%d", job);
  return uri;
}

Ipp NewRequest(ipp_op_t operation, const char* uriName, const std::string& uri) {
  const Library& lib = Api();
  Ipp request(lib.ippNewRequest(operation));
  if (uriName != nullptr)
    lib.ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.c_str());
  lib.ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                   lib.cupsUser());
  return request;
}

Ipp Send(const Connection& connection, Ipp request) {
  const Library& lib = Api();
  // cupsDoRequest takes the request and frees it.
  return Ipp(lib.cupsDoRequest(connection.http(), request.release(), "/"));
}

std::string Text(ipp_t* response, const char* name) {
  const Library& lib = Api();
  ipp_attribute_t* attribute = lib.ippFindAttribute(response, name, IPP_TAG_ZERO);
  const char* text = attribute != nullptr ? lib.ippGetString(attribute, 0, nullptr) : nullptr;
  return text != nullptr ? text : "";
}

int Integer(ipp_t* response, const char* name, int fallback) {
  const Library& lib = Api();
  ipp_attribute_t* attribute = lib.ippFindAttribute(response, name, IPP_TAG_ZERO);
  if (attribute == nullptr) return fallback;
  switch (lib.ippGetValueTag(attribute)) {
    case IPP_TAG_INTEGER:
    case IPP_TAG_ENUM:
      return lib.ippGetInteger(attribute, 0);
    case IPP_TAG_BOOLEAN:
      return lib.ippGetBoolean(attribute, 0);
    default:
      return fallback;
  }
}

std::string Keywords(ipp_t* response, const char* name) {
  const Library& lib = Api();
  ipp_attribute_t* attribute = lib.ippFindAttribute(response, name, IPP_TAG_KEYWORD);
  std::string joined;
  for (int i = 0; attribute != nullptr && i < lib.ippGetCount(attribute); ++i) {
    const char* keyword = lib.ippGetString(attribute, i, nullptr);
    if (keyword == nullptr || std::string_view(keyword) == "none") continue;
    if (!joined.empty()) joined += ", ";
    joined += keyword;
  }
  return joined;
}

}  // namespace qrticket::cups
