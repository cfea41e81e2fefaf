// PNG output of a rendered ticket with libpng: 1-bit grey when the picture is pure black and
// white (as a thermal printer's is), 8-bit grey otherwise.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "render_ticket.h"

namespace qrticket::viewer {

// Raised with a Portuguese description when the PNG cannot be made or written.
class PngError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The PNG file's bytes. Throws PngError.
std::vector<std::uint8_t> EncodePng(int width, int height,
                                    const std::vector<std::uint8_t>& pixels);

// Writes the picture to `path` (replacing it). Throws PngError.
void WritePng(const RenderedTicket& ticket, const std::filesystem::path& path);

// Writes PNG bytes made by EncodePng to `path` (replacing it). Throws PngError.
void SavePng(const std::vector<std::uint8_t>& png, const std::filesystem::path& path);

}  // namespace qrticket::viewer
