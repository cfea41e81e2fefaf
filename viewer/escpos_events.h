// What the ESC/POS stream parser hands to the renderer: one event per command or text run.
// Byte views inside an event are valid only while the event is being handled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "devices/bytes.h"

namespace qrticket::viewer {

// A command's name, packed into a few bytes so that millions of skipped bytes cost no
// allocation: the introducer (ESC, GS, FS, DLE, or none for a lone control byte), the command
// byte and, for commands such as GS ( k or GS v 0, the byte that completes the name.
struct CommandId {
  std::uint8_t lead = 0;  // 0, 0x1B, 0x1D, 0x1C or 0x10
  std::uint8_t code = 0;
  std::uint8_t sub = 0;
  bool hasSub = false;

  std::uint32_t Key() const {
    return static_cast<std::uint32_t>(lead) << 17 | static_cast<std::uint32_t>(code) << 9 |
           static_cast<std::uint32_t>(sub) << 1 | (hasSub ? 1u : 0u);
  }
  // "ESC a", "GS ( k", "GS v 0", "NUL", "ESC 0x7F": how the report names the command.
  std::string Name() const;
};

// Printable bytes (0x20..0xFF except DEL), in the order received; the code table decides
// which characters they are.
struct TextRun {
  BytesView bytes;
};
struct LineFeed {};              // LF: print the line buffer and feed one line
struct HorizontalTab {};         // HT: move to the next tab stop
struct FeedLines { int lines; }; // ESC d n: print and feed n lines
struct FeedDots { int units; };  // ESC J n: print and feed n vertical motion units
struct Initialise {};            // ESC @
struct Justify { int mode; };    // ESC a n: 0 left, 1 centre, 2 right (0x30.. accepted too)
struct Emphasis { bool on; };    // ESC E n, ESC G n
struct Underline { int dots; };  // ESC - n: 0 off, 1 or 2 dots thick
struct PrintMode { std::uint8_t bits; };  // ESC ! n: font B, bold, double size, underline
struct SelectFont { int font; };               // ESC M n: 0 font A, 1 font B
struct CharacterSize { int width; int height; };  // GS ! n: 1..8 times each way
struct LineSpacing { int units; };             // ESC 3 n; ESC 2 gives -1 (the default)
struct Cut { std::size_t offset; };            // GS V (ESC i, ESC m): cut the paper
// ESC L enter page mode, ESC FF print the page, ESC S back to standard mode ('L', 'F', 'S').
struct PageModeCommand {
  std::size_t offset;
  char which;
};

struct CodeTable { std::size_t offset; int table; };     // ESC t n
struct KanjiMode { std::size_t offset; bool on; };       // FS & on, FS . off
struct CharacterSpacing { int units; };                  // ESC SP n: right-side spacing
struct AbsolutePosition { std::size_t offset; int units; };  // ESC $ nL nH
struct RelativePosition { std::size_t offset; int units; };  // ESC \ nL nH, signed
struct LeftMargin { std::size_t offset; int units; };    // GS L nL nH
struct PrintAreaWidth { std::size_t offset; int units; };  // GS W nL nH
struct MotionUnits { int x; int y; };                    // GS P x y: 1/x and 1/y inch
struct UpsideDown { bool on; };                          // ESC { n
struct Reverse { bool on; };                             // GS B n: white on black
struct TabStops { BytesView columns; };                  // ESC D n1..nk NUL (NUL not included)

// GS h, GS w, GS H, GS f: bar code height, module width, HRI position and HRI font.
struct BarcodeSetting {
  char which;  // 'h', 'w', 'H' or 'f'
  std::uint8_t value;
};

// GS k m d1..dk NUL (m 0..6) or GS k m n d1..dn (m 65..79): a one-dimensional bar code.
struct Barcode {
  std::size_t offset;
  std::uint8_t system;  // m
  BytesView data;
};

// GS ( k pL pH cn fn params: a two-dimensional code function; cn picks the symbology (0x30
// PDF417, 0x31 QR Code, 0x32 MaxiCode, 0x36 DataMatrix...), params are the bytes after fn.
struct SymbolFunction {
  std::size_t offset;
  std::uint8_t cn;
  std::uint8_t fn;
  BytesView params;
};

// ESC Z m n k dL dH d1..dn: the single QR command of woosim printers. The length counts the
// data only, so a stream that declares more takes the bytes that follow as data.
struct WoosimQr {
  std::size_t offset;
  std::uint8_t version;     // m
  std::uint8_t level;       // n
  std::uint8_t moduleSize;  // k
  std::size_t declaredLength;
  BytesView data;
};

// GS v 0 m xL xH yL yH d1..dk: a raster image, `widthBytes` bytes (8 dots each, most
// significant bit leftmost) by `rows` rows, row after row.
struct RasterImage {
  std::size_t offset;
  std::uint8_t mode;  // m: 0/48 normal, 1/49 double width, 2/50 double height, 3/51 both
  int widthBytes;
  int rows;
  BytesView data;
};

// ESC * m nL nH d1..dk: a bit image of `columns` columns, 1 byte each (m 0, 1: 8 dots) or
// 3 bytes each (m 32, 33: 24 dots), printed within the line like characters.
struct ColumnImage {
  std::size_t offset;
  std::uint8_t mode;
  int columns;
  BytesView data;
};

// GS ( L pL pH m fn ... or GS 8 L p1 p2 p3 p4 m fn ...: a graphics function; params are the
// bytes after fn.
struct GraphicsFunction {
  std::size_t offset;
  bool longForm;  // GS 8 L
  std::uint8_t m;
  std::uint8_t fn;
  BytesView params;
};

// A command the printer skips: known but not drawn here, or not known at all.
struct Skipped {
  std::size_t offset;
  CommandId command;
  bool known;  // true: a command we know and do not draw
};

// A command longer than the viewer holds in memory: read and dropped, not drawn.
struct Oversized {
  std::size_t offset;
  CommandId command;
  std::uint64_t length;
};

// The stream ended inside a command; the printer would wait for the rest and print nothing of it.
struct Truncated {
  std::size_t offset;
  CommandId command;
};

using Event =
    std::variant<TextRun, LineFeed, HorizontalTab, FeedLines, FeedDots, Initialise, Justify,
                 Emphasis, Underline, PrintMode, SelectFont, CharacterSize, LineSpacing, Cut,
                 PageModeCommand, CodeTable, KanjiMode, CharacterSpacing, AbsolutePosition,
                 RelativePosition, LeftMargin, PrintAreaWidth, MotionUnits, UpsideDown, Reverse,
                 TabStops, BarcodeSetting, Barcode, SymbolFunction, WoosimQr, RasterImage,
                 ColumnImage, GraphicsFunction, Skipped, Oversized, Truncated>;

// Receives the events in stream order.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void OnEvent(const Event& event) = 0;
};

}  // namespace qrticket::viewer
