// The model printer: text, positions, feeds and the stream's bounds. Pictures and codes are
// drawn in render_pictures.cpp and render_codes.cpp.
#include "render_ticket.h"

#include <algorithm>
#include <type_traits>

#include "ticket_renderer_impl.h"

namespace qrticket::viewer {

TicketRenderer::Impl::Impl(const RenderOptions& options)
    : options_(options),
      paper_(options.paperWidth, options.maxHeight, options.mayGrow),
      font_(options.fontPath.empty() ? FindFontPath() : options.fontPath),
      line_(paper_.width()),
      state_(paper_.width(), FindCodeTable(options.codeTable)),
      startTableMismatches_(*state_.startTable) {
  if (!font_.available()) {
    report_.Add(say::FontMissing(options_.fontPath.empty() ? FindFontPath() : options_.fontPath));
  }
}

bool TicketRenderer::Impl::Feed(BytesView bytes) {
  if (inputCut_) return false;
  const std::uint64_t room = options_.maxInputBytes - bytesRead_;
  if (bytes.size() > room) {
    bytes = bytes.substr(0, static_cast<std::size_t>(room));
    inputCut_ = true;
  }
  parser_.Feed(bytes, *this);
  bytesRead_ += bytes.size();
  return !inputCut_;
}

void TicketRenderer::Impl::OnEvent(const Event& event) {
  std::visit([this](const auto& e) { On(e); }, event);
}

RenderedTicket TicketRenderer::Impl::Finish() {
  parser_.Finish(*this);
  if (!line_.empty()) report_.Add(say::LineLeftInBuffer(line_.size()));
  FlushColumnImages();
  paper_.Extend(std::max(y_, kDefaultLineSpacing));
  ReadImageSymbols();
  if (paper_.clipped() && !paper_.refusedMemory()) report_.Add(say::PaperLimit(paper_.maxHeight()));
  if (paper_.refusedMemory()) report_.Add(say::PaperOutOfMemory(paper_.height()));
  if (inputCut_) report_.Add(say::InputCut(options_.maxInputBytes, inputSize_));
  if (elements_.size() == kMaxElements) report_.Add(say::ElementsNotListed(kMaxElements));

  RenderedTicket ticket;
  ticket.width = paper_.width();
  ticket.height = paper_.height();
  ticket.pixels = paper_.TakePixels();
  // The start table's line first: it explains the look of the whole text.
  if (auto line = startTableMismatches_.Line()) ticket.report.push_back(std::move(*line));
  for (std::string& line : report_.Take()) ticket.report.push_back(std::move(line));
  ticket.symbols = std::move(symbols_);
  ticket.elements = std::move(elements_);
  ticket.bytesRead = bytesRead_;
  return ticket;
}

void TicketRenderer::Impl::EnsureLine() {
  if (line_.empty()) line_.Begin(state_.Layout());
}

int TicketRenderer::Impl::PrintBuffer() {
  const int height = line_.tallest();
  if (!linePieces_.empty()) {
    for (const ColumnPiece& piece : linePieces_) {
      const int x = line_.PaperX(piece.x, piece.width);
      const int top = y_ + height - piece.height;  // bottom-aligned with the line
      // Bands of one picture follow each other down the paper: they make one report line.
      if (columnRun_ && columnRun_->x == x && columnRun_->width == piece.width &&
          top >= columnRun_->y + columnRun_->height && top <= columnRun_->y + columnRun_->height + 8) {
        columnRun_->height = top + piece.height - columnRun_->y;
        ++columnRun_->bands;
        continue;
      }
      FlushColumnImages();
      columnRun_ = ColumnRun{piece.offset, x, top, piece.width, piece.height, 1};
    }
    linePieces_.clear();
  }
  if (!line_.empty()) line_.PrintOnto(paper_, y_);
  line_.Clear();
  return height;
}

void TicketRenderer::Impl::Feed(int dots) {
  y_ = std::min(y_ + dots, paper_.maxHeight() + 1);
  paper_.Extend(y_);
}

void TicketRenderer::Impl::PrintAndFeedLine() { Feed(std::max(PrintBuffer(), state_.lineSpacing)); }

void TicketRenderer::Impl::StartBlock() {
  if (!line_.empty()) PrintAndFeedLine();
}

int TicketRenderer::Impl::Justified(int width) const {
  const LineLayout area = state_.Layout();
  const int room = std::max(area.areaWidth - width, 0);
  return area.areaLeft + (area.justification == 1 ? room / 2 : area.justification == 2 ? room : 0);
}

void TicketRenderer::Impl::Placed(std::size_t at, const std::string& command,
                                  const std::string& kind, int x, int width, int height,
                                  bool clipped) {
  report_.Add(say::ElementDrawn(at, command, kind, width, height, x, y_, clipped));
  if (elements_.size() < kMaxElements) elements_.push_back({command, kind, x, y_, width, height});
}

void TicketRenderer::Impl::On(const TextRun& e) {
  // A full paper takes no more ink: text past it costs nothing to read.
  if (paper_.full()) return;
  const TextStyle& style = state_.style;
  const int spacing = state_.charSpacing * style.widthScale;
  for (const char c : e.bytes) {
    startTableMismatches_.Printed(static_cast<unsigned char>(c));
    const char32_t codePoint = CharacterOf(*state_.codeTable, static_cast<unsigned char>(c));
    const Glyph& glyph = font_.Get(codePoint == 0 ? U' ' : codePoint, style.font);
    const int width = glyph.size.width * style.widthScale + spacing;
    EnsureLine();
    if (width > line_.room() && !line_.empty()) {
      PrintAndFeedLine();  // a full line prints by itself, as on paper
      EnsureLine();
    }
    line_.PlaceGlyph(glyph, style, spacing);
  }
}

void TicketRenderer::Impl::On(const HorizontalTab&) {
  EnsureLine();
  const int stop = state_.NextTabStop(line_.cursor(), line_.layout().areaWidth);
  if (stop >= 0) line_.MoveTo(stop);
}

void TicketRenderer::Impl::On(const FeedLines& e) {
  const int printed = PrintBuffer();
  const int spacing = state_.lineSpacing;
  Feed(e.lines == 0 ? printed : std::max(printed, spacing) + (e.lines - 1) * spacing);
}

void TicketRenderer::Impl::On(const FeedDots& e) {
  Feed(std::max(PrintBuffer(), state_.VerticalDots(e.units)));
}

void TicketRenderer::Impl::On(const Initialise&) {
  // ESC @ empties the print buffer without printing it and brings back every setting.
  linePieces_.clear();
  line_.Clear();
  state_.Reset();
  startTableMismatches_.AtStartTable(true);
  qr_.Reset();
  symbols2d_.Reset();
  graphics_.Reset();
}

void TicketRenderer::Impl::On(const Cut& e) {
  if (!line_.empty()) PrintAndFeedLine();
  report_.Add(say::PaperCut(e.offset));
  paper_.CutLine(y_ + 6);
  Feed(14);
}

void TicketRenderer::Impl::On(const PageModeCommand& e) {
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

// ESC t n: a table we do not draw is reported and the one in force stays, as a printer
// ignores a table it does not have.
void TicketRenderer::Impl::On(const CodeTable& e) {
  if (const CodeTableInfo* table = FindCodeTable(e.table)) {
    state_.codeTable = table;
    startTableMismatches_.AtStartTable(false);
  } else {
    report_.Add(say::CodeTableNotDrawn(e.offset, e.table, state_.codeTable->name));
  }
}

void TicketRenderer::Impl::On(const KanjiMode& e) {
  if (e.on && !state_.kanji) report_.Add(say::KanjiNotDrawn(e.offset));
  state_.kanji = e.on;
}

// ESC $ and ESC \: a position outside the print area is ignored, as printers do.
void TicketRenderer::Impl::On(const AbsolutePosition& e) {
  EnsureLine();
  if (!line_.MoveTo(state_.HorizontalDots(e.units))) {
    report_.Add(say::PositionIgnored(e.offset, "ESC $", state_.HorizontalDots(e.units)));
  }
}

void TicketRenderer::Impl::On(const RelativePosition& e) {
  EnsureLine();
  const int target = line_.cursor() + state_.HorizontalDots(e.units);
  if (!line_.MoveTo(target)) report_.Add(say::PositionIgnored(e.offset, "ESC \\", target));
}

// GS L and GS W take effect at the beginning of a line only; elsewhere they are ignored.
void TicketRenderer::Impl::On(const LeftMargin& e) {
  if (!line_.empty()) {
    report_.Add(say::NotAtLineStart(e.offset, "GS L"));
    return;
  }
  state_.leftMargin = state_.HorizontalDots(e.units);
}

void TicketRenderer::Impl::On(const PrintAreaWidth& e) {
  if (!line_.empty()) {
    report_.Add(say::NotAtLineStart(e.offset, "GS W"));
    return;
  }
  state_.printWidth = state_.HorizontalDots(e.units);
}

void TicketRenderer::Impl::On(const Oversized& e) {
  report_.Add(say::CommandTooLong(e.offset, e.command.Name(), e.length, kMaxCommandBytes));
}

void TicketRenderer::Impl::On(const Truncated& e) {
  report_.Add(say::Truncated(e.offset, e.command.Name()));
}

TicketRenderer::TicketRenderer(const RenderOptions& options)
    : impl_(std::make_unique<Impl>(options)) {}
TicketRenderer::~TicketRenderer() = default;
bool TicketRenderer::Feed(BytesView bytes) { return impl_->Feed(bytes); }
void TicketRenderer::SetInputSize(std::uint64_t bytes) { impl_->SetInputSize(bytes); }
RenderedTicket TicketRenderer::Finish() { return impl_->Finish(); }

RenderedTicket RenderTicket(BytesView stream, const RenderOptions& options) {
  TicketRenderer renderer(options);
  renderer.Feed(stream);
  return renderer.Finish();
}

}  // namespace qrticket::viewer
