// The model printer behind TicketRenderer: plays parsed events in standard mode and draws the
// paper. Text and layout are in render_ticket.cpp, images in render_pictures.cpp, bar codes
// and two-dimensional codes in render_codes.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bit_image.h"
#include "code_table_report.h"
#include "escpos_parser.h"
#include "glyph_font.h"
#include "graphics_state.h"
#include "line_buffer.h"
#include "paper.h"
#include "portaria/portaria_symbol.h"
#include "printer_state.h"
#include "qr_commands_state.h"
#include "render_report.h"
#include "render_ticket.h"
#include "symbol_commands_state.h"
#include "zint_symbol.h"

namespace qrticket::viewer {

class TicketRenderer::Impl final : public EventSink {
 public:
  explicit Impl(const RenderOptions& options);

  bool Feed(BytesView bytes);
  void SetInputSize(std::uint64_t bytes) { inputSize_ = bytes; }
  RenderedTicket Finish();

  void OnEvent(const Event& event) override;

 private:
  // At most this many DrawnElement entries are kept (the report counts them all).
  static constexpr std::size_t kMaxElements = 1000;

  // Text and layout (render_ticket.cpp).
  void On(const TextRun& e);
  void On(const LineFeed&) { PrintAndFeedLine(); }
  void On(const HorizontalTab&);
  void On(const FeedLines& e);
  void On(const FeedDots& e);
  void On(const Initialise&);
  void On(const Justify& e) { state_.Apply(e); }
  void On(const Emphasis& e) { state_.Apply(e); }
  void On(const Underline& e) { state_.Apply(e); }
  void On(const PrintMode& e) { state_.Apply(e); }
  void On(const SelectFont& e) { state_.Apply(e); }
  void On(const CharacterSize& e) { state_.Apply(e); }
  void On(const LineSpacing& e) { state_.Apply(e); }
  void On(const CharacterSpacing& e) { state_.Apply(e); }
  void On(const MotionUnits& e) { state_.Apply(e); }
  void On(const UpsideDown& e) { state_.Apply(e); }
  void On(const Reverse& e) { state_.Apply(e); }
  void On(const TabStops& e) { state_.Apply(e); }
  void On(const Cut& e);
  void On(const PageModeCommand& e);
  void On(const CodeTable& e);
  void On(const KanjiMode& e);
  void On(const AbsolutePosition& e);
  void On(const RelativePosition& e);
  void On(const LeftMargin& e);
  void On(const PrintAreaWidth& e);
  void On(const Skipped& e) {
    report_.CountSkipped(e.command.Key(), e.offset, e.known, [&] { return e.command.Name(); });
  }
  void On(const Oversized& e);
  void On(const Truncated& e);

  // Pictures (render_pictures.cpp).
  void On(const RasterImage& e);
  void On(const ColumnImage& e);
  void On(const GraphicsFunction& e);

  // Codes (render_codes.cpp).
  void On(const BarcodeSetting& e);
  void On(const Barcode& e);
  void On(const SymbolFunction& e);
  void On(const WoosimQr& e);

  // Starts a line with the print area and justification in force, if none is started.
  void EnsureLine();
  // Prints the line buffer at the current position; returns its height (0 when empty).
  int PrintBuffer();
  void Feed(int dots);
  void PrintAndFeedLine();
  // Prints any waiting line first: images and codes of their own start a new line.
  void StartBlock();
  // Left edge of something `width` dots wide placed by the justification in the print area.
  int Justified(int width) const;
  // Notes an image or code drawn at (x, y_): a report line and a DrawnElement.
  void Placed(std::size_t at, const std::string& command, const std::string& kind, int x,
              int width, int height, bool clipped = false);
  void FlushColumnImages();
  void DrawGrid(const ModuleGrid& grid, int left, int top, int moduleWidth, int moduleHeight);
  void DrawText(std::string_view utf8, int font, int left, int top);
  void DrawQr(const QrToDraw& qr);

  // Invoice QR codes against Portaria 195/2020 (render_portaria.cpp): the verdict and findings
  // of a symbol's data, as drawn (or not drawn at all); nothing for other data.
  void AddPortariaLines(BytesView data, const std::optional<portaria::PrintedSymbol>& symbol);
  // A picture's rectangle, kept so that the QR symbols drawn in it are read back at the end.
  void NoteImage(std::size_t at, const std::string& command, int x, int y, int width, int height);
  void ReadImageSymbols();

  RenderOptions options_;
  EscPosParser parser_;
  Paper paper_;
  GlyphFont font_;
  LineBuffer line_;
  Report report_;
  PrinterState state_;
  StartTableMismatches startTableMismatches_;
  QrCommandState qr_;
  SymbolCommandState symbols2d_;
  GraphicsState graphics_;
  int y_ = 0;
  std::vector<RenderedSymbol> symbols_;
  std::vector<DrawnElement> elements_;
  struct ImageArea {
    std::size_t offset;
    std::string command;
    int x, y, width, height;
  };
  std::vector<ImageArea> imageAreas_;

  // ESC * images in the line being filled, and the picture they build band by band.
  struct ColumnPiece {
    std::size_t offset;
    int x, width, height;
  };
  std::vector<ColumnPiece> linePieces_;
  struct ColumnRun {
    std::size_t offset;
    int x, y, width, height, bands;
  };
  std::optional<ColumnRun> columnRun_;

  std::uint64_t bytesRead_ = 0;
  bool inputCut_ = false;
  std::uint64_t inputSize_ = 0;
  bool paperFullNoted_ = false;
};

}  // namespace qrticket::viewer
