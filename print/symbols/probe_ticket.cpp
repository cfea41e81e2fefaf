// The limits ticket, statement by statement (see probe_ticket.h).
#include "symbols/probe_ticket.h"

#include <algorithm>
#include <cstdio>

#include "devices/char_from_code.h"
#include "devices/text_encoding.h"
#include "symbols/raster_qr.h"
#include "symbols/symbol_facts_text.h"
#include "symbols/symbol_failures.h"
#include "ticket/qr_commands.h"

namespace qrticket {
namespace {

// Literals below are written in UTF-8 and leave for the printer in Windows-1252.
Bytes Cp(std::string_view utf8) { return Utf8ToCp1252(utf8).value_or(Bytes{}); }

const Bytes kEsc = CharFromCode(27);
const Bytes kLf = CharFromCode(10);

// An ESC Z block is followed by its statement's CR LF and by the spacer's LF, and its length
// counts 3 bytes more than the data: the printer takes those three into the symbol.
constexpr BytesView kWoosimTakesAfterProbeData = "\r\n\n";

std::string N(long long value) { return std::to_string(value); }

std::string VersionName(QrModel model, int version) {
  return (model == QrModel::Micro ? "versão M" : "versão ") + N(version);
}

std::string SizeLine(const QrSize& size, int dots) {
  return N(size.modules) + " × " + N(size.modules) + " módulos, " + N(dots) + " pontos (" +
         Millimetres(dots) + " mm)";
}

std::string ModelName(QrModel model) {
  switch (model) {
    case QrModel::Model1: return "Modelo 1";
    case QrModel::Model2: return "Modelo 2";
    case QrModel::Micro: return "Micro QR";
  }
  return {};
}

// The widest version of `model` whose symbol fits `paperDots` at `moduleSize`; 0 for none.
int WidestVersion(QrModel model, int moduleSize, int paperDots) {
  for (int version = MaxVersion(model); version >= 1; --version) {
    if (ModulesAt(model, version) * moduleSize <= paperDots) return version;
  }
  return 0;
}

}  // namespace

Bytes ProbeData(std::size_t length) {
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%04zu:", length % 10000);
  Bytes data = prefix;
  for (std::size_t i = 0; data.size() < length; ++i) data += static_cast<char>('a' + i % 26);
  data.resize(length);
  return data;
}

ProbePlan PlanProbe(const QrPrintSettings& settings, int paperDots) {
  QrPrintSettings sample = settings;
  sample.dataText = ProbeData(1);  // any one byte: only the parameters matter here
  ProbePlan plan;
  plan.parameters = SymbolFactsFor(sample);
  plan.paperDots = paperDots;
  const SymbolFacts& p = plan.parameters;
  if (const std::string why = WhyNoProbe(p); !why.empty()) throw failures::ProbeRefused(why);

  const QrModel model = *p.model;
  const QrEcLevel level = *p.level;
  const bool woosim = p.dialect == QrDialect::kWoosim;
  const std::size_t taken = woosim ? kWoosimTakesAfterProbeData.size() : 0;
  // libqrencode makes no Model 1: the raster one is Model 2, which readers all know. Model 2
  // needs a larger version than Model 1 for the same bytes, so the longest length is the one
  // that fits the paper in both.
  const QrModel rasterModel = model == QrModel::Model1 ? QrModel::Model2 : model;
  const auto fitting = [&](QrModel m) {
    const int widest = WidestVersion(m, p.moduleSize, paperDots);
    return widest == 0 ? 0 : ByteCapacity(m, level, widest);
  };
  const auto longest = static_cast<std::size_t>(
      std::min({p.capacity, fitting(model), fitting(rasterModel)}));

  std::vector<std::size_t> lengths;
  for (const std::size_t length : kProbeLengths) {
    if (length > taken && length < longest) lengths.push_back(length);
  }
  if (longest > taken) lengths.push_back(longest);

  for (const std::size_t length : lengths) {
    ProbeSymbol symbol;
    symbol.sent = ProbeData(length).substr(0, length - taken);
    symbol.encoded = symbol.sent;
    if (woosim) symbol.encoded += kWoosimTakesAfterProbeData;
    const auto size = SmallestSymbol(symbol.encoded, model, level);
    if (!size) continue;  // cannot happen below the capacity; a symbol not drawn is not shown
    symbol.size = *size;
    symbol.dots = size->modules * p.moduleSize;
    plan.symbols.push_back(std::move(symbol));
  }
  if (plan.symbols.empty()) throw failures::ProbeRefused(WhyNoSymbol(p));
  plan.raster = EncodeQr(plan.symbols.back().encoded, rasterModel, level);
  // The raster's own width, checked as the printer's symbols are: never wider than the paper.
  if (plan.raster && plan.raster->modules * p.moduleSize > paperDots) plan.raster.reset();
  return plan;
}

std::vector<PrintStatement> ProbeStatements(const QrPrintSettings& settings, int paperDots) {
  const ProbePlan plan = PlanProbe(settings, paperDots);
  const SymbolFacts& p = plan.parameters;
  const bool woosim = p.dialect == QrDialect::kWoosim;
  const QrModel model = *p.model;
  const QrEcLevel level = *p.level;
  const int moduleSize = p.moduleSize;

  std::vector<PrintStatement> ticket;
  Bytes header = kEsc + "@";                                     // ESC @: initialise
  if (settings.centred) header += kEsc + "a" + CharFromCode(1);  // ESC a 1: centre
  header += kLf + Cp("** Teste de limites do QR CODE **");
  ticket.push_back({header});
  if (woosim) {
    ticket.push_back({Cp("Comando: ESC Z (woosim), fixo:")});
    ticket.push_back({Cp("versão automática, nível 0x0F (L), módulo 6")});
    ticket.push_back({Cp("Cada símbolo leva mais 3 bytes (CR LF LF)")});
  } else {
    ticket.push_back({Cp("Comando: GS ( k, " + ModelName(model) + ", nível " +
                         std::string(1, LevelLetter(level)) + ", módulo " + N(moduleSize))});
    if (model == QrModel::Model1)
      ticket.push_back({Cp("Versões pela tabela ISO/IEC 18004:2000")});
  }
  ticket.push_back({Cp("Papel de " + std::string(paperDots <= kPaper58mmDots ? "58" : "80") +
                       " mm: " + N(paperDots) + " pontos")});
  ticket.push_back({Cp("Máximo: " + N(p.capacity) + " bytes (" + ModelName(model) +
                       ", nível " + std::string(1, LevelLetter(level)) + ")")});
  ticket.push_back({kLf});

  for (const ProbeSymbol& symbol : plan.symbols) {
    ticket.push_back({Cp(N(static_cast<long long>(symbol.encoded.size())) + " bytes: " +
                         VersionName(model, symbol.size.version))});
    // A blank line under the label keeps the symbol's top quiet zone clear of text.
    ticket.push_back({Cp(SizeLine(symbol.size, symbol.dots)) + kLf});
    const auto build = woosim ? QrCommandsWoosim : QrCommandsStandard;
    ticket.push_back({build(symbol.sent, static_cast<std::int16_t>(moduleSize),
                            settings.errorLevelIndex, settings.modelIndex)});
    ticket.push_back({kLf});
  }

  if (plan.raster) {
    const QrGrid& grid = *plan.raster;
    const int dots = grid.modules * moduleSize;
    ticket.push_back({Cp("Imagem GS v 0 feita pelo programa")});
    ticket.push_back({Cp("com os mesmos " +
                         N(static_cast<long long>(plan.symbols.back().encoded.size())) +
                         " bytes: " + ModelName(grid.model) + ", " +
                         VersionName(grid.model, grid.version))});
    ticket.push_back({Cp(SizeLine({grid.version, grid.modules}, dots)) + kLf});
    ticket.push_back({RasterQrCommand(grid, moduleSize)});
    ticket.push_back({kLf});
    ticket.push_back({Cp("Se a imagem se lê e o último código")});
    ticket.push_back({Cp("da impressora não, a falha é da impressora.")});
  }
  for (int i = 0; i < 6; ++i) ticket.push_back({kLf});
  return ticket;
}

Bytes ProbeTicketBytes(const QrPrintSettings& settings, int paperDots) {
  Bytes bytes;
  for (const PrintStatement& statement : ProbeStatements(settings, paperDots))
    AppendStatement(statement, bytes);
  return bytes;
}

}  // namespace qrticket
