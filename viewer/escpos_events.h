// What the ESC/POS stream parser hands to the renderer: one event per command or text run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "bytes.h"

namespace qrticket::viewer {

// Printable bytes (0x20..0xFF except DEL), Windows-1252, in the order received.
struct TextRun {
  BytesView bytes;
};
struct LineFeed {};              // LF: print the line buffer and feed one line
struct HorizontalTab {};         // HT: move to the next tab stop
struct FeedLines { int lines; }; // ESC d n: print and feed n lines
struct FeedDots { int dots; };   // ESC J n: print and feed n dots
struct Initialise {};            // ESC @
struct Justify { int mode; };    // ESC a n: 0 left, 1 centre, 2 right (0x30.. accepted too)
struct Emphasis { bool on; };    // ESC E n
struct Underline { int dots; };  // ESC - n: 0 off, 1 or 2 dots thick
struct PrintMode { std::uint8_t bits; };  // ESC ! n: font B, bold, double size, underline
struct SelectFont { int font; };               // ESC M n: 0 font A, 1 font B
struct CharacterSize { int width; int height; };  // GS ! n: 1..8 times each way
struct LineSpacing { int dots; };              // ESC 3 n; ESC 2 gives -1 (the default)
struct Cut { std::size_t offset; };            // GS V (ESC i, ESC m): cut the paper
// ESC L enter page mode, ESC FF print the page, ESC S back to standard mode ('L', 'F', 'S').
struct PageModeCommand {
  std::size_t offset;
  char which;
};

// GS ( k with cn = 0x31 (QR Code): fn and the bytes after fn, as counted by pL pH.
struct QrFunction {
  std::size_t offset;
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

// A command the printer skips: known but not drawn here, or not known at all.
struct Skipped {
  std::size_t offset;
  std::string command;  // e.g. "GS k", "ESC 0x7F"
  bool known;           // true: a command we know and do not draw
  std::size_t repeats = 1;  // the same command back to back, counted once (a run of garbage)
  std::size_t end = 0;      // offset just past the last repeat
};

// The stream ended inside a command; the printer would wait for the rest and print nothing of it.
struct Truncated {
  std::size_t offset;
  std::string command;
};

using Event = std::variant<TextRun, LineFeed, HorizontalTab, FeedLines, FeedDots, Initialise,
                           Justify, Emphasis, Underline, PrintMode, SelectFont, CharacterSize,
                           LineSpacing, Cut, PageModeCommand, QrFunction, WoosimQr, RasterImage,
                           Skipped, Truncated>;

}  // namespace qrticket::viewer
