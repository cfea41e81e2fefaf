// The ticket with --raster drawn by the virtual printer: the GS v 0 image scans back with zbar
// to the text, and sits where the printer's own symbol of the same version sits, centred or not.
#include <gtest/gtest.h>

#include "qr_scan.h"
#include "render_ticket.h"
#include "symbol_settings.h"
#include "symbols/raster_ticket_symbol.h"
#include "ticket/ticket_defaults.h"
#include "ticket_bytes.h"

namespace qrticket {
namespace {

using testing::Crop;
using testing::ScanQr;
using testing::Settings;
using testing::TicketBytes;

QrPrintSettings Raster(QrPrintSettings settings) {
  settings.symbolImage = &DrawTicketSymbol;
  return settings;
}

const viewer::DrawnElement* ImageOf(const viewer::RenderedTicket& ticket) {
  for (const viewer::DrawnElement& e : ticket.elements)
    if (e.command == "GS v 0") return &e;
  return nullptr;
}

std::string Report(const viewer::RenderedTicket& ticket) {
  std::string text;
  for (const std::string& line : ticket.report) text += line + "\n";
  return text;
}

struct ViewRow {
  const char* name;
  QrPrintSettings settings;
  bool pageMode = false;
  bool centred = false;
};
void PrintTo(const ViewRow& row, std::ostream* os) { *os << row.name; }

class RasterOnTheVirtualPrinter : public ::testing::TestWithParam<ViewRow> {};

TEST_P(RasterOnTheVirtualPrinter, DecodesToTheText) {
  QrPrintSettings settings = Raster(GetParam().settings);
  settings.pageMode = GetParam().pageMode;
  settings.centred = GetParam().centred;
  const viewer::RenderedTicket ticket = viewer::RenderTicket(TicketBytes(settings));
  EXPECT_TRUE(ticket.symbols.empty()) << "no QR command: " << Report(ticket);
  const viewer::DrawnElement* image = ImageOf(ticket);
  ASSERT_NE(image, nullptr) << Report(ticket);
  const testing::GreyPicture picture{ticket.width, ticket.height, ticket.pixels};
  const std::vector<Bytes> decoded =
      ScanQr(Crop(picture, image->x, image->y, image->width, image->height));
  ASSERT_EQ(decoded.size(), 1u) << Report(ticket);
  EXPECT_EQ(decoded[0], settings.dataText);
}

const Bytes kSample = kSampleDataText;

INSTANTIATE_TEST_SUITE_P(
    Tickets, RasterOnTheVirtualPrinter,
    ::testing::Values(ViewRow{"Sample", Settings(kSample)},
                      ViewRow{"SampleCentred", Settings(kSample), false, true},
                      ViewRow{"PageModeCentred", Settings(kSample, "5"), true, true},
                      ViewRow{"ThreeDotsLevelH", Settings(kSample, "3", 1, 3)},
                      ViewRow{"TwoDotsLong", Settings(Bytes(900, 'q'), "2", 1, 0)},
                      ViewRow{"Widest80", Settings(kSample, "10")}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the printer draws its own symbol of the same version (200 bytes: version 10 both
// ways), the image's symbol starts on the same dot: at the margin, or centred.
TEST(RasterOnTheVirtualPrinter, SitsWhereThePrintersSymbolSits) {
  for (const char* size : {"5", "6", "7", "8"}) {
    for (const bool centred : {false, true}) {
      SCOPED_TRACE(std::string(size) + (centred ? " centred" : ""));
      QrPrintSettings settings = Settings(Bytes(200, 'k'), size);
      settings.centred = centred;
      const viewer::RenderedTicket native = viewer::RenderTicket(TicketBytes(settings));
      const viewer::RenderedTicket drawn = viewer::RenderTicket(TicketBytes(Raster(settings)));
      ASSERT_EQ(native.symbols.size(), 1u);
      ASSERT_EQ(native.symbols[0].version, 10);
      const viewer::DrawnElement* image = ImageOf(drawn);
      ASSERT_NE(image, nullptr);
      const viewer::RenderedSymbol& symbol = native.symbols[0];
      EXPECT_EQ(image->y, symbol.y);
      EXPECT_EQ(image->height, symbol.sizeDots);
      // The finder patterns' top row: dark from the symbol's first dot to its last, white on
      // either side, on the image's paper as on the printer's.
      const auto dark = [&drawn, &symbol](int x) {
        return drawn.pixels[static_cast<std::size_t>(symbol.y) * drawn.width + x] == 0;
      };
      EXPECT_FALSE(dark(symbol.x - 1));
      EXPECT_TRUE(dark(symbol.x));
      EXPECT_TRUE(dark(symbol.x + symbol.sizeDots - 1));
      EXPECT_FALSE(dark(symbol.x + symbol.sizeDots));
    }
  }
}

}  // namespace
}  // namespace qrticket
