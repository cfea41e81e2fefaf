// Invoice QR codes on the paper against Portaria 195/2020: symbols the printer drew from its
// own commands are judged as they are drawn; symbols inside pictures are read back from the
// dots once the paper is complete, since a picture often comes in strips of several commands.
#include <algorithm>

#include "picture_symbols.h"
#include "portaria/portaria_printed.h"
#include "portaria/portaria_texts.h"
#include "ticket_renderer_impl.h"

namespace qrticket::viewer {
namespace {

// Pictures closer than this are strips of one: a symbol may span them.
constexpr int kStripGap = 8;
// White added around a band of pictures: a symbol drawn to the picture's edge still gets the
// quiet zone a decoder looks for (4 modules of up to 16 dots).
constexpr int kQuietZone = 64;
// Rows of paper read at once: a symbol on 80 mm paper is at most 576 dots across, and 1728
// tall when a picture stretches it (ESC * 8-dot images, 3 dots per bit).
constexpr int kWindowRows = 4096;

std::string VersionText(const PictureSymbol& s) {
  if (s.version == 0) return "desconhecida";
  return s.micro ? "M" + std::to_string(s.version) + " (Micro QR)" : std::to_string(s.version);
}

}  // namespace

void TicketRenderer::Impl::AddPortariaLines(BytesView data,
                                            const std::optional<portaria::PrintedSymbol>& symbol) {
  const auto findings = portaria::CheckPrinted(data, symbol);
  if (!findings) return;
  const std::string text = portaria::PortariaReport(*findings);
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    report_.Add(text.substr(start, end - start));
    start = end + 1;
  }
}

void TicketRenderer::Impl::NoteImage(std::size_t at, const std::string& command, int x, int y,
                                     int width, int height) {
  if (!kReadsPictureSymbols || imageAreas_.size() == kMaxElements) return;
  imageAreas_.push_back({at, command, x, y, width, height});
}

void TicketRenderer::Impl::ReadImageSymbols() {
  std::sort(imageAreas_.begin(), imageAreas_.end(),
            [](const ImageArea& a, const ImageArea& b) { return a.y < b.y; });
  std::vector<std::pair<int, int>> judged;  // corners of the symbols already reported
  for (std::size_t first = 0; first < imageAreas_.size();) {
    // One band: the pictures whose rows touch or nearly touch.
    const int bandTop = imageAreas_[first].y;
    int bandBottom = bandTop + imageAreas_[first].height;
    std::size_t last = first + 1;
    while (last < imageAreas_.size() && imageAreas_[last].y <= bandBottom + kStripGap) {
      bandBottom = std::max(bandBottom, imageAreas_[last].y + imageAreas_[last].height);
      ++last;
    }
    bandBottom = std::min(bandBottom, paper_.height());
    // A tall band is read in windows that overlap by half, so that memory stays bounded and
    // every symbol up to kWindowRows / 2 tall lies whole in one of them.
    for (int top = bandTop; top < bandBottom; top += kWindowRows / 2) {
      const int bottom = std::min(top + kWindowRows, bandBottom);
      const int width = paper_.width() + 2 * kQuietZone;
      const int height = bottom - top + 2 * kQuietZone;
      std::vector<std::uint8_t> window(static_cast<std::size_t>(width) * height, Paper::kWhite);
      for (int y = top; y < bottom; ++y) {
        std::copy_n(paper_.Row(y), paper_.width(),
                    window.begin() + static_cast<std::ptrdiff_t>(y - top + kQuietZone) * width +
                        kQuietZone);
      }
      for (const PictureSymbol& s : ReadPictureSymbols({window.data(), width, height})) {
        const int x = s.x - kQuietZone, y = s.y - kQuietZone + top;
        if (!portaria::IsInvoiceCode(s.data) ||
            std::find(judged.begin(), judged.end(), std::pair{x, y}) != judged.end()) {
          continue;
        }
        judged.emplace_back(x, y);
        // Named after the picture it begins in (the band's first when none holds its corner).
        const ImageArea* source = &imageAreas_[first];
        for (std::size_t i = first; i < last; ++i) {
          const ImageArea& a = imageAreas_[i];
          if (x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height) {
            source = &a;
            break;
          }
        }
        report_.Add(say::QrReadFromImage(
            source->offset, source->command, VersionText(s), s.level, s.moduleWidth,
            s.moduleHeight, s.data.size(), s.width, s.height,
            portaria::MillimetresAt(s.width, options_.dpi),
            portaria::MillimetresAt(s.height, options_.dpi), options_.dpi, x, y));
        // A stretched symbol is only as big as its shorter side.
        AddPortariaLines(s.data, portaria::PrintedSymbol{s.level, s.version, s.micro,
                                                         std::min(s.width, s.height),
                                                         options_.dpi});
      }
      if (bottom == bandBottom) break;
    }
    first = last;
  }
}

}  // namespace qrticket::viewer
