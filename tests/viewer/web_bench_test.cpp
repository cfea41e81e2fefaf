// The receipt bench end to end on loopback: jobs sent to the network printer become receipts
// on the page, with the bytes as sent; job text reaches the JSON escaped; 201 receipts keep
// 200; and the private folder goes with the bench.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>
#include <thread>

#include "http_exchange.h"
#include "temp_dir.h"
#include "web_bench.h"

namespace qrticket::viewer::web {
namespace {

using namespace std::chrono_literals;
using qrticket::testing::HttpGet;
namespace fs = std::filesystem;

// A QR symbol of `data` (GS ( k: store, then print) and a line feed.
std::string QrJob(const std::string& data) {
  const std::size_t length = data.size() + 3;
  std::string job = "Talao de teste\n";
  job += std::string("\x1d\x28\x6b", 3) + static_cast<char>(length & 0xFF) +
         static_cast<char>(length >> 8) + "\x31\x50\x30" + data;
  job += std::string("\x1d\x28\x6b\x03\x00\x31\x51\x30", 8);
  job += "\n\n";
  return job;
}

// Sends `data` to 127.0.0.1:port, half-closes and waits (bounded) for the server's close.
void SendJob(int port, const std::string& data) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  timeval timeout{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ASSERT_EQ(::send(fd, data.data(), data.size(), MSG_NOSIGNAL), static_cast<ssize_t>(data.size()));
  ::shutdown(fd, SHUT_WR);
  char byte;
  [[maybe_unused]] const auto ignored = ::recv(fd, &byte, 1, 0);
  ::close(fd);
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// The listener and the bench, as qrticket-view --listen 0 --web 0 wires them.
class Bench {
 public:
  explicit Bench(const fs::path& outDir) : bench_(WebOptions{}, outDir) {
    ListenOptions options;
    options.port = 0;
    options.outDir = bench_.folder();
    options.keepBytes = true;
    server_ = std::make_unique<ListenServer>(options);
    running_ = std::async(std::launch::async, [this] {
      server_->Run([this](const ListenJob& job) {
        bench_.Take(job);
        ++jobs_;
      });
    });
  }
  ~Bench() {
    server_->Stop();
    running_.wait_for(10s);
  }
  int printerPort() const { return server_->port(); }
  int pagePort() const { return std::stoi(bench_.url().substr(bench_.url().rfind(':') + 1)); }
  WebBench& bench() { return bench_; }
  bool WaitForJobs(int count) {
    for (int i = 0; i < 500 && jobs_ < count; ++i) std::this_thread::sleep_for(10ms);
    return jobs_ >= count;
  }

 private:
  WebBench bench_;
  std::unique_ptr<ListenServer> server_;
  std::future<void> running_;
  std::atomic<int> jobs_{0};
};

TEST(WebBench, AJobBecomesAReceiptWithItsBytesAndItsTextEscaped) {
  qrticket::testing::TempDir dir;
  Bench bench(dir.path());
  // A byte 0x80 makes the report show the symbol's text as a phone reads it.
  const std::string job = QrJob("\x80<script>alert(1)</script>");
  SendJob(bench.printerPort(), job);
  ASSERT_TRUE(bench.WaitForJobs(1));

  const auto list = HttpGet(bench.pagePort(), "/api/receipts");
  ASSERT_EQ(list.status, 200);
  EXPECT_EQ(Count(list.body, "\"id\":"), 1u);
  EXPECT_NE(list.body.find("\"bytes\":" + std::to_string(job.size())), std::string::npos);
  EXPECT_NE(list.body.find("\\u003cscript\\u003ealert(1)\\u003c/script\\u003e"), std::string::npos)
      << list.body;
  EXPECT_EQ(list.body.find("<script>"), std::string::npos);

  EXPECT_EQ(HttpGet(bench.pagePort(), "/recibos/1.bin").body, job);
  EXPECT_EQ(HttpGet(bench.pagePort(), "/recibos/1.png").body.substr(0, 8), "\x89PNG\r\n\x1a\n");
  // The operator's folder keeps the picture, its report and now the bytes; no part files.
  EXPECT_TRUE(fs::exists(dir.path() / "ticket-0001.png"));
  EXPECT_EQ(qrticket::testing::ReadFileBytes(dir.path() / "ticket-0001.bin"), job);
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_NE(entry.path().extension(), ".part") << entry.path();
}

TEST(WebBench, AStatusRequestIsNoReceiptAndLeavesNoFile) {
  qrticket::testing::TempDir dir;
  Bench bench(dir.path());
  SendJob(bench.printerPort(), std::string("\x10\x04\x01", 3));  // DLE EOT 1 only
  ASSERT_TRUE(bench.WaitForJobs(1));
  EXPECT_EQ(HttpGet(bench.pagePort(), "/api/receipts").body, "[]");
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(WebBench, TwoHundredAndOneReceiptsKeepTheNewestTwoHundred) {
  qrticket::testing::TempDir dir;
  WebBench bench(WebOptions{}, dir.path());
  for (int number = 1; number <= 201; ++number) {
    ListenJob job;
    job.number = number;
    job.peer = "127.0.0.1:1";
    job.png = dir.path() / ("ticket-" + std::to_string(number) + ".png");
    bench.Take(job);
  }
  const int port = std::stoi(bench.url().substr(bench.url().rfind(':') + 1));
  const auto list = HttpGet(port, "/api/receipts");
  EXPECT_EQ(Count(list.body, "{\"id\":"), 200u);
  EXPECT_EQ(list.body.rfind("[{\"id\":201,", 0), 0u);
  EXPECT_NE(list.body.find("{\"id\":2,"), std::string::npos);
  EXPECT_EQ(list.body.find("{\"id\":1,"), std::string::npos);
}

TEST(WebBench, WithoutAFolderKeepsReceiptsInAPrivateOneRemovedAtTheEnd) {
  fs::path folder;
  {
    Bench bench({});
    folder = bench.bench().folder();
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    SendJob(bench.printerPort(), QrJob("privado"));
    ASSERT_TRUE(bench.WaitForJobs(1));
    EXPECT_TRUE(fs::exists(folder / "ticket-0001.png"));
    EXPECT_EQ(HttpGet(bench.pagePort(), "/recibos/1.png").status, 200);
  }
  EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace qrticket::viewer::web
