// The network printer on real loopback sockets: jobs one after the other and at once, a sender
// that stays silent, one that sends nothing, a job longer than the bound, the receive hook that
// answers, and Stop() while idle. Every wait is bounded.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

#include "listen_server.h"
#include "loopback_listener.h"
#include "temp_dir.h"
#include "ticket_bytes.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::chrono_literals;

// Connects to 127.0.0.1:port, sends `data`, half-closes and waits (bounded) for the close.
void SendJob(int port, const Bytes& data, bool halfClose = true) {
  const int fd = qrticket::testing::ConnectToLoopback(port);
  ASSERT_GE(fd, 0);
  timeval timeout{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;  // the server stopped reading: the bounded-job case
    sent += static_cast<std::size_t>(n);
  }
  if (halfClose) ::shutdown(fd, SHUT_WR);
  char byte;
  [[maybe_unused]] const auto ignored = ::recv(fd, &byte, 1, 0);  // until the server closes
  ::close(fd);
}

class ListenServerTest : public ::testing::Test {
 protected:
  void Start(ListenOptions options) {
    options.address = "127.0.0.1";
    options.port = 0;
    options.outDir = dir_.path();
    server_ = std::make_unique<ListenServer>(options);
    running_ = std::async(std::launch::async, [this] {
      server_->Run([this](const ListenJob& job) {
        std::lock_guard lock(mutex_);
        jobs_.push_back(job);
      });
    });
  }
  void StopAndWait() {
    server_->Stop();
    ASSERT_EQ(running_.wait_for(10s), std::future_status::ready);
    running_.get();
  }
  std::vector<ListenJob> Jobs() {
    std::lock_guard lock(mutex_);
    return jobs_;
  }
  // Waits (bounded) until `count` jobs are done: a sender sees the close before the picture
  // is written.
  bool WaitForJobs(std::size_t count, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (Jobs().size() < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }

  qrticket::testing::TempDir dir_;
  std::unique_ptr<ListenServer> server_;
  std::future<void> running_;
  std::mutex mutex_;
  std::vector<ListenJob> jobs_;
};

TEST_F(ListenServerTest, OnePicturePerConnection) {
  Start({});
  const Bytes ticket = qrticket::testing::TicketBytes(testing::TicketSettings("over the network"));
  for (int i = 0; i < 3; ++i) {
    SendJob(server_->port(), ticket);
    ASSERT_TRUE(WaitForJobs(i + 1, 10s));  // one after the other, so numbered in order
  }
  StopAndWait();
  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(jobs[i].number, i + 1);
    EXPECT_EQ(jobs[i].bytes, ticket.size());
    EXPECT_EQ(jobs[i].png.filename(), "ticket-000" + std::to_string(i + 1) + ".png");
    EXPECT_TRUE(std::filesystem::exists(jobs[i].png));
    EXPECT_TRUE(std::filesystem::exists(dir_.File("ticket-000" + std::to_string(i + 1) + ".txt")));
  }
  // The picture on disk is the ticket: draw the same bytes and compare the PNG files' content.
  EXPECT_EQ(qrticket::testing::ReadFileBytes(jobs[0].png),
            qrticket::testing::ReadFileBytes(jobs[2].png));
}

TEST_F(ListenServerTest, SilentSenderEndsAfterTheIdleTime) {
  ListenOptions options;
  options.idleTimeout = 300ms;
  Start(options);
  SendJob(server_->port(), "abc\n", /*halfClose=*/false);
  StopAndWait();
  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].report.front(), "sem dados durante 0.3 s: trabalho terminado com o que chegou");
}

TEST_F(ListenServerTest, JobsAreBounded) {
  ListenOptions options;
  options.render.maxInputBytes = 1000;
  Start(options);
  SendJob(server_->port(), Bytes(100000, 'x'));
  StopAndWait();
  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_GE(jobs[0].bytes, 1000u);
  EXPECT_LT(jobs[0].bytes, 100000u) << "reading went on past the bound";
  EXPECT_NE(std::find(jobs[0].report.begin(), jobs[0].report.end(),
                      "entrada cortada aos 1000 bytes: o resto não foi lido nem desenhado"),
            jobs[0].report.end());
}

// A connection that sends nothing (a status probe, a port scan) leaves no picture.
TEST_F(ListenServerTest, ConnectionWithoutDataLeavesNoPicture) {
  Start({});
  SendJob(server_->port(), "");
  SendJob(server_->port(), "after\n");
  ASSERT_TRUE(WaitForJobs(2, 10s));
  StopAndWait();
  auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 2u);
  std::sort(jobs.begin(), jobs.end(), [](auto& a, auto& b) { return a.number < b.number; });
  EXPECT_EQ(jobs[0].number, 0);
  EXPECT_TRUE(jobs[0].png.empty());
  EXPECT_EQ(jobs[0].bytes, 0u);
  EXPECT_EQ(jobs[1].number, 1);
  EXPECT_EQ(jobs[1].png.filename(), "ticket-0001.png");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path())) ++files;
  EXPECT_EQ(files, 2u);  // ticket-0001.png and its .txt, nothing for the empty connection
}

// Ten senders at once, one of them silent: the nine others get their pictures long before
// the silent one's idle time runs out.
TEST_F(ListenServerTest, ConnectionsAreServedAtOnce) {
  ListenOptions options;
  options.idleTimeout = std::chrono::seconds(20);
  Start(options);
  const int idle = qrticket::testing::ConnectToLoopback(server_->port());
  ASSERT_GE(idle, 0);
  // Sends half a ticket, then nothing.
  const int partial = qrticket::testing::ConnectToLoopback(server_->port());
  ASSERT_GE(partial, 0);
  ASSERT_EQ(::send(partial, "half a line", 11, MSG_NOSIGNAL), 11);
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> senders;
  for (int i = 0; i < 8; ++i) {
    senders.emplace_back([this, i] { SendJob(server_->port(), "sender " + std::to_string(i) + "\n"); });
  }
  for (auto& t : senders) t.join();
  ASSERT_TRUE(WaitForJobs(8, 10s));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, 10s) << "a silent sender held the others up";
  ::close(idle);
  ::shutdown(partial, SHUT_WR);
  char byte;
  [[maybe_unused]] const auto ignored = ::recv(partial, &byte, 1, 0);
  ::close(partial);
  StopAndWait();
  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 10u);
  int pictures = 0;
  for (const auto& job : jobs) pictures += job.number > 0;
  EXPECT_EQ(pictures, 9);  // eight senders and the half ticket; the idle one left none
}

// Status requests are answered on the same connection while it is read, as a printer does;
// a connection that only asked for status is no ticket and leaves no picture.
TEST_F(ListenServerTest, StatusRequestsAreAnsweredWhileReading) {
  ListenOptions options;
  options.simulate = SimulatedState::PaperOut;
  Start(options);
  const int fd = qrticket::testing::ConnectToLoopback(server_->port());
  ASSERT_GE(fd, 0);
  timeval timeout{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ASSERT_EQ(::send(fd, "\x10\x04\x01", 3, MSG_NOSIGNAL), 3);
  char answer = 0;
  EXPECT_EQ(::recv(fd, &answer, 1, 0), 1);
  EXPECT_EQ(answer, '\x1a');  // off line: the paper is out
  ::shutdown(fd, SHUT_WR);
  [[maybe_unused]] const auto ignored = ::recv(fd, &answer, 1, 0);
  ::close(fd);
  SendJob(server_->port(), "\x10\x04\x01" "abc\n");
  ASSERT_TRUE(WaitForJobs(2, 10s));
  StopAndWait();
  auto jobs = Jobs();
  std::sort(jobs.begin(), jobs.end(), [](auto& a, auto& b) { return a.number < b.number; });
  EXPECT_TRUE(jobs[0].statusOnly);
  EXPECT_TRUE(jobs[0].png.empty());
  EXPECT_EQ(jobs[1].number, 1);
  EXPECT_FALSE(jobs[1].statusOnly);
  EXPECT_EQ(jobs[1].png.filename(), "ticket-0001.png");
}

// Every connection taken by senders that trickle a byte now and then: a new connection is still
// served (its status request answered) in place of the one quiet longest, which is drawn with
// what came and says why.
TEST_F(ListenServerTest, SlowSendersMakeWayForANewConnection) {
  ListenOptions options;
  options.maxConnections = 2;
  options.idleTimeout = std::chrono::seconds(60);
  Start(options);
  std::vector<int> slow;
  for (int i = 0; i < 2; ++i) {
    slow.push_back(qrticket::testing::ConnectToLoopback(server_->port()));
    ASSERT_GE(slow.back(), 0);
    ASSERT_EQ(::send(slow.back(), "x", 1, MSG_NOSIGNAL), 1);
  }
  const int fd = qrticket::testing::ConnectToLoopback(server_->port());
  ASSERT_GE(fd, 0);
  timeval timeout{20, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ASSERT_EQ(::send(fd, "\x10\x04\x01", 3, MSG_NOSIGNAL), 3);
  char answer = 0;
  EXPECT_EQ(::recv(fd, &answer, 1, 0), 1) << "no answer while slow senders held every slot";
  EXPECT_EQ(answer, '\x12');  // on line
  ::close(fd);
  ASSERT_TRUE(WaitForJobs(2, 20s));
  for (const int s : slow) ::close(s);
  StopAndWait();
  int madeWay = 0;
  for (const ListenJob& job : Jobs())
    madeWay += std::count(job.report.begin(), job.report.end(),
                          "ligação parada para servir outra (todas as 2 ocupadas): desenhado o "
                          "que chegou");
  EXPECT_EQ(madeWay, 1);
}

// Paper feeds, then a line of text: about 2,064 rows of 576 dots, 1.2 MB of raster.
Bytes TallTicket() {
  Bytes ticket;
  for (int i = 0; i < 8; ++i) ticket += "\x1bJ\xff";  // ESC J 255: feed 255 dots
  return ticket + "x\n";
}

// Sends `data` and then two status requests one after the other: once the second is answered,
// the server has drawn `data` (each piece is answered, then drawn).
void SendAndWaitUntilDrawn(int fd, const Bytes& data) {
  timeval timeout{20, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  char answer = 0;
  ASSERT_EQ(::send(fd, (data + "\x10\x04\x01").data(), data.size() + 3, MSG_NOSIGNAL),
            static_cast<ssize_t>(data.size() + 3));
  ASSERT_EQ(::recv(fd, &answer, 1, 0), 1);
  ASSERT_EQ(::send(fd, "\x10\x04\x01", 3, MSG_NOSIGNAL), 3);
  ASSERT_EQ(::recv(fd, &answer, 1, 0), 1);
}

// Two jobs that together pass the memory cap: the second waits (its status requests are not
// read meanwhile) until the first ends, and its report says so; its drawing is whole.
TEST_F(ListenServerTest, AJobThatWouldPassTheMemoryCapWaits) {
  ListenOptions options;
  options.memoryCap = 2 * 1024 * 1024;
  options.idleTimeout = std::chrono::seconds(60);
  Start(options);
  const int first = qrticket::testing::ConnectToLoopback(server_->port());
  const int second = qrticket::testing::ConnectToLoopback(server_->port());
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  SendAndWaitUntilDrawn(first, TallTicket());
  const Bytes secondTicket = TallTicket() + "\x10\x04\x01";
  ASSERT_EQ(::send(second, secondTicket.data(), secondTicket.size(), MSG_NOSIGNAL),
            static_cast<ssize_t>(secondTicket.size()));
  char answer = 0;
  ASSERT_EQ(::recv(second, &answer, 1, 0), 1);  // answered before the drawing
  ASSERT_EQ(::send(second, "\x10\x04\x01", 3, MSG_NOSIGNAL), 3);
  pollfd p{second, POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, 500), 0) << "the second job was drawn past the cap";
  ::shutdown(first, SHUT_WR);
  [[maybe_unused]] auto ignored = ::recv(first, &answer, 1, 0);
  ::close(first);
  EXPECT_EQ(::recv(second, &answer, 1, 0), 1);  // drawn once the first gave its memory back
  ::shutdown(second, SHUT_WR);
  ignored = ::recv(second, &answer, 1, 0);
  ::close(second);
  ASSERT_TRUE(WaitForJobs(2, 20s));
  StopAndWait();
  int waits = 0;
  for (const ListenJob& job : Jobs()) {
    waits += std::count(job.report.begin(), job.report.end(),
                        "esperou que outros trabalhos libertassem memória (limite de 2 MiB "
                        "para todos)");
    for (const std::string& line : job.report)
      EXPECT_NE(line.rfind("sem memória para mais papel", 0), 0u) << line;
  }
  EXPECT_EQ(waits, 1);
}

// A job that alone needs more than the cap is refused the memory at once: drawn only as far as
// it fits, and its report says so.
TEST_F(ListenServerTest, AJobLargerThanTheMemoryCapIsRefused) {
  ListenOptions options;
  options.memoryCap = 1024 * 1024;
  Start(options);
  SendJob(server_->port(), "first line\n" + TallTicket());
  ASSERT_TRUE(WaitForJobs(1, 20s));
  StopAndWait();
  const ListenJob job = Jobs().at(0);
  EXPECT_GT(job.number, 0);
  EXPECT_NE(std::find(job.report.begin(), job.report.end(),
                      "recusada mais memória: os trabalhos em curso ocupam o limite de 1 MiB "
                      "para todos"),
            job.report.end());
  EXPECT_NE(std::find_if(job.report.begin(), job.report.end(),
                         [](const std::string& line) {
                           return line.rfind("sem memória para mais papel", 0) == 0;
                         }),
            job.report.end());
}

TEST_F(ListenServerTest, StopsWhileIdle) {
  Start({});
  StopAndWait();
  EXPECT_TRUE(Jobs().empty());
}

// The address printed is what follows tcp:// for qrticket: IPv6 in brackets.
TEST(ListenServer, AddressCanBePastedAfterTcp) {
  qrticket::testing::TempDir dir;
  struct Row {
    const char* listen;
    const char* prefix;
  };
  for (const Row& row : {Row{"127.0.0.1", "127.0.0.1:"}, Row{"::1", "[::1]:"}}) {
    ListenOptions options;
    options.address = row.listen;
    options.port = 0;
    options.outDir = dir.path();
    try {
      ListenServer server(options);
      EXPECT_EQ(server.address(), row.prefix + std::to_string(server.port()));
    } catch (const ListenError& e) {
      // A machine without IPv6 on loopback cannot bind ::1; that is not this test's concern.
      if (std::string(row.listen) != "::1") throw;
      GTEST_LOG_(INFO) << "IPv6 loopback not available: " << e.what();
    }
  }
}

TEST(ListenServer, BusyPortIsAClearError) {
  qrticket::testing::TempDir dir;
  ListenOptions options;
  options.port = 0;
  options.outDir = dir.path();
  ListenServer first(options);
  options.port = first.port();
  try {
    ListenServer second(options);
    FAIL() << "a second server bound the same port";
  } catch (const ListenError& e) {
    EXPECT_NE(std::string(e.what()).find("não foi possível escutar em 127.0.0.1:"),
              std::string::npos)
        << e.what();
    EXPECT_NE(std::string(e.what()).find("endereço já em uso"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace qrticket::viewer
