// The symbol facts, worked out the way the ticket job and then a printer meet the settings.
#include "symbols/symbol_facts.h"

#include "devices/failure.h"
#include "devices/text_encoding.h"
#include "symbols/raster_ticket_symbol.h"
#include "ticket/module_size.h"
#include "ticket/qr_commands.h"

namespace qrticket {
namespace {

constexpr int kFirstModelByte = 0x31;  // GS ( k fn 0x41: 0x31 Model 1 .. 0x33 Micro QR
constexpr int kFirstLevelByte = 0x30;  // GS ( k fn 0x45: 0x30 L .. 0x33 H

std::optional<QrModel> ModelOf(int byte) {
  if (byte < kFirstModelByte || byte > kFirstModelByte + 2) return std::nullopt;
  return static_cast<QrModel>(byte - kFirstModelByte);
}

std::optional<QrEcLevel> LevelOf(int byte) {
  if (byte < kFirstLevelByte || byte > kFirstLevelByte + 3) return std::nullopt;
  return static_cast<QrEcLevel>(byte - kFirstLevelByte);
}

// A builder's result is its failure's description when it is not a command block.
bool IsCommandBlock(const Bytes& block) { return block.rfind("\x1D\x28\x6B", 0) == 0; }

void AddReading(SymbolFacts& facts) {
  facts.readerText = Latin1ToUtf8(facts.data);
  bool seen[32] = {};
  for (const char c : facts.data) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 || byte > 0x9F || seen[byte - 0x80]) continue;
    seen[byte - 0x80] = true;
    facts.misreadCharacters += Cp1252ToUtf8(BytesView(&c, 1));
  }
}

// The printer's side: the data against the capacity of the model and level in force.
void AddSymbol(SymbolFacts& facts) {
  const bool microH = *facts.model == QrModel::Micro && *facts.level == QrEcLevel::H;
  if (!microH) facts.capacity = MaxByteCapacity(*facts.model, *facts.level);
  if (facts.data.empty()) {
    facts.noSymbol = NoSymbol::kNoData;
    return;
  }
  if (microH) {
    facts.noSymbol = NoSymbol::kNoMicroLevelH;
    return;
  }
  const auto size = facts.data.size() <= static_cast<std::size_t>(facts.capacity)
                        ? SmallestSymbol(facts.data, *facts.model, *facts.level)
                        : std::nullopt;
  if (!size) {
    facts.noSymbol = NoSymbol::kTooLong;
    return;
  }
  facts.size = *size;
  facts.dots = size->modules * facts.moduleSize;
  facts.fits80mm = facts.dots <= kPaper80mmDots;
  facts.fits58mm = facts.dots <= kPaper58mmDots;
}

}  // namespace

SymbolFacts SymbolFactsFor(const QrPrintSettings& settings) {
  SymbolFacts facts;
  facts.dialect = settings.woosimDialect ? QrDialect::kWoosim : QrDialect::kStandard;
  facts.data = settings.dataText;
  const bool raster = settings.symbolImage != nullptr;
  if (settings.woosimDialect && !raster) facts.data += kWoosimTakenAfterData;
  AddReading(facts);

  // The job's own checks come first: past them no symbol command is sent at all.
  if (settings.dataText.size() > static_cast<std::size_t>(kMaxDataLength)) {
    facts.noSymbol = NoSymbol::kTicketTooLong;
    return facts;
  }
  std::int16_t moduleSize = 0;
  try {
    moduleSize = ConvertModuleSize(settings.moduleSizeText);
  } catch (const PrintFailure& failure) {
    facts.noSymbol = NoSymbol::kModuleSizeOverflow;
    facts.failure = failure.description();
    return facts;
  }

  if (raster) {
    AddRasterSymbol(facts, settings, moduleSize);
    return facts;
  }
  if (settings.woosimDialect) {
    // ESC Z carries fixed parameters: the size, model and level chosen are not sent.
    facts.modelByte = kFirstModelByte + 1;
    facts.levelByte = kWoosimLevelByte;
    facts.sentModuleSize = facts.moduleSize = kWoosimModuleSize;
    facts.model = QrModel::Model2;
    facts.level = QrEcLevel::L;
  } else {
    const Bytes block = QrCommandsStandard(settings.dataText, moduleSize,
                                           settings.errorLevelIndex, settings.modelIndex);
    if (!IsCommandBlock(block)) {
      facts.noSymbol = NoSymbol::kBuilderFailure;
      facts.failure = Cp1252ToUtf8(block);
      return facts;
    }
    facts.modelByte = settings.modelIndex + kFirstModelByte;
    facts.levelByte = settings.errorLevelIndex + kFirstLevelByte;
    facts.sentModuleSize = moduleSize;
    facts.model = ModelOf(facts.modelByte);
    facts.modelIgnored = !facts.model;
    if (facts.modelIgnored) facts.model = kInitialModel;
    facts.moduleSizeIgnored = moduleSize < kMinModuleSize || moduleSize > kMaxModuleSize;
    facts.moduleSize = facts.moduleSizeIgnored ? kInitialModuleSize : moduleSize;
    facts.level = LevelOf(facts.levelByte);
    facts.levelIgnored = !facts.level;
    if (facts.levelIgnored) facts.level = kInitialLevel;
  }
  AddSymbol(facts);
  return facts;
}

}  // namespace qrticket
