#include "qr_scan.h"

#include <png.h>
#include <zbar.h>

#include <algorithm>

namespace qrticket::testing {

GreyPicture ReadGreyPng(const std::filesystem::path& file) {
  GreyPicture picture;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return picture;
  image.format = PNG_FORMAT_GRAY;
  picture.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) return {};
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  return picture;
}

std::vector<Bytes> ScanQr(const GreyPicture& picture) {
  zbar::zbar_image_scanner_t* scanner = zbar::zbar_image_scanner_create();
  zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
  zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
  zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
  zbar::zbar_image_t* image = zbar::zbar_image_create();
  zbar::zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
  zbar::zbar_image_set_size(image, picture.width, picture.height);
  // No cleanup handler: the picture keeps its buffer.
  zbar::zbar_image_set_data(image, picture.pixels.data(), picture.pixels.size(), nullptr);
  std::vector<Bytes> found;
  if (zbar::zbar_scan_image(scanner, image) > 0) {
    for (const zbar::zbar_symbol_t* s = zbar::zbar_image_first_symbol(image); s;
         s = zbar::zbar_symbol_next(s))
      found.emplace_back(zbar::zbar_symbol_get_data(s), zbar::zbar_symbol_get_data_length(s));
  }
  zbar::zbar_image_destroy(image);
  zbar::zbar_image_scanner_destroy(scanner);
  return found;
}

GreyPicture DrawGrid(const QrGrid& grid, int moduleSize, int border) {
  GreyPicture picture;
  picture.width = picture.height = grid.modules * moduleSize + 2 * border;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, 255);
  for (int y = 0; y < grid.modules * moduleSize; ++y) {
    for (int x = 0; x < grid.modules * moduleSize; ++x) {
      if (grid.Dark(y / moduleSize, x / moduleSize))
        picture.pixels[static_cast<std::size_t>(y + border) * picture.width + x + border] = 0;
    }
  }
  return picture;
}

GreyPicture Crop(const GreyPicture& picture, int x, int y, int width, int height, int border) {
  GreyPicture out;
  out.width = width + 2 * border;
  out.height = height + 2 * border;
  out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, 255);
  for (int row = 0; row < height && y + row < picture.height; ++row) {
    for (int col = 0; col < width && x + col < picture.width; ++col) {
      out.pixels[static_cast<std::size_t>(row + border) * out.width + col + border] =
          picture.pixels[static_cast<std::size_t>(y + row) * picture.width + x + col];
    }
  }
  return out;
}

std::string ReadAsIsoLatin1(BytesView bytes) {
  std::string utf8;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      utf8 += static_cast<char>(b);
    } else {
      utf8 += static_cast<char>(0xC0 | (b >> 6));
      utf8 += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return utf8;
}

}  // namespace qrticket::testing
