// Pictures decoded with ZXing-C++ (Debian's libzxing-dev 1.4). Its outline of an upright
// symbol is exact to the dot; the module size and version are measured on the dots, as 1.4
// does not give the version.
#include <algorithm>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include "picture_symbols.h"

namespace qrticket::viewer {

const bool kReadsPictureSymbols = true;

std::vector<PictureSymbol> ReadPictureSymbols(const GreyView& picture) {
  std::vector<PictureSymbol> symbols;
  if (picture.width <= 0 || picture.height <= 0) return symbols;
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::MicroQRCode);
  // The paper holds only 0 and 255: any threshold between reads it exactly.
  hints.setBinarizer(ZXing::Binarizer::FixedThreshold);
  const ZXing::ImageView image(picture.pixels, picture.width, picture.height,
                               ZXing::ImageFormat::Lum);
  for (const ZXing::Result& result : ZXing::ReadBarcodes(image, hints)) {
    if (!result.isValid()) continue;
    PictureSymbol symbol;
    const ZXing::ByteArray& bytes = result.bytes();
    symbol.data.assign(bytes.begin(), bytes.end());
    const std::string level = result.ecLevel();
    symbol.level = level.empty() ? '?' : level.front();
    symbol.micro = result.format() == ZXing::BarcodeFormat::MicroQRCode;
    const ZXing::Position& p = result.position();
    const int xs[] = {p.topLeft().x, p.topRight().x, p.bottomRight().x, p.bottomLeft().x};
    const int ys[] = {p.topLeft().y, p.topRight().y, p.bottomRight().y, p.bottomLeft().y};
    symbol.x = *std::min_element(std::begin(xs), std::end(xs));
    symbol.y = *std::min_element(std::begin(ys), std::end(ys));
    symbol.width = *std::max_element(std::begin(xs), std::end(xs)) - symbol.x;
    symbol.height = *std::max_element(std::begin(ys), std::end(ys)) - symbol.y;
    MeasureModules(picture, symbol);
    symbols.push_back(std::move(symbol));
  }
  std::sort(symbols.begin(), symbols.end(), [](const PictureSymbol& a, const PictureSymbol& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  return symbols;
}

}  // namespace qrticket::viewer
