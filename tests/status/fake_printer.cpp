// The fake printers' answering loops (see fake_printer.h).
#include "fake_printer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "fake_printer_answers.h"
#include "loopback_listener.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Writes what of `piece` the link takes now, without blocking: the count, or -1 once the other
// side is gone. 0 when nothing fits.
ssize_t WriteWithoutWaiting(int fd, const std::string& piece) {
  ssize_t n = ::send(fd, piece.data(), piece.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  if (n < 0 && errno == ENOTSOCK) {  // the pty master: a write that never blocks
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    n = ::write(fd, piece.data(), piece.size());
    const int error = errno;
    ::fcntl(fd, F_SETFL, flags);
    errno = error;
  }
  if (n < 0) return errno == EAGAIN || errno == EINTR ? 0 : -1;
  return n;
}

// Writes all of `bytes`, waiting while the link is full, for at most a few seconds: a side that
// reads nothing (a pty whose slave was closed keeps its full buffer) must not hold the fake.
void WriteAllTo(int fd, const std::string& bytes) {
  const auto until = Clock::now() + 3s;
  std::string_view rest = bytes;
  while (!rest.empty() && Clock::now() < until) {
    const ssize_t n = WriteWithoutWaiting(fd, std::string(rest));
    if (n < 0) return;
    if (n == 0) std::this_thread::sleep_for(1ms);
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
}

// Sends the answer to `request` as `answers` says.
void Answer(int fd, const FakeAnswers& answers, const RequestScanner::Request& request) {
  const auto& table = request.dleEot ? answers.dleEot : answers.gsI;
  const auto found = table.find(request.n);
  if (found == table.end()) return;
  if (answers.delay.count() > 0) std::this_thread::sleep_for(answers.delay);
  if (!answers.beforeEachAnswer.empty()) WriteAllTo(fd, answers.beforeEachAnswer);
  if (!answers.inPieces) {
    WriteAllTo(fd, found->second);
    return;
  }
  for (const char c : found->second) {
    WriteAllTo(fd, std::string(1, c));
    std::this_thread::sleep_for(answers.pieceGap);
  }
}

// Sends FakeAnswers::endless as fast as the link takes it, or paced a byte at a time.
class Flood {
 public:
  explicit Flood(const FakeAnswers& answers) : answers_(answers) {}

  // Sends the next piece when it is due; false once the other side is gone.
  bool SendSome(int fd) {
    const std::string& endless = answers_.endless;
    if (answers_.endlessPerSecond == 0) {
      std::string piece;
      while (piece.size() < 4096) piece += endless;
      if (!owed_.empty()) return SendOwed(fd);
      const ssize_t n = WriteWithoutWaiting(fd, piece);
      // A full link takes part of the piece. A printer never breaks off a block of its own, so
      // the rest of the block begun is owed before anything else goes out.
      const std::size_t begun = n > 0 ? static_cast<std::size_t>(n) % endless.size() : 0;
      if (begun != 0) owed_ = endless.substr(begun);
      return n >= 0;
    }
    const auto now = Clock::now();
    if (now < next_) return true;
    next_ = now + std::chrono::microseconds(1'000'000 / answers_.endlessPerSecond);
    return WriteWithoutWaiting(fd, std::string(1, endless[sent_++ % endless.size()])) >= 0;
  }

  // Before an answer: the block begun goes out whole first, as a printer would finish it. A
  // side that reads nothing for a second will read no answer either.
  void FinishBlock(int fd) {
    const auto until = Clock::now() + std::chrono::seconds(1);
    while (!owed_.empty() && Clock::now() < until && SendOwed(fd)) {
      if (!owed_.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

 private:
  bool SendOwed(int fd) {
    const ssize_t n = WriteWithoutWaiting(fd, owed_);
    if (n > 0) owed_.erase(0, static_cast<std::size_t>(n));
    return n >= 0;
  }

  const FakeAnswers& answers_;
  std::string owed_;
  Clock::time_point next_{};
  std::size_t sent_ = 0;
};

// Reads what is there within `waitMs`; nullopt at end of stream or on an error.
std::optional<std::string> ReadSome(int fd, int waitMs = 50) {
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, waitMs) <= 0) return std::string();
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return std::string();
  if (n <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(n));
}

}  // namespace

FakeAnswers ReadyPrinter() { return PrinterReporting(0x12, 0x12, 0x12, 0x12); }

FakeAnswers PrinterReporting(std::uint8_t dleEot1, std::uint8_t dleEot2, std::uint8_t dleEot3,
                             std::uint8_t dleEot4) {
  FakeAnswers a;
  a.dleEot = {{1, std::string(1, static_cast<char>(dleEot1))},
              {2, std::string(1, static_cast<char>(dleEot2))},
              {3, std::string(1, static_cast<char>(dleEot3))},
              {4, std::string(1, static_cast<char>(dleEot4))}};
  if ((dleEot1 & 0x08) == 0) {
    a.gsI = kFakeIdentityAnswers;
  }
  return a;
}

std::vector<RequestScanner::Request> RequestScanner::Feed(const std::string& bytes) {
  std::vector<Request> requests;
  for (const char c : bytes) {
    partial_.push_back(c);
    const bool dle = partial_[0] == '\x10', gs = partial_[0] == '\x1D';
    if (!dle && !gs) {
      other_ += partial_.size();
      partial_.clear();
      continue;
    }
    if (partial_.size() == 2 && partial_[1] != (dle ? '\x04' : 'I')) {
      other_ += partial_.size();
      partial_.clear();
      continue;
    }
    if (partial_.size() == 3) {
      requests.push_back({dle, static_cast<unsigned char>(partial_[2])});
      partial_.clear();
    }
  }
  return requests;
}

FakeTcpPrinter::FakeTcpPrinter(FakeAnswers answers, std::optional<FakeAnswers> afterTicket)
    : answers_(std::move(answers)), afterTicket_(std::move(afterTicket)) {
  listener_ = ListenOnLoopback(8, port_);
  if (listener_ < 0) throw std::runtime_error("no loopback listener");
  thread_ = std::thread([this] { Run(); });
}

FakeTcpPrinter::~FakeTcpPrinter() {
  stop_ = true;
  thread_.join();
  ::close(listener_);
}

std::string FakeTcpPrinter::DeviceName() const {
  return "tcp://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> FakeTcpPrinter::Connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

bool FakeTcpPrinter::WaitConnections(std::size_t count, std::chrono::milliseconds bound) const {
  const auto end = std::chrono::steady_clock::now() + bound;
  while (Connections().size() < count) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

void FakeTcpPrinter::Run() {
  while (!stop_) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    Serve(connection);
    ::close(connection);
  }
}

void FakeTcpPrinter::Serve(int connection) {
  const FakeAnswers& answers = answers_;
  if (!answers.unaskedFirst.empty()) WriteAllTo(connection, answers.unaskedFirst);
  RequestScanner scanner;
  std::string received;
  bool flooding = answers.endlessFromStart;
  const auto floodEnd = Clock::now() + answers.endlessFor;
  bool hungUp = false;
  Flood flood(answers);
  while (!stop_ && !hungUp) {
    flooding = flooding && !answers.endless.empty() && Clock::now() < floodEnd;
    if (flooding && !flood.SendSome(connection)) break;
    const auto got = ReadSome(connection, flooding ? 1 : 50);
    if (!got) break;
    received += *got;
    for (const auto& request : scanner.Feed(*got)) {
      if (request.dleEot && request.n == answers.hangUpAtDleEot) {
        hungUp = true;
        break;
      }
      flood.FinishBlock(connection);
      Answer(connection, answers, request);
      flooding = !answers.endless.empty() && Clock::now() < floodEnd;
    }
  }
  std::lock_guard lock(mutex_);
  connections_.push_back(received);
  if (scanner.otherBytes() > 0 && afterTicket_) answers_ = *afterTicket_;
}

FakePtyPrinter::FakePtyPrinter(FakeAnswers answers) : answers_(std::move(answers)) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    throw std::runtime_error("no pseudo-terminal");
  slavePath_ = ::ptsname(master_);
  // A fresh slave echoes and turns CR into LF: as a misconfigured port would. The link must
  // switch that off itself, so the fake leaves it.
  thread_ = std::thread([this] { Run(); });
}

FakePtyPrinter::~FakePtyPrinter() {
  stop_ = true;
  thread_.join();
  if (master_ >= 0) ::close(master_);
}

std::string FakePtyPrinter::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void FakePtyPrinter::Run() {
  if (!answers_.unaskedFirst.empty()) WriteAllTo(master_, answers_.unaskedFirst);
  RequestScanner scanner;
  bool flooding = answers_.endlessFromStart;
  auto floodEnd = Clock::now() + answers_.endlessFor;
  Flood flood(answers_);
  while (!stop_) {
    flooding = flooding && !answers_.endless.empty() && Clock::now() < floodEnd;
    if (flooding) flood.SendSome(master_);
    const auto got = ReadSome(master_, flooding ? 1 : 50);
    if (!got || got->empty()) {
      if (!got) std::this_thread::sleep_for(10ms);  // no slave open yet: EIO
      continue;
    }
    {
      std::lock_guard lock(mutex_);
      received_ += *got;
    }
    for (const auto& request : scanner.Feed(*got)) {
      if (request.dleEot && request.n == answers_.hangUpAtDleEot) {
        ::close(master_);  // the slave now reads end of input
        master_ = -1;
        return;
      }
      flood.FinishBlock(master_);
      Answer(master_, answers_, request);
      if (!flooding) floodEnd = Clock::now() + answers_.endlessFor;
      flooding = !answers_.endless.empty() && Clock::now() < floodEnd;
    }
  }
}

}  // namespace qrticket::testing
