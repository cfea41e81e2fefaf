// GS ( L / GS 8 L functions, following the public ESC/POS command references: fn 112 and
// 113 take a bx by c xL xH yL yH d1..dk with a = 48 (one bit per dot), bx and by 1 or 2, and
// c = 49 (the first colour, the only one a one-colour printer has).
#include "graphics_state.h"

namespace qrticket::viewer {
namespace {

int Word(BytesView p, std::size_t i) {
  return static_cast<unsigned char>(p[i]) | static_cast<unsigned char>(p[i + 1]) << 8;
}

std::string Name(const GraphicsFunction& f) { return f.longForm ? "GS 8 L" : "GS ( L"; }

}  // namespace

std::optional<StoredGraphic> GraphicsState::Apply(const GraphicsFunction& f, Report& report) {
  // fn 0..4 are the same functions as 48..52.
  const int fn = f.fn < 5 ? f.fn + 48 : f.fn;
  switch (fn) {
    case 112: Store(f, false, report); return std::nullopt;
    case 113: Store(f, true, report); return std::nullopt;
    case 50: {
      if (!stored_) {
        report.Add(say::GraphicsNothingStored(f.offset, Name(f)));
        return std::nullopt;
      }
      std::optional<StoredGraphic> out = std::move(stored_);
      stored_.reset();
      out->offset = f.offset;
      return out;
    }
    case 48: case 51: case 64: case 80:  // capacity and key-code queries: nothing to print
      report.Add(say::GraphicsQuery(f.offset, Name(f), fn));
      return std::nullopt;
    default:
      report.Add(say::GraphicsNotDrawn(f.offset, Name(f), fn));
      return std::nullopt;
  }
}

void GraphicsState::Store(const GraphicsFunction& f, bool columns, Report& report) {
  const BytesView p = f.params;
  if (p.size() < 8) {
    report.Add(say::GraphicsBadStore(f.offset, Name(f), "parâmetros em falta"));
    return;
  }
  const int a = static_cast<unsigned char>(p[0]), bx = p[1], by = p[2];
  const int colour = static_cast<unsigned char>(p[3]);
  const int width = Word(p, 4), height = Word(p, 6);
  const std::size_t size = columns
                               ? static_cast<std::size_t>(width) * ((height + 7) / 8)
                               : static_cast<std::size_t>((width + 7) / 8) * height;
  if (a != 48) {
    report.Add(say::GraphicsBadStore(f.offset, Name(f), "tons múltiplos (a=" + std::to_string(a) + ")"));
  } else if ((bx != 1 && bx != 2) || (by != 1 && by != 2)) {
    report.Add(say::GraphicsBadStore(f.offset, Name(f), "escala fora de 1 a 2"));
  } else if (colour != 49) {
    report.Add(say::GraphicsBadStore(f.offset, Name(f), "cor " + std::to_string(colour - 48) +
                                                            " (só a cor 1 é desenhada)"));
  } else if (width == 0 || height == 0) {
    report.Add(say::GraphicsBadStore(f.offset, Name(f), "imagem vazia"));
  } else if (p.size() - 8 < size) {
    report.Add(say::GraphicsBadStore(f.offset, Name(f), "dados mais curtos do que a imagem"));
  } else {
    stored_ = StoredGraphic{f.offset, Name(f), columns, width, height, DotScale{bx, by},
                            Bytes(p.substr(8, size))};
  }
}

}  // namespace qrticket::viewer
