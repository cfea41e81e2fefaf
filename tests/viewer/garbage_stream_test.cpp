// Whatever the bytes, the virtual printer draws something sane and never crashes: random
// streams biased towards command bytes, every prefix of a real ticket, and lengths that point
// past the end. Bounded: a fixed seed and a fixed number of streams.
#include <gtest/gtest.h>

#include <random>

#include "escpos_parser.h"
#include "render_ticket.h"
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

// A block of the same unknown byte is one event, not one per byte: a 4 MiB job of NULs would
// otherwise hold millions of events.
TEST(Garbage, ARunOfTheSameSkippedByteIsOneEvent) {
  const Bytes stream = Bytes(100000, '\0') + "x\n" + Bytes(3, '\x01');
  const std::vector<Event> events = ParseEscPos(stream);
  ASSERT_EQ(events.size(), 4u);
  const auto* nuls = std::get_if<Skipped>(&events[0]);
  ASSERT_NE(nuls, nullptr);
  EXPECT_EQ(nuls->offset, 0u);
  EXPECT_EQ(nuls->repeats, 100000u);
  const auto* ones = std::get_if<Skipped>(&events[3]);
  ASSERT_NE(ones, nullptr);
  EXPECT_EQ(ones->offset, 100002u);
  EXPECT_EQ(ones->repeats, 3u);
  const RenderedTicket ticket = RenderTicket(stream);
  ASSERT_FALSE(ticket.report.empty());
  EXPECT_NE(ticket.report[0].find("100000 vezes"), std::string::npos) << ticket.report[0];
}

TEST(Garbage, EveryPrefixOfARealTicket) {
  for (const bool woosim : {false, true}) {
    QrPrintSettings settings = testing::TicketSettings("prefix test");
    settings.woosimDialect = woosim;
    settings.pageMode = true;
    const Bytes ticket = testing::WriteTicket(settings);
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
