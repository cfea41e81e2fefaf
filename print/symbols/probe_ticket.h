// The limits ticket: a series of symbols through the printer's own QR command, at growing data
// lengths around the limits printers are known to have, each under a printed label, then the
// longest one drawn by us as a raster image. A printer that stops drawing, or draws a symbol
// that scans short, shows where its command gives up; the raster one shows the data was sound.
#pragma once

#include <cstddef>
#include <vector>

#include "devices/print_item.h"
#include "symbols/qr_encoder.h"
#include "symbols/symbol_facts.h"
#include "ticket/qr_print_settings.h"

namespace qrticket {

// The data of a probe symbol of `length` bytes: its length in four digits, ':', then
// lower-case letters (so a printer that picks its own encoding mode stays in byte mode).
// Shorter lengths keep the start of the same text.
Bytes ProbeData(std::size_t length);

struct ProbeSymbol {
  Bytes sent;     // the data in the QR command
  Bytes encoded;  // what the symbol holds: `sent`, or for ESC Z `sent` and the 3 bytes after it
  QrSize size;
  int dots = 0;
};

struct ProbePlan {
  SymbolFacts parameters;  // model, level, module size and dialect, as the ticket sends them
  int paperDots = kPaper80mmDots;
  std::vector<ProbeSymbol> symbols;
  std::optional<QrGrid> raster;  // the last symbol's data, drawn by us (Model 2 for Model 1)
};

// The lengths tried: the known limits below, those that the model holds at the level and that
// fit the paper, and last the longest that both allows.
inline constexpr std::size_t kProbeLengths[] = {16,  32,  64,  128,  252,  253,
                                                255, 256, 300, 500, 1000, 2000};

// Plans the probe for the model, level, module size and dialect of `settings` (its data text
// is not used) on paper `paperDots` wide. Throws PrintFailure when those settings give no
// symbol at all (Micro QR at level H, a size that is not a byte) or one the printer would
// ignore (a size outside 1..16, no model or level chosen).
ProbePlan PlanProbe(const QrPrintSettings& settings, int paperDots);

// The ticket's statements, written like the QR test ticket's (each ends with CR LF).
std::vector<PrintStatement> ProbeStatements(const QrPrintSettings& settings, int paperDots);

// All of the ticket's bytes, as the device receives them.
Bytes ProbeTicketBytes(const QrPrintSettings& settings, int paperDots);

}  // namespace qrticket
