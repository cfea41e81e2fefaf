// The network printer on real loopback sockets: jobs one after the other, a sender that stays
// silent, a job longer than the bound, and Stop() while idle. Every wait is bounded.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>

#include "listen_server.h"
#include "temp_dir.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::chrono_literals;

// Connects to 127.0.0.1:port, sends `data`, half-closes and waits (bounded) for the close.
void SendJob(int port, const Bytes& data, bool halfClose = true) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
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

  qrticket::testing::TempDir dir_;
  std::unique_ptr<ListenServer> server_;
  std::future<void> running_;
  std::mutex mutex_;
  std::vector<ListenJob> jobs_;
};

TEST_F(ListenServerTest, OnePicturePerConnection) {
  Start({});
  const Bytes ticket = testing::WriteTicket(testing::TicketSettings("over the network"));
  for (int i = 0; i < 3; ++i) SendJob(server_->port(), ticket);
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
  options.maxJobBytes = 1000;
  Start(options);
  SendJob(server_->port(), Bytes(100000, 'x'));
  StopAndWait();
  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].bytes, 1000u);
  EXPECT_EQ(jobs[0].report.front(), "trabalho maior do que 1000 bytes: o resto foi descartado");
}

TEST_F(ListenServerTest, StopsWhileIdle) {
  Start({});
  StopAndWait();
  EXPECT_TRUE(Jobs().empty());
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
  }
}

}  // namespace
}  // namespace qrticket::viewer
