// Settings for our tickets; zbar over a rendered picture.
#include "viewer_test_support.h"

#include "qr_scan.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::viewer::testing {

QrPrintSettings TicketSettings(Bytes data) {
  return QrPrintSettings{.dataText = std::move(data),
                         .deviceName = {},
                         .moduleSizeText = kDefaultModuleSizeText,
                         .modelIndex = kDefaultModelIndex,
                         .errorLevelIndex = kDefaultErrorLevelIndex};
}

std::vector<Bytes> DecodeQr(const RenderedTicket& ticket, int scale) {
  constexpr int kMargin = 40;
  qrticket::testing::GreyPicture picture;
  picture.width = (ticket.width + 2 * kMargin) * scale;
  picture.height = (ticket.height + 2 * kMargin) * scale;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, 255);
  for (int y = 0; y < ticket.height * scale; ++y) {
    for (int x = 0; x < ticket.width * scale; ++x) {
      picture.pixels[static_cast<std::size_t>(y + kMargin * scale) * picture.width + x +
                     kMargin * scale] =
          ticket.pixels[static_cast<std::size_t>(y / scale) * ticket.width + x / scale];
    }
  }
  return qrticket::testing::ScanQr(picture);
}

std::vector<std::uint8_t> SampleModules(const RenderedTicket& ticket, std::size_t index,
                                        int modules) {
  const RenderedSymbol& s = ticket.symbols.at(index);
  std::vector<std::uint8_t> grid;
  for (int row = 0; row < modules; ++row) {
    for (int col = 0; col < modules; ++col) {
      const int x = s.x + col * s.moduleSize + s.moduleSize / 2;
      const int y = s.y + row * s.moduleSize + s.moduleSize / 2;
      grid.push_back(ticket.pixels[static_cast<std::size_t>(y) * ticket.width + x] < 128);
    }
  }
  return grid;
}

bool ReportHas(const RenderedTicket& ticket, const std::string& text) {
  for (const auto& line : ticket.report) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

std::string ReportText(const RenderedTicket& ticket) {
  std::string text;
  for (const auto& line : ticket.report) text += line + "\n";
  return text;
}

}  // namespace qrticket::viewer::testing
