// ZXing-C++ over a rendered ticket.
#define ZX_USE_UTF8 1
#include "code_reader.h"

#include <ZXing/ReadBarcode.h>

namespace qrticket::viewer::testing {

std::vector<ReadCode> ReadCodes(const RenderedTicket& ticket, int scale, bool pure) {
  constexpr int kMargin = 40;
  const int width = (ticket.width + 2 * kMargin) * scale;
  const int height = (ticket.height + 2 * kMargin) * scale;
  std::vector<std::uint8_t> grey(static_cast<std::size_t>(width) * height, 255);
  for (int y = 0; y < ticket.height * scale; ++y) {
    for (int x = 0; x < ticket.width * scale; ++x) {
      grey[static_cast<std::size_t>(y + kMargin * scale) * width + x + kMargin * scale] =
          ticket.pixels[static_cast<std::size_t>(y / scale) * ticket.width + x / scale];
    }
  }
  // One format at a time, one symbol per format: libzxing 1.4's ReadBarcodes asserts while
  // merging the lines of linear codes it found more than once.
  std::vector<ReadCode> found;
  for (const auto format : ZXing::BarcodeFormats(ZXing::BarcodeFormat::Any)) {
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setIsPure(pure);
    hints.setReturnCodabarStartEnd(true);
    const auto result = ZXing::ReadBarcode(
        ZXing::ImageView(grey.data(), width, height, ZXing::ImageFormat::Lum), hints);
    if (result.isValid()) {
      const auto& bytes = result.bytes();
      found.push_back({ZXing::ToString(result.format()),
                       Bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                       result.text()});
    }
  }
  return found;
}

}  // namespace qrticket::viewer::testing
