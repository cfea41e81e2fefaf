// libpng reports errors by longjmp; the encoder keeps everything with a destructor outside the
// setjmp frame and turns the jump into a PngError.
#include "png_writer.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <fstream>

#include "render_report.h"
#include "utf8_path.h"

namespace qrticket::viewer {
namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// One row packed for the chosen bit depth (1 bit: dark below 128).
void PackRow(const std::uint8_t* src, int width, bool oneBit, std::vector<std::uint8_t>& row) {
  if (!oneBit) {
    row.assign(src, src + width);
    return;
  }
  row.assign((width + 7) / 8, 0);
  for (int x = 0; x < width; ++x) {
    if (src[x] >= 128) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
}

// Returns false when libpng gave up; `out` then holds a partial file. Rows are packed one at
// a time into `row`, so a long ticket costs one row of memory beyond its picture.
bool EncodeRows(int width, int height, bool oneBit, const std::vector<std::uint8_t>& pixels,
                std::vector<std::uint8_t>& row, std::vector<std::uint8_t>& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendToVector, NoFlush);
  png_set_IHDR(png, info, width, height, oneBit ? 1 : 8, PNG_COLOR_TYPE_GRAY,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    PackRow(pixels.data() + static_cast<std::size_t>(y) * width, width, oneBit, row);
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(int width, int height,
                                    const std::vector<std::uint8_t>& pixels) {
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    throw PngError(say::PngEmpty());
  }
  const bool oneBit = std::all_of(pixels.begin(), pixels.end(),
                                  [](std::uint8_t v) { return v == 0 || v == 255; });
  std::vector<std::uint8_t> row;
  row.reserve(static_cast<std::size_t>(width));
  std::vector<std::uint8_t> out;
  if (!EncodeRows(width, height, oneBit, pixels, row, out)) {
    throw PngError(say::PngEncodeFailed());
  }
  return out;
}

void WritePng(const RenderedTicket& ticket, const std::filesystem::path& path) {
  SavePng(EncodePng(ticket.width, ticket.height, ticket.pixels), path);
}

void SavePng(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw PngError(say::PngWriteFailed(Utf8FromPath(path)));
}

}  // namespace qrticket::viewer
