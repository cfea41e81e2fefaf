// The symbol facts in Portuguese, for the window's live line, its tool tip and
// `qrticket --check`. All the wording lives in symbol_facts_text.cpp.
#pragma once

#include <cstddef>
#include <string>

#include "symbols/symbol_facts.h"

namespace qrticket {

// A few short lines ('\n' between them) for the narrow column under the character count.
std::string SymbolFactsLine(const SymbolFacts& facts);

// Every fact, one per line ('\n' between them, none at the end). The reader's text is cut
// after `readerTextLimit` characters when that is not 0.
std::string SymbolFactsReport(const SymbolFacts& facts, std::size_t readerTextLimit = 0);

// Why the limits ticket cannot be made with these settings: no symbol at all, or a setting the
// printer would ignore (the ticket would not test what was chosen). Lower case, no full stop;
// empty when it can.
std::string WhyNoProbe(const SymbolFacts& facts);

// Why there is no symbol, in lower case and without a full stop, to follow other words; empty
// when there is one.
std::string WhyNoSymbol(const SymbolFacts& facts);

// Why a ticket that reaches the printer carries no symbol: the printer draws none (no data,
// Micro QR at level H, too many bytes) or the ticket carries the builder's failure text. Lower
// case, no full stop; empty when the printer draws a symbol or the job itself fails.
std::string WhyDeliveredWithoutSymbol(const SymbolFacts& facts);

// Why the ticket's symbol is not drawn as an image (facts.raster): no symbol, or one wider than
// 80 mm paper. Lower case, no full stop; empty when it is drawn.
std::string WhyNoRasterImage(const SymbolFacts& facts);

// The settings the printer ignores and what it uses instead, one line each ('\n' between
// them), in lower case without a full stop; empty when it takes every one or none is sent.
// With the raster image: the choices that have no effect on it.
std::string IgnoredSettings(const SymbolFacts& facts);

// One sentence saying why `qrticket --check` fails: no symbol (and why), or too wide for
// 80 mm paper. Empty when the symbol prints on 80 mm paper.
std::string CheckVerdict(const SymbolFacts& facts);

// The reader's text (UTF-8) with every control character written as [0xNN], so it can stand
// on one line; cut with "…" after `limit` characters when that is not 0.
std::string VisibleReaderText(const std::string& utf8, std::size_t limit = 0);

// "36,8" for 294 dots: millimetres at 203 dpi, one decimal, Portuguese comma.
std::string Millimetres(int dots);

}  // namespace qrticket
