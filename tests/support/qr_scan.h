// A real QR decoder (zbar) for the symbol and virtual printer tests, and pictures to feed it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "devices/bytes.h"
#include "symbols/qr_encoder.h"

namespace qrticket::testing {

// An 8-bit grey picture, 255 white.
struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// The pixels of a PNG file as 8-bit grey; width 0 when it cannot be read.
GreyPicture ReadGreyPng(const std::filesystem::path& file);

// Every QR symbol zbar finds, as raw bytes (no character set guessing).
std::vector<Bytes> ScanQr(const GreyPicture& picture);

// `grid` drawn at `moduleSize` dots per module inside a white border of `border` dots.
GreyPicture DrawGrid(const QrGrid& grid, int moduleSize, int border = 40);

// The part of `picture` from (x, y), `width` by `height`, inside a white border of `border`.
GreyPicture Crop(const GreyPicture& picture, int x, int y, int width, int height,
                 int border = 40);

// Bytes read as ISO-8859-1 (byte b is U+00bb), written as UTF-8: worked out here, by the
// definition, rather than by the code under test.
std::string ReadAsIsoLatin1(BytesView bytes);

}  // namespace qrticket::testing
