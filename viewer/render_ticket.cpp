// Plays the parsed events on a model printer in standard mode and draws the paper.
#include "render_ticket.h"

#include <algorithm>
#include <type_traits>

#include "bit_image.h"
#include "escpos_parser.h"
#include "glyph_font.h"
#include "line_buffer.h"
#include "paper.h"
#include "printer_state.h"
#include "qr_commands_state.h"
#include "render_report.h"
#include "symbol_facts_text.h"
#include "text_encoding.h"

namespace qrticket::viewer {
namespace {

class Renderer {
 public:
  Renderer(BytesView stream, const RenderOptions& options)
      : stream_(stream),
        options_(options),
        paper_(options.paperWidth, options.maxHeight),
        font_(options.fontPath.empty() ? FindFontPath() : options.fontPath),
        line_(paper_.width()) {}

  RenderedTicket Run() {
    if (!font_.available()) {
      report_.Add(say::FontMissing(options_.fontPath.empty() ? FindFontPath()
                                                             : options_.fontPath));
    }
    for (const Event& event : ParseEscPos(stream_)) {
      std::visit([this](const auto& e) { On(e); }, event);
    }
    if (!line_.empty()) report_.Add(say::LineLeftInBuffer(line_.size()));
    paper_.Extend(std::max(y_, kDefaultLineSpacing));
    if (paper_.clipped()) report_.Add(say::PaperLimit(paper_.maxHeight()));

    RenderedTicket ticket;
    ticket.width = paper_.width();
    ticket.height = paper_.height();
    ticket.pixels = paper_.TakePixels();
    ticket.report = report_.Take();
    ticket.symbols = std::move(symbols_);
    ticket.elements = std::move(elements_);
    return ticket;
  }

 private:
  // Prints the line buffer at the current position; returns its height (0 when empty).
  int PrintBuffer() {
    const int height = line_.tallest();
    if (!line_.empty()) line_.Draw(paper_, font_, y_, state_.justification);
    line_.Clear();
    return height;
  }
  void Feed(int dots) {
    y_ = std::min(y_ + dots, paper_.maxHeight() + 1);
    paper_.Extend(y_);
  }
  void PrintAndFeedLine() { Feed(std::max(PrintBuffer(), state_.lineSpacing)); }

  void On(const TextRun& e) {
    for (const char c : e.bytes) {
      const char32_t codePoint = Cp1252ToCodePoint(static_cast<unsigned char>(c));
      if (line_.Add(codePoint, state_.style)) continue;
      PrintAndFeedLine();  // a full line prints by itself, as on paper
      line_.Add(codePoint, state_.style);
    }
  }
  void On(const LineFeed&) { PrintAndFeedLine(); }
  void On(const HorizontalTab&) { line_.Tab(); }
  void On(const FeedLines& e) {
    const int printed = PrintBuffer();
    const int spacing = state_.lineSpacing;
    Feed(e.lines == 0 ? printed : std::max(printed, spacing) + (e.lines - 1) * spacing);
  }
  void On(const FeedDots& e) { Feed(std::max(PrintBuffer(), e.dots)); }
  void On(const Initialise&) {
    line_.Clear();
    state_.Reset();
    qr_.Reset();
  }
  void On(const Justify& e) { state_.Apply(e); }
  void On(const Emphasis& e) { state_.Apply(e); }
  void On(const Underline& e) { state_.Apply(e); }
  void On(const PrintMode& e) { state_.Apply(e); }
  void On(const SelectFont& e) { state_.Apply(e); }
  void On(const CharacterSize& e) { state_.Apply(e); }
  void On(const LineSpacing& e) { state_.Apply(e); }
  void On(const Cut& e) {
    if (!line_.empty()) PrintAndFeedLine();
    report_.Add(say::PaperCut(e.offset));
    paper_.CutLine(y_ + 6);
    Feed(14);
  }
  void On(const PageModeCommand& e) {
    const std::size_t at = e.offset;
    switch (e.which) {
      case 'L':
        state_.pageMode = true;
        report_.Add(say::PageModeEntered(at));
        return;
      case 'F':
        report_.Add(state_.pageMode ? say::PagePrinted(at) : say::PagePrintInStandardMode(at));
        return;
      case 'S':
        report_.Add(state_.pageMode ? say::StandardModeAgain(at)
                                    : say::StandardModeInStandardMode(at));
        state_.pageMode = false;
        return;
    }
  }
  void On(const QrFunction& e) {
    if (auto symbol = qr_.Apply(e, report_)) Draw(*symbol);
  }
  void On(const WoosimQr& e) {
    if (auto symbol = PrepareWoosimSymbol(e, report_)) Draw(*symbol);
  }
  // GS v 0 prints whatever waits in the line buffer first; ESC a places the image, and dots
  // past the paper's edge are read and dropped.
  void On(const RasterImage& e) {
    const auto scale = RasterModeScale(e.mode);
    if (!scale || e.widthBytes == 0 || e.rows == 0) {
      report_.Add(say::ImageRefused(e.offset, "GS v 0", e.mode, e.widthBytes * 8, e.rows));
      return;
    }
    if (!line_.empty()) PrintAndFeedLine();
    const int width = e.widthBytes * 8 * scale->x, height = e.rows * scale->y;
    ImagePlacement where;
    where.left = Justified(width);
    where.top = y_;
    where.clipRight = paper_.width();
    where.scale = *scale;
    DrawRasterRows(paper_, where, e.data, e.widthBytes, e.rows);
    Placed(e.offset, "GS v 0", "imagem", where.left, width, height);
    Feed(height);
  }
  void On(const Skipped& e) {
    report_.Add(e.known ? say::SkippedKnown(e.offset, e.command, e.repeats)
                        : say::SkippedUnknown(e.offset, e.command, e.repeats));
  }
  void On(const Truncated& e) { report_.Add(say::Truncated(e.offset, e.command)); }

  // Left edge of something `width` dots wide at the current justification.
  int Justified(int width) const {
    const int room = std::max(paper_.width() - width, 0);
    return state_.justification == 1 ? room / 2 : state_.justification == 2 ? room : 0;
  }

  // Notes an image or bar code drawn at the current line.
  void Placed(std::size_t at, const std::string& command, const std::string& kind, int x,
              int width, int height) {
    report_.Add(say::ElementDrawn(at, command, kind, width, height, x, y_,
                                  x + width > paper_.width()));
    elements_.push_back({command, kind, x, y_, width, height});
  }

  // The symbol prints after whatever waits in the line buffer, at the current justification.
  void Draw(const QrToDraw& qr) {
    if (!line_.empty()) PrintAndFeedLine();
    const QrSymbol& s = qr.symbol;
    const int dots = s.modules * qr.moduleSize;
    const bool fits = dots <= paper_.width();
    const std::string version =
        (s.micro ? "M" : "") + std::to_string(s.version) + (s.micro ? " (Micro QR)" : "");
    report_.Add(say::QrSymbolLine(qr.offset, qr.command, version, LevelLetter(qr.level),
                                  qr.moduleSize, qr.data.size(), dots, paper_.width(), fits));
    // Bytes 0x80..0x9F are where Windows-1252 and a reader's ISO-8859-1 part ways.
    if (std::any_of(qr.data.begin(), qr.data.end(), [](char c) {
          return static_cast<unsigned char>(c) >= 0x80 && static_cast<unsigned char>(c) <= 0x9F;
        }))
      report_.Add(say::QrReaderText(qr.offset, VisibleReaderText(Latin1ToUtf8(qr.data), 200)));
    if (!fits) return;
    const int left = state_.justification == 1   ? (paper_.width() - dots) / 2
                     : state_.justification == 2 ? paper_.width() - dots
                                           : 0;
    paper_.Extend(y_ + dots);
    for (int row = 0; row < s.modules; ++row) {
      for (int col = 0; col < s.modules; ++col) {
        if (s.dark[row * s.modules + col]) {
          paper_.Fill(left + col * qr.moduleSize, y_ + row * qr.moduleSize, qr.moduleSize,
                      qr.moduleSize);
        }
      }
    }
    symbols_.push_back({qr.command, s.micro, s.version, LevelLetter(qr.level), qr.moduleSize,
                        Bytes(qr.data), left, y_, dots});
    Feed(dots);
  }

  BytesView stream_;
  RenderOptions options_;
  Paper paper_;
  GlyphFont font_;
  LineBuffer line_;
  Report report_;
  QrCommandState qr_;
  PrinterState state_;
  int y_ = 0;
  std::vector<RenderedSymbol> symbols_;
  std::vector<DrawnElement> elements_;
};

}  // namespace

RenderedTicket RenderTicket(BytesView stream, const RenderOptions& options) {
  return Renderer(stream, options).Run();
}

}  // namespace qrticket::viewer
