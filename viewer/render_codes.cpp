// The model printer's codes: one-dimensional bar codes (GS k, with GS h, GS w, GS H, GS f), QR
// symbols (GS ( k cn 0x31 and woosim's ESC Z) and the other two-dimensional codes of GS ( k.
#include <algorithm>

#include "barcode_symbols.h"
#include "devices/text_encoding.h"
#include "symbols/symbol_facts_text.h"
#include "ticket_renderer_impl.h"

namespace qrticket::viewer {
namespace {

// UTF-8 (zint's readable text) to code points; a malformed byte stands for itself.
std::u32string CodePoints(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    std::size_t j = 1;
    for (; j <= static_cast<std::size_t>(extra) && i + j < utf8.size(); ++j) {
      cp = cp << 6 | (static_cast<unsigned char>(utf8[i + j]) & 0x3F);
    }
    out += cp;
    i += j;
  }
  return out;
}

}  // namespace

void TicketRenderer::Impl::On(const BarcodeSetting& e) {
  if (!state_.Apply(e)) report_.Add(say::BarcodeSettingIgnored(e.which, e.value));
}

// GS k: the bars at the justification, GS h tall, with the readable text above, below or
// both as GS H says, in GS f's font. A bar code wider than the print area is not printed.
void TicketRenderer::Impl::On(const Barcode& e) {
  const BarcodeStyle& style = state_.barcode;
  std::string why;
  const auto bars = MakeBarcode(e.system, e.data, style.moduleWidth, why);
  if (!bars) {
    report_.Add(say::BarcodeNotPrinted(e.offset, why));
    return;
  }
  StartBlock();
  const LineLayout area = state_.Layout();
  if (bars->width > area.areaWidth) {
    report_.Add(say::BarcodeTooWide(e.offset, bars->system, bars->width, area.areaWidth));
    return;
  }
  const int left = Justified(bars->width);
  const CellSize font = style.hriFont == 1 ? kFontB : kFontA;
  const bool above = style.hriPosition == 1 || style.hriPosition == 3;
  const bool below = style.hriPosition == 2 || style.hriPosition == 3;
  const std::u32string text = CodePoints(bars->readable);
  const int textLeft =
      left + (bars->width - static_cast<int>(text.size()) * font.width) / 2;
  const int height = style.height + (above ? font.height : 0) + (below ? font.height : 0);
  if (!paper_.full()) {
    int top = y_;
    if (above) {
      DrawText(bars->readable, style.hriFont, textLeft, top);
      top += font.height;
    }
    int x = left;
    for (std::size_t i = 0; i < bars->widths.size(); ++i) {
      if (i % 2 == 0) paper_.Fill(x, top, bars->widths[i], style.height);
      x += bars->widths[i];
    }
    if (below) DrawText(bars->readable, style.hriFont, textLeft, top + style.height);
  }
  Placed(e.offset, "GS k", bars->system, left, bars->width, height);
  Feed(height);
}

void TicketRenderer::Impl::DrawText(std::string_view utf8, int fontNumber, int left, int top) {
  int x = left;
  for (const char32_t cp : CodePoints(utf8)) {
    const Glyph& glyph = font_.Get(cp, fontNumber);
    for (int row = 0; row < glyph.size.height; ++row) {
      for (int col = 0; col < glyph.size.width; ++col) {
        if (glyph.ink[static_cast<std::size_t>(row) * glyph.size.width + col]) {
          paper_.Fill(x + col, top + row, 1, 1);
        }
      }
    }
    x += glyph.size.width;
  }
}

void TicketRenderer::Impl::DrawGrid(const ModuleGrid& grid, int left, int top, int moduleWidth,
                                    int moduleHeight) {
  if (paper_.full()) return;
  for (int row = 0; row < grid.rows; ++row) {
    for (int col = 0; col < grid.columns;) {
      if (!grid.At(row, col)) {
        ++col;
        continue;
      }
      const int start = col;
      while (col < grid.columns && grid.At(row, col)) ++col;
      paper_.Fill(left + start * moduleWidth, top + row * moduleHeight,
                  (col - start) * moduleWidth, moduleHeight);
    }
  }
}

void TicketRenderer::Impl::On(const SymbolFunction& e) {
  if (e.cn == 0x31) {
    if (auto symbol = qr_.Apply(e, report_)) DrawQr(*symbol);
    return;
  }
  if (!SymbolCommandState::Handles(e.cn)) {
    const std::uint64_t key = std::uint64_t{e.cn} << 32 | CommandId{0x1D, '(', 'k', true}.Key();
    report_.CountSkipped(key, e.offset, true, [&] { return say::SymbolCodeName(e.cn); });
    return;
  }
  auto symbol = symbols2d_.Apply(e, report_);
  if (!symbol) return;
  StartBlock();
  const LineLayout area = state_.Layout();
  const int width = symbol->grid.columns * symbol->moduleWidth;
  const int height = symbol->grid.rows * symbol->moduleHeight;
  if (width > area.areaWidth) {
    report_.Add(say::SymbolTooWide(symbol->offset, symbol->kind, width, area.areaWidth));
    return;
  }
  const int left = Justified(width);
  DrawGrid(symbol->grid, left, y_, symbol->moduleWidth, symbol->moduleHeight);
  if (!symbol->drawing) {
    report_.Add(say::SymbolShape(symbol->offset, symbol->kind, symbol->grid.columns,
                                 symbol->grid.rows, symbol->dataBytes));
  }
  Placed(symbol->offset, "GS ( k", symbol->kind, left, width, height);
  Feed(height);
}

void TicketRenderer::Impl::On(const WoosimQr& e) {
  if (auto symbol = PrepareWoosimSymbol(e, report_)) DrawQr(*symbol);
}

// The symbol prints after whatever waits in the line buffer, at the current justification.
void TicketRenderer::Impl::DrawQr(const QrToDraw& qr) {
  StartBlock();
  const QrGrid& s = qr.symbol;
  const bool micro = s.model == QrModel::Micro;
  const int dots = s.modules * qr.moduleSize;
  const LineLayout area = state_.Layout();
  const bool fits = dots <= area.areaWidth;
  std::string version = micro ? "M" : "";
  version += std::to_string(s.version);
  if (micro) version += " (Micro QR)";
  const int left = Justified(dots);
  report_.Add(say::QrSymbolLine(qr.offset, qr.command, version, LevelLetter(qr.level),
                                qr.moduleSize, qr.data.size(), dots, area.areaWidth, fits,
                                left, y_));
  // Bytes 0x80..0x9F are where Windows-1252 and a reader's ISO-8859-1 part ways.
  if (std::any_of(qr.data.begin(), qr.data.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x80 && static_cast<unsigned char>(c) <= 0x9F;
      })) {
    report_.Add(say::QrReaderText(qr.offset, VisibleReaderText(Latin1ToUtf8(qr.data), 200)));
  }
  if (!fits) {
    AddPortariaLines(qr.data, std::nullopt);
    return;
  }
  ModuleGrid grid{s.modules, s.modules, s.dark};
  DrawGrid(grid, left, y_, qr.moduleSize, qr.moduleSize);
  AddPortariaLines(qr.data, portaria::PrintedSymbol{LevelLetter(qr.level), s.version, micro, dots,
                                                    options_.dpi});
  symbols_.push_back({qr.command, micro, s.version, LevelLetter(qr.level), qr.moduleSize,
                      qr.data, left, y_, dots});
  if (elements_.size() < kMaxElements) {
    elements_.push_back({qr.command, micro ? "Micro QR" : "QR", left, y_, dots, dots});
  }
  Feed(dots);
}

}  // namespace qrticket::viewer
