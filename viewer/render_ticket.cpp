// Plays the parsed events on a model printer in standard mode and draws the paper.
#include "render_ticket.h"

#include <algorithm>
#include <type_traits>

#include "escpos_parser.h"
#include "glyph_font.h"
#include "line_buffer.h"
#include "paper.h"
#include "qr_commands_state.h"
#include "render_report.h"
#include "text_encoding.h"

namespace qrticket::viewer {
namespace {

constexpr int kDefaultLineSpacing = 30;  // dots: about 1/6 inch, the printers' default

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
    return ticket;
  }

 private:
  // Prints the line buffer at the current position; returns its height (0 when empty).
  int PrintBuffer() {
    const int height = line_.tallest();
    if (!line_.empty()) line_.Draw(paper_, font_, y_, justification_);
    line_.Clear();
    return height;
  }
  void Feed(int dots) {
    y_ = std::min(y_ + dots, paper_.maxHeight() + 1);
    paper_.Extend(y_);
  }
  void PrintAndFeedLine() { Feed(std::max(PrintBuffer(), lineSpacing_)); }

  void On(const TextRun& e) {
    for (const char c : e.bytes) {
      const char32_t codePoint = Cp1252ToCodePoint(static_cast<unsigned char>(c));
      if (line_.Add(codePoint, style_)) continue;
      PrintAndFeedLine();  // a full line prints by itself, as on paper
      line_.Add(codePoint, style_);
    }
  }
  void On(const LineFeed&) { PrintAndFeedLine(); }
  void On(const HorizontalTab&) { line_.Tab(); }
  void On(const FeedLines& e) {
    const int printed = PrintBuffer();
    Feed(e.lines == 0 ? printed : std::max(printed, lineSpacing_) + (e.lines - 1) * lineSpacing_);
  }
  void On(const FeedDots& e) { Feed(std::max(PrintBuffer(), e.dots)); }
  void On(const Initialise&) {
    line_.Clear();
    style_ = {};
    justification_ = 0;
    lineSpacing_ = kDefaultLineSpacing;
    pageMode_ = false;
    qr_.Reset();
  }
  void On(const Justify& e) {
    const int mode = e.mode >= 48 ? e.mode - 48 : e.mode;
    if (mode >= 0 && mode <= 2) justification_ = mode;
  }
  void On(const Emphasis& e) { style_.bold = e.on; }
  void On(const Underline& e) { style_.underline = e.dots; }
  void On(const PrintMode& e) {
    style_.font = e.bits & 0x01;
    style_.bold = (e.bits & 0x08) != 0;
    style_.heightScale = (e.bits & 0x10) ? 2 : 1;
    style_.widthScale = (e.bits & 0x20) ? 2 : 1;
    style_.underline = (e.bits & 0x80) ? 1 : 0;
  }
  void On(const SelectFont& e) { style_.font = e.font; }
  void On(const CharacterSize& e) {
    style_.widthScale = e.width;
    style_.heightScale = e.height;
  }
  void On(const LineSpacing& e) { lineSpacing_ = e.dots < 0 ? kDefaultLineSpacing : e.dots; }
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
        pageMode_ = true;
        report_.Add(say::PageModeEntered(at));
        return;
      case 'F':
        report_.Add(pageMode_ ? say::PagePrinted(at) : say::PagePrintInStandardMode(at));
        return;
      case 'S':
        report_.Add(pageMode_ ? say::StandardModeAgain(at) : say::StandardModeInStandardMode(at));
        pageMode_ = false;
        return;
    }
  }
  void On(const QrFunction& e) {
    if (auto symbol = qr_.Apply(e, report_)) Draw(*symbol);
  }
  void On(const WoosimQr& e) {
    if (auto symbol = PrepareWoosimSymbol(e, report_)) Draw(*symbol);
  }
  void On(const Skipped& e) {
    report_.Add(e.known ? say::SkippedKnown(e.offset, e.command)
                        : say::SkippedUnknown(e.offset, e.command));
  }
  void On(const Truncated& e) { report_.Add(say::Truncated(e.offset, e.command)); }

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
    if (!fits) return;
    const int left = justification_ == 1   ? (paper_.width() - dots) / 2
                     : justification_ == 2 ? paper_.width() - dots
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
  TextStyle style_;
  int justification_ = 0;
  int lineSpacing_ = kDefaultLineSpacing;
  bool pageMode_ = false;
  int y_ = 0;
  std::vector<RenderedSymbol> symbols_;
};

}  // namespace

RenderedTicket RenderTicket(BytesView stream, const RenderOptions& options) {
  return Renderer(stream, options).Run();
}

}  // namespace qrticket::viewer
