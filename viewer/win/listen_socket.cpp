// The network printer's sockets on Windows: each socket signals an event of its own
// (WSAEventSelect), and every wait also watches one manual-reset event that Stop() sets and
// nobody resets, so once stopped every wait ends at once.
#include "listen_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cerrno>

#include "devices/win/host_lookup.h"
#include "listen_address.h"
#include "render_report.h"

namespace qrticket::viewer {
namespace {

// Winsock's errors as the errno whose Portuguese text fits, as the POSIX file says them.
struct SocketErrorMeaning {
  int winsock;
  int posix;
};
constexpr SocketErrorMeaning kSocketErrors[] = {
    {WSAEADDRINUSE, EADDRINUSE},     {WSAEADDRNOTAVAIL, EADDRNOTAVAIL},
    {WSAEAFNOSUPPORT, EAFNOSUPPORT}, {WSAEACCES, EACCES},
    {WSAENETUNREACH, ENETUNREACH},   {WSAECONNRESET, ECONNRESET},
    {WSAEMFILE, EMFILE},             {WSAENOBUFS, ENOMEM},
    {WSAEINVAL, EINVAL},
};

std::string SocketErrorText(int error) {
  for (const SocketErrorMeaning& meaning : kSocketErrors)
    if (meaning.winsock == error) return say::SystemError(meaning.posix);
  return say::WindowsError(static_cast<unsigned long>(error));
}

void CloseQuietly(SOCKET& socket) {
  if (socket != INVALID_SOCKET) ::closesocket(socket);  // never retried
  socket = INVALID_SOCKET;
}

void CloseQuietly(WSAEVENT& event) {
  if (event != WSA_INVALID_EVENT) ::WSACloseEvent(event);
  event = WSA_INVALID_EVENT;
}

// Waits up to `wait` for `ready` or `stop`: 0 ready, 1 stopped, -1 neither.
int WaitFor(WSAEVENT ready, HANDLE stop, std::chrono::milliseconds wait) {
  const HANDLE events[2] = {stop, ready};  // the stop first: it wins when both are set
  const DWORD result =
      ::WaitForMultipleObjects(2, events, FALSE, static_cast<DWORD>(wait.count()));
  if (result == WAIT_OBJECT_0) return 1;
  if (result == WAIT_OBJECT_0 + 1) return 0;
  return -1;
}

}  // namespace

struct Connection::Handle {
  SOCKET socket = INVALID_SOCKET;
  WSAEVENT event = WSA_INVALID_EVENT;  // FD_READ, FD_WRITE, FD_CLOSE; the socket is non-blocking
  HANDLE stop = nullptr;               // the listening socket's, not ours to close
  ~Handle() {
    CloseQuietly(socket);
    CloseQuietly(event);
  }
};

struct ListenSocket::Handles {
  SOCKET listen = INVALID_SOCKET;
  WSAEVENT accept = WSA_INVALID_EVENT;
  HANDLE stop = nullptr;
  ~Handles() {
    CloseQuietly(listen);
    CloseQuietly(accept);
    if (stop) ::CloseHandle(stop);
  }
};

Connection::Connection(std::unique_ptr<Handle> handle, std::string peer)
    : handle_(std::move(handle)), peer_(std::move(peer)) {}

Connection::~Connection() = default;

Connection::Read Connection::ReadSome(char* buffer, std::size_t capacity,
                                      std::chrono::milliseconds idle) {
  const auto deadline = std::chrono::steady_clock::now() + idle;
  for (;;) {
    // Tried before waiting: FD_READ is signalled once per recv, not while bytes remain.
    const int n = ::recv(handle_->socket, buffer, static_cast<int>(capacity), 0);
    if (n > 0) return {Got::Bytes, static_cast<std::size_t>(n)};
    if (n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) return {Got::Closed};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {Got::Idle};
    const int woke = WaitFor(handle_->event, handle_->stop, left);
    if (woke == 1) return {Got::Stopped};
    if (woke < 0) return {Got::Idle};
    ::WSAResetEvent(handle_->event);
  }
}

void Connection::SendBack(BytesView bytes) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = ::send(handle_->socket, bytes.data() + sent,
                         static_cast<int>(bytes.size() - sent), 0);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) return;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || WaitFor(handle_->event, handle_->stop, left) != 0) return;
    ::WSAResetEvent(handle_->event);
  }
}

ListenSocket::ListenSocket(const std::string& address, int port)
    : handles_(std::make_unique<Handles>()) {
  if (!WinsockReady()) {
    throw ListenError(say::ListenFailed(address, port, SocketErrorText(::WSAGetLastError())));
  }
  const AddressList found = ListenAddresses(address, port);
  int error = 0;
  SOCKET& listening = handles_->listen;
  for (addrinfo* a = found.get(); a && listening == INVALID_SOCKET; a = a->ai_next) {
    SOCKET s = ::WSASocketW(a->ai_family, a->ai_socktype, a->ai_protocol, nullptr, 0,
                            WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
      error = ::WSAGetLastError();
      continue;
    }
    // Not SO_REUSEADDR, which on Windows lets a second program take a port in use: this one
    // keeps its port to itself.
    const BOOL yes = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
                 sizeof yes);
    if (::bind(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0 && ::listen(s, 64) == 0) {
      listening = s;
    } else {
      error = ::WSAGetLastError();
      CloseQuietly(s);
    }
  }
  if (listening == INVALID_SOCKET) {
    throw ListenError(say::ListenFailed(address, port, SocketErrorText(error)));
  }
  sockaddr_storage bound{};
  int length = sizeof bound;
  ::getsockname(listening, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = PortOf(bound);
  address_ = Endpoint(bound, length);

  handles_->stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  handles_->accept = ::WSACreateEvent();
  if (!handles_->stop || handles_->accept == WSA_INVALID_EVENT ||
      ::WSAEventSelect(listening, handles_->accept, FD_ACCEPT) != 0) {
    throw ListenError(say::ListenFailed(address, port, say::WindowsError(::GetLastError())));
  }
}

ListenSocket::~ListenSocket() = default;

void ListenSocket::Stop() noexcept { ::SetEvent(handles_->stop); }

bool ListenSocket::Stopped() const noexcept {
  return ::WaitForSingleObject(handles_->stop, 0) == WAIT_OBJECT_0;
}

std::unique_ptr<Connection> ListenSocket::Accept(std::chrono::milliseconds wait) {
  if (WaitFor(handles_->accept, handles_->stop, wait) != 0) return nullptr;
  ::WSAResetEvent(handles_->accept);
  sockaddr_storage peer{};
  int peerLength = sizeof peer;
  // Non-blocking, as the listening socket is: a peer that left already gives WSAEWOULDBLOCK.
  SOCKET s = ::accept(handles_->listen, reinterpret_cast<sockaddr*>(&peer), &peerLength);
  if (s == INVALID_SOCKET) return nullptr;
  auto handle = std::make_unique<Connection::Handle>();
  handle->socket = s;
  handle->stop = handles_->stop;
  handle->event = ::WSACreateEvent();
  // The accepted socket took the listening socket's event selection; it gets its own.
  if (handle->event == WSA_INVALID_EVENT ||
      ::WSAEventSelect(s, handle->event, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
    return nullptr;
  }
  return std::make_unique<Connection>(std::move(handle), Endpoint(peer, peerLength));
}

}  // namespace qrticket::viewer
