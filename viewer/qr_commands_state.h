// The printer's QR settings between commands: GS ( k cn = 0x31 functions 0x41 (model),
// 0x43 (module size), 0x45 (error level), 0x50 (store) and 0x51 (print), and the single-command
// ESC Z of woosim printers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "escpos_events.h"
#include "render_report.h"
#include "symbols/qr_encoder.h"

namespace qrticket::viewer {

// A symbol ready to draw; whether it fits the paper is the renderer's to decide.
struct QrToDraw {
  std::size_t offset;
  std::string command;  // "GS ( k" or "ESC Z", for the report
  QrGrid symbol;
  QrEcLevel level;
  int moduleSize;
  Bytes data;
};

class QrCommandState {
 public:
  // ESC @ brings back the defaults: model 2, module size 3, level L, nothing stored.
  void Reset() { *this = QrCommandState(); }

  // Applies one function of cn 0x31; only fn 0x51 returns a symbol. A setting outside its
  // range is ignored (the one before stays) and reported, as is every refusal to print.
  std::optional<QrToDraw> Apply(const SymbolFunction& function, Report& report);

 private:
  std::optional<QrToDraw> Print(std::size_t at, Report& report) const;

  std::uint8_t model_ = 0x32;
  int moduleSize_ = 3;
  std::uint8_t level_ = 0x30;
  std::optional<Bytes> data_;  // the symbol storage area (at most 64 KiB: pL pH's reach)
};

// ESC Z m n k dL dH data: m version (0 automatic), n error level, k module size (the range of
// GS ( k fn 0x43 applies).
std::optional<QrToDraw> PrepareWoosimSymbol(const WoosimQr& command, Report& report);

}  // namespace qrticket::viewer
