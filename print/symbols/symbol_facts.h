// What the printer will draw for a ticket's settings, known before printing: the symbol's
// version, modules and width, whether it fits the paper, or why there will be none, and what a
// standard reader will show for its bytes.
#pragma once

#include <optional>
#include <string>

#include "devices/bytes.h"
#include "symbols/qr_capacity.h"
#include "symbols/qr_symbol_types.h"
#include "ticket/qr_print_settings.h"

namespace qrticket {

// Why no symbol comes out, in the order the job and then the printer find it.
enum class NoSymbol {
  kNone,                // there is a symbol
  kTicketTooLong,       // more than 32764 characters: the job fails before opening the device
  kModuleSizeOverflow,  // the size text is outside -32768..32767: the job fails
  kBuilderFailure,      // a command byte outside 0..255: the ticket prints the failure instead
  kNoData,              // nothing stored: the printer prints nothing
  kNoMicroLevelH,       // Micro QR has no level H
  kTooLong,             // more bytes than the model holds at the level
  // The program's own image (settings.symbolImage) is not drawn: the job fails.
  kRasterMicro,         // Micro QR chosen: the image is Model 2, version 9 or more
  kRasterNoLevel,       // no level chosen, or one outside L..H
  kRasterNoDots,        // a module size below 1 dot
};

enum class QrDialect { kStandard, kWoosim };

struct SymbolFacts {
  QrDialect dialect = QrDialect::kStandard;
  // The symbol is the program's image (GS v 0) in place of the printer's QR commands: Model 2
  // at the chosen level and module size, version kRasterMinimumVersion or more. The printer
  // ignores nothing then, but two choices have no effect: the woosim box (no ESC Z is sent)
  // and Model 1 (drawn as Model 2, the one libqrencode makes).
  bool raster = false;
  bool woosimIgnored = false;
  bool model1AsModel2 = false;
  // The bytes the symbol holds. For ESC Z, the text and the three bytes after it that the
  // command's length takes in: CR LF and the "S" of the next line.
  Bytes data;
  // The command's parameter bytes (GS ( k) or the fixed ones (ESC Z).
  int modelByte = 0;
  int levelByte = 0;
  int sentModuleSize = 0;
  // A GS ( k setting out of its range (model 0x31..0x33, size 1..16, level 0x30..0x33) is
  // ignored by the printer, which keeps the one in force: after the ticket's ESC @, Model 2,
  // 3 dots and level L.
  bool modelIgnored = false;
  bool moduleSizeIgnored = false;
  bool levelIgnored = false;
  // What the printer draws with. Unset only when the job fails or the builder does.
  std::optional<QrModel> model;
  std::optional<QrEcLevel> level;
  int moduleSize = 0;  // dots per module

  NoSymbol noSymbol = NoSymbol::kNone;
  std::string failure;  // the job's or the builder's description, for the two failure cases

  // When the model and level are valid: the most bytes they hold.
  int capacity = 0;
  // When there is a symbol:
  QrSize size;
  int dots = 0;  // width and height in dots, without quiet zone
  bool fits80mm = false;
  bool fits58mm = false;

  // What a standard reader shows: the bytes as ISO-8859-1 (UTF-8 here), and the characters of
  // the text (Windows-1252 meaning, UTF-8, each once in order of appearance) that it shows as
  // something else: bytes 0x80..0x9F.
  std::string readerText;
  std::string misreadCharacters;

  bool hasSymbol() const { return noSymbol == NoSymbol::kNone; }
  // What `qrticket --check` accepts: a symbol that fits 80 mm paper.
  bool printsOn80mm() const { return hasSymbol() && fits80mm; }
};

// The ESC Z block of our tickets: version 0 (automatic), n = 0x0F, k = 6. n is none of the
// levels the general references document; it is taken as level L, as the virtual printer does.
inline constexpr int kWoosimLevelByte = 0x0F;
inline constexpr int kWoosimModuleSize = 6;
inline constexpr BytesView kWoosimTakenAfterData = "\r\nS";

// The QR settings ESC @ brings back, in force when a GS ( k setting is ignored.
inline constexpr QrModel kInitialModel = QrModel::Model2;
inline constexpr int kInitialModuleSize = 3;
inline constexpr QrEcLevel kInitialLevel = QrEcLevel::L;

// The least version of the program's image: the Portuguese invoice QR rule asks for 9 or more.
inline constexpr int kRasterMinimumVersion = 9;

// Facts for the ticket PrintQrTest would write with `settings` (the device is not used).
// Never throws except std::bad_alloc.
SymbolFacts SymbolFactsFor(const QrPrintSettings& settings);

}  // namespace qrticket
