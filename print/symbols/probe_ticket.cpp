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

// A no-break space (U+00A0): words it joins stay on one line (see TextLines), where it prints
// as a plain space.
constexpr std::string_view kGlue = "\u00A0";

// `text` with its spaces made no-break: a name, a number and its unit.
std::string Glued(std::string_view text) {
  std::string glued;
  for (const char c : text) glued += c == ' ' ? std::string(kGlue) : std::string(1, c);
  return glued;
}

std::string VersionName(QrModel model, int version) {
  return Glued((model == QrModel::Micro ? "versão M" : "versão ") + N(version));
}

std::string SizeLine(const QrSize& size, int dots) {
  return Glued(N(size.modules) + " × " + N(size.modules)) + " módulos, " +
         Glued(N(dots) + " pontos") + " " + Glued("(" + Millimetres(dots) + " mm)");
}

std::string ModelName(QrModel model) {
  switch (model) {
    case QrModel::Model1: return Glued("Modelo 1");
    case QrModel::Model2: return Glued("Modelo 2");
    case QrModel::Micro: return Glued("Micro QR");
  }
  return {};
}

// Characters of the printer's font A (12 dots wide) on one line of the paper: 48 on 80 mm, 32
// on 58 mm.
constexpr int kFontADots = 12;

// The ticket's text statements, each wrapped at spaces to the paper's line, so that a label
// never breaks inside a word or a number, nor at a no-break space (kGlue). `after` ends the last line (a blank line).
class TextLines {
 public:
  TextLines(std::vector<PrintStatement>& ticket, int paperDots)
      : ticket_(ticket), columns_(static_cast<std::size_t>(std::max(paperDots / kFontADots, 1))) {}

  void Add(std::string_view utf8, const Bytes& after = {}, const Bytes& before = {}) {
    const Bytes text = Cp(utf8);
    Bytes line;
    Bytes prefix = before;
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find(' ', start);
      if (end == Bytes::npos) end = text.size();
      const Bytes word = text.substr(start, end - start);
      if (!line.empty() && line.size() + 1 + word.size() > columns_) {
        Push(prefix + line);
        prefix.clear();
        line.clear();
      }
      line += (line.empty() ? "" : " ") + word;
      start = end + 1;
    }
    Push(prefix + line + after);
  }

 private:
  void Push(Bytes line) {
    std::replace(line.begin(), line.end(), kGlueByte, ' ');
    ticket_.push_back({std::move(line)});
  }
  static constexpr char kGlueByte = '\xA0';  // kGlue in Windows-1252

  std::vector<PrintStatement>& ticket_;
  std::size_t columns_;
};

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
  sample.symbolImage = nullptr;    // the limits ticket tests the printer's own command
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
  TextLines text(ticket, paperDots);
  Bytes header = kEsc + "@";                                     // ESC @: initialise
  if (settings.centred) header += kEsc + "a" + CharFromCode(1);  // ESC a 1: centre
  header += kLf;
  // The title with its stars is 33 characters: one star each side on 58 mm paper.
  text.Add(paperDots / kFontADots >= 33 ? "** Teste de limites do QR CODE **"
                                        : "* Teste de limites do QR CODE *",
           {}, header);
  if (woosim) {
    text.Add("Comando: ESC Z (woosim), fixo:");
    text.Add("versão automática, nível 0x0F (L), módulo 6");
    text.Add("Cada símbolo leva mais 3 bytes (CR LF LF)");
  } else {
    text.Add("Comando: " + Glued("GS ( k,") + " " + ModelName(model) + ", " +
             Glued("nível " + std::string(1, LevelLetter(level)) + ",") + " " +
             Glued("módulo " + N(moduleSize)));
    if (model == QrModel::Model1) text.Add("Versões pela tabela ISO/IEC 18004:2000");
  }
  text.Add("Papel de " + Glued(std::string(paperDots <= kPaper58mmDots ? "58" : "80") +
                                " mm:") + " " + Glued(N(paperDots) + " pontos"));
  text.Add("Máximo: " + Glued(N(p.capacity) + " bytes") + " " +
           Glued("(" + ModelName(model) + ", nível " + std::string(1, LevelLetter(level)) + ")"));
  ticket.push_back({kLf});

  for (const ProbeSymbol& symbol : plan.symbols) {
    text.Add(Glued(N(static_cast<long long>(symbol.encoded.size())) + " bytes:") + " " +
             VersionName(model, symbol.size.version));
    // A blank line under the label keeps the symbol's top quiet zone clear of text.
    text.Add(SizeLine(symbol.size, symbol.dots), kLf);
    const auto build = woosim ? QrCommandsWoosim : QrCommandsStandard;
    ticket.push_back({build(symbol.sent, static_cast<std::int16_t>(moduleSize),
                            settings.errorLevelIndex, settings.modelIndex)});
    ticket.push_back({kLf});
  }

  if (plan.raster) {
    const QrGrid& grid = *plan.raster;
    const int dots = grid.modules * moduleSize;
    text.Add("Imagem " + Glued("GS v 0") + " feita pelo programa");
    text.Add("com os mesmos " +
             Glued(N(static_cast<long long>(plan.symbols.back().encoded.size())) + " bytes:") +
             " " + Glued(ModelName(grid.model) + ",") + " " +
             VersionName(grid.model, grid.version));
    text.Add(SizeLine({grid.version, grid.modules}, dots), kLf);
    ticket.push_back({RasterQrCommand(grid, moduleSize)});
    ticket.push_back({kLf});
    // Two lines on 80 mm paper; on narrower paper the sentence wraps as a whole.
    if (paperDots / kFontADots >= 43) {
      text.Add("Se a imagem se lê e o último código");
      text.Add("da impressora não, a falha é da impressora.");
    } else {
      text.Add("Se a imagem se lê e o último código da impressora não, a falha é da "
               "impressora.");
    }
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
