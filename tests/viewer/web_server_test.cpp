// The bench's server on real loopback sockets: the page and its files, the JSON list, the
// pictures and bytes, the event stream and its bound, and hostile requests, each of which is
// refused and changes nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "http_exchange.h"
#include "receipt_store.h"
#include "temp_dir.h"
#include "web_server.h"

namespace qrticket::viewer::web {
namespace {

using namespace std::chrono_literals;
using qrticket::testing::EventStream;
using qrticket::testing::HttpAnswer;
using qrticket::testing::HttpExchange;
using qrticket::testing::HttpGet;
namespace fs = std::filesystem;

class WebServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Add(1, "PICTURE-1", "BYTES-1");
    Add(2, "PICTURE-2", "BYTES-2");
  }

  void Add(int id, const std::string& picture, const std::string& raw) {
    Receipt receipt;
    receipt.id = id;
    receipt.sender = "127.0.0.1:4000" + std::to_string(id);
    receipt.bytes = raw.size();
    receipt.report = {"relatório " + std::to_string(id)};
    receipt.picture = dir_.path() / ("ticket-" + std::to_string(id) + ".png");
    receipt.raw = dir_.path() / ("ticket-" + std::to_string(id) + ".bin");
    std::ofstream(receipt.picture, std::ios::binary) << picture;
    std::ofstream(receipt.raw, std::ios::binary) << raw;
    store_.Add(std::move(receipt));
  }

  std::string Host() const { return "Host: 127.0.0.1:" + std::to_string(server_.port()) + "\r\n"; }

  qrticket::testing::TempDir dir_;
  ReceiptStore store_;
  WebServer server_{WebOptions{}, store_};
};

bool HeadHas(const HttpAnswer& answer, const std::string& text) {
  return answer.head.find(text) != std::string::npos;
}

TEST_F(WebServerTest, PrintsItsAddress) {
  EXPECT_EQ(server_.url(), "http://127.0.0.1:" + std::to_string(server_.port()) + "/");
}

TEST_F(WebServerTest, ServesThePageWithItsOwnFilesOnly) {
  const HttpAnswer page = HttpGet(server_.port(), "/");
  EXPECT_EQ(page.status, 200);
  EXPECT_TRUE(HeadHas(page, "Content-Type: text/html; charset=utf-8"));
  EXPECT_TRUE(HeadHas(page, "Content-Security-Policy: default-src 'none'; script-src 'self'"));
  EXPECT_NE(page.body.find("Bancada de talões"), std::string::npos);
  // Nothing from another origin: every src and href is a path of this server.
  EXPECT_EQ(page.body.find("http"), std::string::npos);
  EXPECT_EQ(page.body.find("<script>"), std::string::npos);  // no inline script to allow
  const HttpAnswer script = HttpGet(server_.port(), "/bancada.js");
  EXPECT_EQ(script.status, 200);
  EXPECT_TRUE(HeadHas(script, "Content-Type: text/javascript"));
  EXPECT_EQ(script.body.find("innerHTML"), std::string::npos);
  EXPECT_EQ(HttpGet(server_.port(), "/bancada.css").status, 200);
}

TEST_F(WebServerTest, ListsTheReceiptsNewestFirst) {
  const HttpAnswer list = HttpGet(server_.port(), "/api/receipts");
  EXPECT_EQ(list.status, 200);
  EXPECT_TRUE(HeadHas(list, "Content-Type: application/json"));
  EXPECT_EQ(list.body.rfind("[{\"id\":2,", 0), 0u) << list.body;
  EXPECT_NE(list.body.find("\"sender\":\"127.0.0.1:40002\",\"bytes\":7,"), std::string::npos);
  EXPECT_NE(list.body.find("\"picture\":\"/recibos/1.png\",\"raw\":\"/recibos/1.bin\"}]"),
            std::string::npos);
}

TEST_F(WebServerTest, ServesEachReceiptsPictureAndBytes) {
  const HttpAnswer picture = HttpGet(server_.port(), "/recibos/2.png");
  EXPECT_EQ(picture.status, 200);
  EXPECT_TRUE(HeadHas(picture, "Content-Type: image/png"));
  EXPECT_EQ(picture.body, "PICTURE-2");
  const HttpAnswer raw = HttpGet(server_.port(), "/recibos/1.bin");
  EXPECT_EQ(raw.status, 200);
  EXPECT_TRUE(HeadHas(raw, "Content-Disposition: attachment; filename=\"talao-1.bin\""));
  EXPECT_EQ(raw.body, "BYTES-1");
}

TEST_F(WebServerTest, TheButtonsPostEmptiesTheList) {
  const HttpAnswer answer = HttpExchange(
      server_.port(), "POST /api/clear HTTP/1.1\r\n" + Host() + "Origin: http://127.0.0.1:" +
                          std::to_string(server_.port()) +
                          "\r\nX-Bancada: limpar\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(answer.status, 204);
  EXPECT_TRUE(store_.NewestFirst().empty());
  EXPECT_EQ(HttpGet(server_.port(), "/api/receipts").body, "[]");
  EXPECT_EQ(HttpGet(server_.port(), "/recibos/1.png").status, 404);
  EXPECT_TRUE(fs::exists(dir_.path() / "ticket-1.png"));  // the operator's own folder
}

struct HostileRow {
  const char* name;
  std::string request;  // "{HOST}" stands for this server's Host line
  int status;
};

class HostileRequests : public WebServerTest, public ::testing::WithParamInterface<HostileRow> {};

TEST_P(HostileRequests, AreRefusedAndChangeNothing) {
  std::string request = GetParam().request;
  if (const auto at = request.find("{HOST}"); at != std::string::npos)
    request.replace(at, 6, Host());
  const HttpAnswer answer = HttpExchange(server_.port(), request);
  EXPECT_EQ(answer.status, GetParam().status) << answer.head;
  EXPECT_EQ(answer.body.find("root:"), std::string::npos);
  EXPECT_EQ(answer.body.find("PICTURE"), std::string::npos);
  EXPECT_EQ(store_.NewestFirst().size(), 2u);
  EXPECT_TRUE(fs::exists(dir_.path() / "ticket-1.png"));
  EXPECT_TRUE(fs::exists(dir_.path() / "ticket-2.bin"));
  // And the server still answers.
  EXPECT_EQ(HttpGet(server_.port(), "/recibos/1.png").body, "PICTURE-1");
}

const std::string kClose = "Connection: close\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, HostileRequests,
    ::testing::Values(
        HostileRow{"dot_dot", "GET /../../../../etc/passwd HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"dot_dot_under_receipts",
                   "GET /recibos/../../../../etc/passwd HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"encoded_dot_dot",
                   "GET /%2e%2e/%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"encoded_dot_dot_under_receipts",
                   "GET /recibos/%2e%2e%2f%2e%2e%2fetc%2fpasswd HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"dot_dot_after_a_picture",
                   "GET /recibos/1.png/../../../etc/passwd HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"the_report_beside_a_picture",
                   "GET /recibos/1.txt HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"a_receipt_never_received",
                   "GET /recibos/99.png HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"receipt_zero", "GET /recibos/0.png HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"absolute_path_as_target",
                   "GET /etc/passwd HTTP/1.1\r\n{HOST}" + kClose, 404},
        HostileRow{"huge_header",
                   "GET / HTTP/1.1\r\n{HOST}X-Big: " + std::string(20000, 'a') + "\r\n" + kClose,
                   400},
        HostileRow{"huge_target", "GET /" + std::string(20000, 'a') + " HTTP/1.1\r\n{HOST}" + kClose,
                   414},
        HostileRow{"post_to_the_page",
                   "POST / HTTP/1.1\r\n{HOST}Content-Length: 3\r\n" + kClose + "abc", 405},
        HostileRow{"put_to_the_list",
                   "PUT /api/receipts HTTP/1.1\r\n{HOST}Content-Length: 2\r\n" + kClose + "[]",
                   405},
        HostileRow{"delete_a_picture",
                   "DELETE /recibos/1.png HTTP/1.1\r\n{HOST}" + kClose, 405},
        HostileRow{"options_before_clearing",
                   "OPTIONS /api/clear HTTP/1.1\r\n{HOST}Origin: http://elsewhere.example\r\n"
                   "Access-Control-Request-Method: POST\r\n" + kClose, 405},
        HostileRow{"clear_without_the_pages_header",
                   "POST /api/clear HTTP/1.1\r\n{HOST}Content-Length: 0\r\n" + kClose, 403},
        HostileRow{"clear_from_another_origin",
                   "POST /api/clear HTTP/1.1\r\n{HOST}Origin: http://elsewhere.example\r\n"
                   "X-Bancada: limpar\r\nContent-Length: 0\r\n" + kClose, 403},
        HostileRow{"clear_with_a_huge_body",
                   "POST /api/clear HTTP/1.1\r\n{HOST}X-Bancada: limpar\r\nContent-Length: "
                   "100000\r\n" + kClose + std::string(100000, 'x'), 413},
        HostileRow{"another_host_name",
                   "GET /api/receipts HTTP/1.1\r\nHost: elsewhere.example:80\r\n" + kClose, 403},
        HostileRow{"clear_under_another_host_name",
                   "POST /api/clear HTTP/1.1\r\nHost: elsewhere.example\r\nX-Bancada: limpar\r\n"
                   "Content-Length: 0\r\n" + kClose, 403}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebServerTest, TheEventStreamCarriesEachNewReceiptAndTheClearing) {
  EventStream stream(server_.port());
  ASSERT_TRUE(stream.connected());
  ASSERT_NE(stream.ReadUntil("retry:", 5s), "") << stream.received();
  EXPECT_NE(stream.received().find("Content-Type: text/event-stream"), std::string::npos);
  Add(3, "PICTURE-3", "<script>alert(1)</script>");
  const std::string got = stream.ReadUntil("\"id\":3", 5s);
  ASSERT_NE(got, "") << stream.received();
  EXPECT_NE(got.find("event: receipt\ndata: {\"id\":3,"), std::string::npos);
  store_.Clear();
  EXPECT_NE(stream.ReadUntil("event: clear\n", 5s), "");
}

TEST(WebServerBound, RefusesPagesBeyondItsBoundAndTakesOneWhenAnotherGoes) {
  ReceiptStore store;
  WebOptions options;
  options.maxPageClients = 2;
  WebServer server(options, store);
  auto first = std::make_unique<EventStream>(server.port());
  EventStream second(server.port());
  ASSERT_NE(first->ReadUntil("retry:", 5s), "");
  ASSERT_NE(second.ReadUntil("retry:", 5s), "");
  {
    EventStream third(server.port());
    EXPECT_NE(third.ReadUntil("HTTP/1.1 503", 5s), "") << third.received();
    EXPECT_NE(third.ReadUntil("no máximo 2", 5s), "");
  }
  first.reset();  // the page is closed: its place is free once the server notices
  bool taken = false;
  for (int attempt = 0; attempt < 50 && !taken; ++attempt) {
    EventStream again(server.port());
    taken = again.ReadUntil("retry:", 2s) != "";
    if (!taken) std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(taken);
}

TEST(WebServerBound, StopsWhilePagesFollowTheStream) {
  ReceiptStore store;
  auto server = std::make_unique<WebServer>(WebOptions{}, store);
  EventStream stream(server->port());
  ASSERT_NE(stream.ReadUntil("retry:", 5s), "");
  const auto started = std::chrono::steady_clock::now();
  server.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

TEST(LoopbackHost, NamesOnlyThisMachine) {
  for (const char* host : {"127.0.0.1", "127.1.2.3", "localhost", "LocalHost", "::1", "[::1]"})
    EXPECT_TRUE(IsLoopbackHost(host)) << host;
  for (const char* host : {"0.0.0.0", "192.168.1.10", "127.0.0.1.example", "localhost.example",
                           "127.0.0", "::", "", "127.0.0.1."})
    EXPECT_FALSE(IsLoopbackHost(host)) << host;
}

}  // namespace
}  // namespace qrticket::viewer::web
