// Whatever the bytes, the virtual printer draws something sane and never crashes: random
// streams biased towards command bytes, every prefix of a real ticket, and lengths that point
// past the end. Bounded: a fixed seed and a fixed number of streams.
#include <gtest/gtest.h>

#include <random>

#include "escpos_parser.h"
#include "render_ticket.h"
#include "ticket_bytes.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

void ExpectSane(const RenderedTicket& t, const RenderOptions& options) {
  ASSERT_EQ(t.width, options.paperWidth);
  ASSERT_GT(t.height, 0);
  ASSERT_LE(t.height, options.maxHeight);
  ASSERT_EQ(t.pixels.size(), static_cast<std::size_t>(t.width) * t.height);
  ASSERT_LE(t.report.size(), 201u);
}

TEST(Garbage, RandomStreamsNeverCrash) {
  std::mt19937 random(20261208);
  // Command bytes come often, so random streams reach deep into the parser.
  const std::string favourites = "\x1b\x1d\x1c\x10\x0a\x0d(kZV!a1PQACE0\xff";
  RenderOptions options;
  options.maxHeight = 4000;
  for (int round = 0; round < 400; ++round) {
    Bytes stream(random() % 1500, '\0');
    for (char& c : stream) {
      c = random() % 3 == 0 ? favourites[random() % favourites.size()]
                            : static_cast<char>(random() % 256);
    }
    ExpectSane(RenderTicket(stream, options), options);
  }
}

// A block of the same skipped byte is counted, not listed: one report line with the count.
TEST(Garbage, ARunOfTheSameSkippedByteIsOneLine) {
  const Bytes stream = Bytes(100000, '\0') + "x\n" + Bytes(3, '\x01') + Bytes(2, '\0');
  const RenderedTicket ticket = RenderTicket(stream);
  EXPECT_TRUE(testing::ReportHas(ticket, "byte 0: comando desconhecido NUL ignorado, 100002 vezes ao todo"))
      << testing::ReportText(ticket);
  EXPECT_TRUE(testing::ReportHas(ticket, "byte 100002: comando desconhecido SOH ignorado, 3 vezes"));
  EXPECT_EQ(ticket.report.size(), 2u) << testing::ReportText(ticket);
}

TEST(Garbage, EveryPrefixOfARealTicket) {
  for (const bool woosim : {false, true}) {
    QrPrintSettings settings = testing::TicketSettings("prefix test");
    settings.woosimDialect = woosim;
    settings.pageMode = true;
    const Bytes ticket = qrticket::testing::TicketBytes(settings);
    RenderOptions options;
    for (std::size_t length = 0; length <= ticket.size(); ++length) {
      ExpectSane(RenderTicket(BytesView(ticket).substr(0, length), options), options);
    }
  }
}

TEST(Garbage, LengthFieldsPastTheEnd) {
  const Bytes streams[] = {
      Bytes("\x1d(k\xff\xff" "1P0abc", 11),         // GS ( k store of 65535 bytes, 3 sent
      Bytes("\x1bZ\x00\x0f\x06\xff\xff" "abc", 10),  // ESC Z declaring 65535 bytes
      Bytes("\x1d" "8L\xff\xff\xff\xff" "0p", 9),    // GS 8 L of 4 GiB
      Bytes("\x1dv0\x00\xff\xff\xff\xff", 8),        // GS v 0 of 65535 x 65535 bytes
      Bytes("\x1b&\x03\x00\xff\x0c", 6),             // ESC & for 256 characters, none sent
  };
  RenderOptions options;
  for (const Bytes& s : streams) {
    const auto t = RenderTicket(s, options);
    ExpectSane(t, options);
    EXPECT_TRUE(testing::ReportHas(t, "incompleto no fim dos dados")) << testing::ReportText(t);
  }
}

}  // namespace
}  // namespace qrticket::viewer
