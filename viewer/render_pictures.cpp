// The model printer's pictures: raster images (GS v 0), column images within the line (ESC *)
// and graphics from the print buffer (GS ( L, GS 8 L).
#include "ticket_renderer_impl.h"

namespace qrticket::viewer {
namespace {

// ESC * m: 8-dot images are 3 dots tall per bit (about 68 dpi), single density images 2 dots
// wide per bit (about 101 dpi), as on 203 dpi printers.
struct ColumnMode {
  int bytesPerColumn;
  DotScale scale;
};
std::optional<ColumnMode> ColumnModeOf(std::uint8_t m) {
  switch (m) {
    case 0: return ColumnMode{1, {2, 3}};
    case 1: return ColumnMode{1, {1, 3}};
    case 32: return ColumnMode{3, {2, 1}};
    case 33: return ColumnMode{3, {1, 1}};
  }
  return std::nullopt;
}

}  // namespace

// GS v 0 prints whatever waits in the line buffer first; ESC a and the print area place the
// image, and dots past the area's edge are read and dropped.
void TicketRenderer::Impl::On(const RasterImage& e) {
  const auto scale = RasterModeScale(e.mode);
  if (!scale || e.widthBytes == 0 || e.rows == 0) {
    report_.Add(say::ImageRefused(e.offset, "GS v 0", e.mode, e.widthBytes * 8, e.rows));
    return;
  }
  StartBlock();
  const LineLayout area = state_.Layout();
  const int width = e.widthBytes * 8 * scale->x, height = e.rows * scale->y;
  ImagePlacement where;
  where.left = Justified(width);
  where.top = y_;
  where.clipLeft = area.areaLeft;
  where.clipRight = area.areaLeft + area.areaWidth;
  where.scale = *scale;
  if (!paper_.full()) DrawRasterRows(paper_, where, e.data, e.widthBytes, e.rows);
  NoteImage(e.offset, "GS v 0", where.left, y_, width, height);
  Placed(e.offset, "GS v 0", "imagem", where.left, width, height, where.left + width > where.clipRight);
  Feed(height);
}

// ESC * places its columns in the line buffer, like characters; the line prints on LF (or
// ESC J), usually with the line spacing set to the image's height.
void TicketRenderer::Impl::On(const ColumnImage& e) {
  const auto mode = ColumnModeOf(e.mode);
  if (!mode || e.columns == 0 || paper_.full()) return;
  EnsureLine();
  const int bytes = mode->bytesPerColumn;
  const int x = line_.cursor();
  const BytesView data = e.data;
  line_.PlaceImage(e.columns, bytes * 8, mode->scale.x, mode->scale.y, [&](int col, int row) {
    const unsigned char byte = static_cast<unsigned char>(data[static_cast<std::size_t>(col) * bytes + row / 8]);
    return ((byte >> (7 - row % 8)) & 1) != 0;
  });
  if (linePieces_.size() < 64) {
    linePieces_.push_back({e.offset, x, e.columns * mode->scale.x, bytes * 8 * mode->scale.y});
  }
}

void TicketRenderer::Impl::FlushColumnImages() {
  if (!columnRun_) return;
  const ColumnRun run = *columnRun_;
  columnRun_.reset();
  report_.Add(say::ColumnImageDrawn(run.offset, run.width, run.height, run.x, run.y, run.bands));
  NoteImage(run.offset, "ESC *", run.x, run.y, run.width, run.height);
  if (elements_.size() < kMaxElements) {
    elements_.push_back({"ESC *", "imagem", run.x, run.y, run.width, run.height});
  }
}

void TicketRenderer::Impl::On(const GraphicsFunction& e) {
  auto graphic = graphics_.Apply(e, report_);
  if (!graphic) return;
  StartBlock();
  const LineLayout area = state_.Layout();
  const int width = graphic->width * graphic->scale.x, height = graphic->height * graphic->scale.y;
  ImagePlacement where;
  where.left = Justified(width);
  where.top = y_;
  where.clipLeft = area.areaLeft;
  where.clipRight = area.areaLeft + area.areaWidth;
  where.scale = graphic->scale;
  if (!paper_.full()) {
    if (graphic->columns) {
      DrawColumns(paper_, where, graphic->data, graphic->width, (graphic->height + 7) / 8);
    } else {
      DrawRasterRows(paper_, where, graphic->data, (graphic->width + 7) / 8, graphic->height,
                     graphic->width);
    }
  }
  NoteImage(graphic->offset, graphic->command, where.left, y_, width, height);
  Placed(graphic->offset, graphic->command, "imagem", where.left, width, height,
         where.left + width > where.clipRight);
  Feed(height);
}

}  // namespace qrticket::viewer
