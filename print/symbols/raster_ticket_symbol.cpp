// The ticket's raster symbol: its facts, its refusals and its GS v 0 command.
#include "symbols/raster_ticket_symbol.h"

#include "symbols/raster_qr.h"
#include "symbols/symbol_facts_text.h"
#include "symbols/symbol_failures.h"

namespace qrticket {
namespace {

constexpr int kModelIndexMicro = 2;  // the list's positions: 0 Model 1, 1 Model 2, 2 Micro QR

}  // namespace

std::optional<QrGrid> AddRasterSymbol(SymbolFacts& facts, const QrPrintSettings& settings,
                                      std::int16_t moduleSize) {
  facts.raster = true;
  facts.dialect = QrDialect::kStandard;
  facts.woosimIgnored = settings.woosimDialect;
  // The list positions as GS ( k would carry them, for the texts that name a bad choice.
  facts.modelByte = settings.modelIndex + 0x31;
  facts.levelByte = settings.errorLevelIndex + 0x30;
  facts.sentModuleSize = facts.moduleSize = moduleSize;
  if (settings.modelIndex == kModelIndexMicro) {
    facts.model = QrModel::Micro;
    facts.noSymbol = NoSymbol::kRasterMicro;
    return std::nullopt;
  }
  facts.model = QrModel::Model2;
  facts.model1AsModel2 = settings.modelIndex == 0;
  if (settings.errorLevelIndex < 0 || settings.errorLevelIndex > 3) {
    facts.noSymbol = NoSymbol::kRasterNoLevel;
    return std::nullopt;
  }
  const auto level = static_cast<QrEcLevel>(settings.errorLevelIndex);
  facts.level = level;
  facts.capacity = MaxByteCapacity(QrModel::Model2, level);
  if (moduleSize < 1) {
    facts.noSymbol = NoSymbol::kRasterNoDots;
    return std::nullopt;
  }
  if (facts.data.empty()) {
    facts.noSymbol = NoSymbol::kNoData;
    return std::nullopt;
  }
  auto grid = facts.data.size() <= static_cast<std::size_t>(facts.capacity)
                  ? EncodeQrFromVersion(facts.data, level, kRasterMinimumVersion)
                  : std::nullopt;
  if (!grid) {
    facts.noSymbol = NoSymbol::kTooLong;
    return std::nullopt;
  }
  facts.size = {grid->version, grid->modules};
  facts.dots = grid->modules * moduleSize;
  facts.fits80mm = facts.dots <= kPaper80mmDots;
  facts.fits58mm = facts.dots <= kPaper58mmDots;
  return grid;
}

Bytes DrawTicketSymbol(const QrPrintSettings& settings, std::int16_t moduleSize) {
  SymbolFacts facts;
  facts.data = settings.dataText;
  const auto grid = AddRasterSymbol(facts, settings, moduleSize);
  // Refused before the device is opened, as the limits ticket is: a printer handed an image
  // wider than its paper cuts it or prints nothing, and neither tells the operator why.
  if (!grid || !facts.fits80mm) throw failures::RasterRefused(WhyNoRasterImage(facts));
  return RasterQrCommand(*grid, moduleSize, settings.centred ? CentringDots(facts.dots) : 0);
}

}  // namespace qrticket
