// Fake receipt printers that answer status and identity requests as a test tells them to: on a
// loopback socket (a network printer) or on the master side of a pseudo-terminal (standing in
// for a serial or USB printer). Everything stays on this machine.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qrticket::testing {

// How the printer answers. A request without an entry gets no answer.
struct FakeAnswers {
  std::map<int, std::string> dleEot;  // DLE EOT n -> bytes sent back
  std::map<int, std::string> gsI;     // GS I n -> bytes sent back
  std::chrono::milliseconds delay{0}; // before each answer
  bool inPieces = false;              // each answer one byte at a time, `pieceGap` apart
  std::chrono::milliseconds pieceGap{20};
  std::string unaskedFirst;           // sent as soon as the link is up (automatic status)
  std::string beforeEachAnswer;       // sent unasked ahead of every answer
  // Sent over and over, without waiting, once the first answer has gone (or at once, with
  // `endlessFromStart`), until the link closes or `endlessFor` has passed; requests are still
  // answered in between.
  std::string endless;
  bool endlessFromStart = false;
  std::chrono::milliseconds endlessFor{8000};
  // With a rate, `endless` goes out one byte at a time, that many a second (line noise).
  unsigned endlessPerSecond = 0;
  // Hangs up (closes its side) on receiving DLE EOT n, before answering it; 0: never.
  int hangUpAtDleEot = 0;
};

// A printer that is ready, with a name: answers every request.
FakeAnswers ReadyPrinter();
// The same printer reporting `dleEot1` .. `dleEot4`; GS I answered only when on line.
FakeAnswers PrinterReporting(std::uint8_t dleEot1, std::uint8_t dleEot2, std::uint8_t dleEot3,
                             std::uint8_t dleEot4);

// Splits a byte stream into requests as they complete; everything else counts as other bytes.
class RequestScanner {
 public:
  struct Request {
    bool dleEot;  // false: GS I
    int n;
  };
  std::vector<Request> Feed(const std::string& bytes);
  std::size_t otherBytes() const { return other_; }

 private:
  std::string partial_;
  std::size_t other_ = 0;
};

// A network printer on 127.0.0.1 serving one connection after another on its own thread.
// After a connection that carried a ticket (anything besides requests) it answers with
// `afterTicket`, when given: a printer that ran out of paper during the ticket.
class FakeTcpPrinter {
 public:
  explicit FakeTcpPrinter(FakeAnswers answers, std::optional<FakeAnswers> afterTicket = {});
  ~FakeTcpPrinter();
  FakeTcpPrinter(const FakeTcpPrinter&) = delete;
  FakeTcpPrinter& operator=(const FakeTcpPrinter&) = delete;

  std::string DeviceName() const;
  // What each finished connection carried, in order.
  std::vector<std::string> Connections() const;
  // Waits until `count` connections have finished; false after `bound`.
  bool WaitConnections(std::size_t count, std::chrono::milliseconds bound) const;

 private:
  void Run();
  void Serve(int connection);

  FakeAnswers answers_;
  std::optional<FakeAnswers> afterTicket_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> connections_;
  std::thread thread_;
};

// A printer on the master side of a pseudo-terminal; the slave's path is the device name.
class FakePtyPrinter {
 public:
  explicit FakePtyPrinter(FakeAnswers answers);
  ~FakePtyPrinter();
  FakePtyPrinter(const FakePtyPrinter&) = delete;
  FakePtyPrinter& operator=(const FakePtyPrinter&) = delete;

  const std::string& path() const { return slavePath_; }
  std::string Received() const;

 private:
  void Run();

  FakeAnswers answers_;
  int master_ = -1;
  std::string slavePath_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::string received_;
  std::thread thread_;
};

}  // namespace qrticket::testing
