// The printer's settings and stored data for the two-dimensional codes of GS ( k other than
// QR Code (see qr_commands_state.h): cn 0x30 PDF417, 0x32 MaxiCode, 0x35 Aztec Code and
// 0x36 DataMatrix. Settings hold until ESC @; each code keeps its own stored data.
#pragma once

#include <optional>
#include <string>

#include "escpos_events.h"
#include "matrix_symbols.h"
#include "render_report.h"

namespace qrticket::viewer {

// A symbol ready to draw: `grid` scaled by the module size; fitting the paper is the
// renderer's to decide.
struct SymbolToDraw {
  std::size_t offset;
  std::string kind;  // "PDF417", "DataMatrix"...
  ModuleGrid grid;
  int moduleWidth = 1;   // dots per module across
  int moduleHeight = 1;  // dots per module down
  std::size_t dataBytes = 0;
  bool drawing = false;  // `grid` is zint's own drawing, one cell per dot (MaxiCode)
};

class SymbolCommandState {
 public:
  void Reset() { *this = SymbolCommandState(); }

  // Applies one function of cn 0x30, 0x32, 0x35 or 0x36; only print (fn 0x51) returns a
  // symbol. Settings outside their range are ignored and reported; the value before stays.
  std::optional<SymbolToDraw> Apply(const SymbolFunction& function, Report& report);

  // True for the cn values this class handles.
  static bool Handles(std::uint8_t cn);

 private:
  std::optional<SymbolToDraw> Pdf417(const SymbolFunction& f, Report& report);
  std::optional<SymbolToDraw> MaxiCode(const SymbolFunction& f, Report& report);
  std::optional<SymbolToDraw> Aztec(const SymbolFunction& f, Report& report);
  std::optional<SymbolToDraw> DataMatrix(const SymbolFunction& f, Report& report);

  Pdf417Settings pdf417_;
  int maxiMode_ = 2;
  AztecSettings aztec_;
  DataMatrixSettings dataMatrix_;
  std::optional<Bytes> pdf417Data_, maxiData_, aztecData_, dataMatrixData_;
};

}  // namespace qrticket::viewer
