// Portuguese wording of the symbol facts (UTF-8).
#include "symbols/symbol_facts_text.h"

#include <cmath>

#include "devices/hex_byte.h"
#include "ticket/qr_commands.h"

namespace qrticket {
namespace {

std::string Number(long long value) { return std::to_string(value); }
std::string Length(const Bytes& data) { return Number(static_cast<long long>(data.size())); }

const char* ModelName(QrModel model) {
  switch (model) {
    case QrModel::Model1: return "Modelo 1";
    case QrModel::Model2: return "Modelo 2";
    case QrModel::Micro: return "Micro QR";
  }
  return "";
}

std::string Version(const SymbolFacts& f) {
  return (*f.model == QrModel::Micro ? "versão M" : "versão ") + Number(f.size.version);
}

// "o Modelo 2 de nível M leva até 2331 bytes"
std::string Capacity(const SymbolFacts& f) {
  return std::string("o ") + ModelName(*f.model) + " de nível " + LevelLetter(*f.level) +
         " leva até " + Number(f.capacity) + " bytes";
}

std::string Paper(const char* name, int dots, bool fits) {
  return std::string("Papel de ") + name + " (" + Number(dots) + " pontos): " +
         (fits ? "cabe" : "não cabe");
}

std::string Capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

// A list position of -1 (typed text in the list) sends these bytes.
constexpr int kNoModelChosen = 0x30;
constexpr int kNoLevelChosen = 0x2F;

// One line per setting the printer ignores, with the value it keeps.
std::string IgnoredAtLength(const SymbolFacts& f) {
  std::string r;
  const std::string keeps = ": a impressora ignora o comando e fica com ";
  if (f.modelIgnored)
    r += "Modelo " + HexByte(f.modelByte) +
         (f.modelByte == kNoModelChosen ? " (nenhum escolhido)" : "") + " fora de 0x31 a 0x33" +
         keeps + "o " + ModelName(kInitialModel) + ", o de depois de ESC @\n";
  if (f.moduleSizeIgnored)
    r += "Tamanho do módulo " + Number(f.sentModuleSize) + " fora de " + Number(kMinModuleSize) +
         " a " + Number(kMaxModuleSize) + keeps + Number(kInitialModuleSize) +
         " pontos, o de depois de ESC @\n";
  if (f.levelIgnored)
    r += "Nível " + HexByte(f.levelByte) +
         (f.levelByte == kNoLevelChosen ? " (nenhum escolhido)" : "") + " fora de 0x30 a 0x33" +
         keeps + "o nível " + LevelLetter(kInitialLevel) + ", o de depois de ESC @\n";
  return r;
}

// The raster image's choices that have no effect, one line each.
std::string WithoutEffectAtLength(const SymbolFacts& f) {
  std::string r;
  if (f.woosimIgnored)
    r += "Woosim: não segue o comando ESC Z, a imagem vai no lugar do comando QR\n";
  if (f.model1AsModel2)
    r += "Modelo 1: a imagem é Modelo 2 (a libqrencode não gera o Modelo 1)\n";
  return r;
}

std::string IgnoredShort(const SymbolFacts& f) {
  std::string r;
  if (f.woosimIgnored) r += "Woosim → imagem\n";
  if (f.model1AsModel2) r += "Modelo 1 → 2\n";
  if (f.modelIgnored) r += "Modelo " + HexByte(f.modelByte) + " → 2\n";
  if (f.moduleSizeIgnored) r += "Tamanho " + Number(f.sentModuleSize) + " → 3\n";
  if (f.levelIgnored) r += "Nível " + HexByte(f.levelByte) + " → L\n";
  return r;
}

// The reason there is no symbol, as one sentence without the final full stop.
std::string Why(const SymbolFacts& f) {
  switch (f.noSymbol) {
    case NoSymbol::kNone: return {};
    case NoSymbol::kTicketTooLong:
      return "o texto tem " + Length(f.data) + " caracteres, mais do que os " +
             Number(kMaxDataLength) + " que o talão admite: a impressão falha";
    case NoSymbol::kModuleSizeOverflow:
      return "a impressão falha: " + f.failure;
    case NoSymbol::kBuilderFailure:
      return "o talão imprime a falha \"" + f.failure + "\" em vez do código";
    case NoSymbol::kNoData:
      return f.raster ? "sem dados: não há imagem a desenhar"
                      : "sem dados: a impressora não imprime nenhum símbolo";
    case NoSymbol::kNoMicroLevelH:
      return "o Micro QR não tem nível H: nenhum símbolo";
    case NoSymbol::kTooLong:
      return Length(f.data) + " bytes: não cabe num código QR (" + Capacity(f) + ")";
    case NoSymbol::kRasterMicro:
      return "a imagem é um código QR Modelo 2 de versão " + Number(kRasterMinimumVersion) +
             " ou mais, e o Micro QR não passa da versão M4: escolha o Modelo 2";
    case NoSymbol::kRasterNoLevel:
      return "a imagem leva o nível de correção escolhido, e " + HexByte(f.levelByte) +
             (f.levelByte == kNoLevelChosen ? " (nenhum escolhido)" : "") +
             " não é nenhum dos níveis L, M, Q e H";
    case NoSymbol::kRasterNoDots:
      return "a imagem precisa de módulos de 1 ponto ou mais, e o tamanho do módulo é " +
             Number(f.sentModuleSize);
  }
  return {};
}

std::string ShortNoSymbol(const SymbolFacts& f) {
  switch (f.noSymbol) {
    case NoSymbol::kNone: return {};
    case NoSymbol::kTicketTooLong:
      return "Mais de " + Number(kMaxDataLength) + "\ncaracteres:\na impressão falha";
    case NoSymbol::kModuleSizeOverflow: return "Tamanho fora\nde 16 bits:\na impressão falha";
    case NoSymbol::kBuilderFailure: return "Nenhum símbolo:\no talão imprime\numa falha";
    case NoSymbol::kNoData: return "Sem dados:\nnenhum símbolo";
    case NoSymbol::kNoMicroLevelH: return "O Micro QR não\ntem nível H";
    case NoSymbol::kTooLong:
      return Length(f.data) + " bytes:\nnão cabe num\ncódigo QR\n(até " + Number(f.capacity) + ")";
    case NoSymbol::kRasterMicro: return "Imagem: não há\nMicro QR de\nversão " + Number(kRasterMinimumVersion);
    case NoSymbol::kRasterNoLevel: return "Imagem: falta\no nível";
    case NoSymbol::kRasterNoDots: return "Imagem: módulo\nde 1 ponto\nou mais";
  }
  return {};
}

std::string ShortFit(const SymbolFacts& f) {
  if (f.fits58mm) return "cabe em 80 e 58 mm";
  if (f.fits80mm) return "só cabe em 80 mm";
  return "não cabe em 80 mm";
}

std::string Spaced(const std::string& characters) {
  std::string out;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    if (i > 0 && (static_cast<unsigned char>(characters[i]) & 0xC0) != 0x80) out += ' ';
    out += characters[i];
  }
  return out;
}

// The job or the builder fails: no GS ( k or ESC Z goes out at all.
bool NoCommandSent(const SymbolFacts& f) {
  return f.noSymbol == NoSymbol::kTicketTooLong || f.noSymbol == NoSymbol::kModuleSizeOverflow ||
         f.noSymbol == NoSymbol::kBuilderFailure;
}

}  // namespace

std::string VisibleReaderText(const std::string& utf8, std::size_t limit) {
  std::string out;
  std::size_t points = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length = 1;
    while (i + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[i + length]) & 0xC0) == 0x80)
      ++length;
    if (limit != 0 && points++ == limit) return out + "…";
    const auto lead = static_cast<unsigned char>(utf8[i]);
    // C0 controls, DEL, and C1 controls (U+0080..U+009F are C2 80..C2 9F in UTF-8).
    int control = -1;
    if (lead < 0x20 || lead == 0x7F) control = lead;
    if (lead == 0xC2 && length == 2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0)
      control = static_cast<unsigned char>(utf8[i + 1]);
    if (control >= 0)
      out.append("[").append(HexByte(control)).append("]");
    else
      out.append(utf8, i, length);
    i += length;
  }
  return out;
}

std::string Millimetres(int dots) {
  const long tenths = std::lround(DotsToMillimetres(dots) * 10);
  return Number(tenths / 10) + "," + Number(tenths % 10);
}

std::string SymbolFactsLine(const SymbolFacts& f) {
  std::string line = NoCommandSent(f) ? "" : IgnoredShort(f);
  if (!f.hasSymbol()) {
    line += ShortNoSymbol(f);
  } else {
    const std::string kind = f.raster                          ? "Imagem, " + Version(f)
                             : f.dialect == QrDialect::kWoosim ? "ESC Z " + Version(f)
                                                               : Capitalised(Version(f));
    line += kind +
            "\n" + Number(f.size.modules) + "×" + Number(f.size.modules) + " módulos\n" +
            Number(f.dots) + " pontos, " + Millimetres(f.dots) + " mm\n" + ShortFit(f);
  }
  if (!f.misreadCharacters.empty())
    line += "\nLeitor troca " + VisibleReaderText(Spaced(f.misreadCharacters), 7);
  return line;
}

std::string SymbolFactsReport(const SymbolFacts& f, std::size_t readerTextLimit) {
  std::string r;
  if (f.raster && !NoCommandSent(f)) {
    r += std::string("Comando: imagem GS v 0 desenhada pelo programa no lugar do comando QR "
                     "da impressora: ") +
         ModelName(*f.model);
    if (f.level) r += std::string(", nível ") + LevelLetter(*f.level);
    r += ", versão " + Number(kRasterMinimumVersion) + " ou mais, módulo de " +
         Number(f.moduleSize) + " pontos\n";
    r += WithoutEffectAtLength(f);
    r += "Dados: " + Length(f.data) + " bytes\n";
  } else if (f.dialect == QrDialect::kWoosim) {
    r += "Comando: ESC Z (woosim) com parâmetros fixos: versão automática, nível " +
         HexByte(f.levelByte) + " (lido como L), módulo de " + Number(f.moduleSize) +
         " pontos; o tamanho, o modelo e o nível escolhidos não são enviados\n";
    r += "Dados: " + Length(f.data) +
         " bytes: o texto e mais CR LF e o \"S\" da linha seguinte, porque ESC Z declara 3 "
         "bytes a mais\n";
  } else if (!NoCommandSent(f)) {
    r += std::string("Comando: GS ( k, ") + ModelName(*f.model) + ", nível " +
         LevelLetter(*f.level) + ", módulo de " + Number(f.moduleSize) + " pontos\n";
    r += IgnoredAtLength(f);
    r += "Dados: " + Length(f.data) + " bytes\n";
  }
  if (f.capacity > 0 && f.noSymbol != NoSymbol::kTooLong) r += "Capacidade: " + Capacity(f) + "\n";
  if (f.hasSymbol()) {
    r += "Símbolo: " + Version(f) + ", " + Number(f.size.modules) + " × " +
         Number(f.size.modules) + " módulos, " + Number(f.dots) + " × " + Number(f.dots) +
         " pontos (" + Millimetres(f.dots) + " mm a " + Number(kPrinterDpi) + " ppp)\n";
    if (*f.model == QrModel::Model1)
      r += "Modelo 1: versão pela tabela da ISO/IEC 18004:2000 (a libqrencode não gera o "
           "Modelo 1; a pré-visualização desenha-o como Modelo 2)\n";
    if (f.raster && f.size.version > kRasterMinimumVersion)
      r += "Versão " + Number(f.size.version) + ": a menor que leva os dados\n";
    r += Paper("80 mm", kPaper80mmDots, f.fits80mm) + "\n";
    r += Paper("58 mm", kPaper58mmDots, f.fits58mm) + "\n";
  } else {
    r += Capitalised(Why(f)) + "\n";
  }
  if (f.misreadCharacters.empty()) {
    r += "Um leitor comum mostra o texto tal como está\n";
  } else {
    r += "Um leitor comum lê os bytes como ISO-8859-1, e " + Spaced(f.misreadCharacters) +
         " aparecem como outros caracteres; mostra: «" +
         VisibleReaderText(f.readerText, readerTextLimit) + "»\n";
  }
  if (f.raster) {
    r += "A imagem não se imprime se não couber no papel de 80 mm (" + Number(kPaper80mmDots) +
         " pontos)";
  } else {
    r += "Tamanhos de módulo aceites: " + Number(kMinModuleSize) + " a " +
         Number(kMaxModuleSize) + " pontos";
  }
  return r;
}

std::string WhyNoSymbol(const SymbolFacts& f) { return Why(f); }

std::string WhyDeliveredWithoutSymbol(const SymbolFacts& f) {
  // The raster image is drawn or the job fails: a delivered ticket always carries it.
  const bool delivered = !f.raster && f.noSymbol != NoSymbol::kTicketTooLong &&
                         f.noSymbol != NoSymbol::kModuleSizeOverflow;
  return delivered ? Why(f) : std::string();
}

std::string IgnoredSettings(const SymbolFacts& f) {
  if (f.dialect == QrDialect::kWoosim || NoCommandSent(f)) return {};
  std::string r = f.raster ? WithoutEffectAtLength(f) : IgnoredAtLength(f);
  if (r.empty()) return r;
  r.pop_back();
  // Every line starts with an ASCII capital.
  for (std::size_t start = 0; start != std::string::npos;) {
    r[start] = static_cast<char>(r[start] - 'A' + 'a');
    const std::size_t end = r.find('\n', start);
    start = end == std::string::npos ? end : end + 1;
  }
  return r;
}

std::string CheckVerdict(const SymbolFacts& f) {
  if (!f.hasSymbol()) return Capitalised(Why(f));
  if (!f.fits80mm)
    return "O símbolo tem " + Number(f.dots) + " pontos (" + Millimetres(f.dots) +
           " mm): não cabe no papel de 80 mm (" + Number(kPaper80mmDots) + " pontos)";
  return {};
}

std::string WhyNoRasterImage(const SymbolFacts& f) {
  if (!f.hasSymbol()) return Why(f);
  if (!f.fits80mm)
    return "a imagem tem " + Number(f.dots) + " pontos de largura (" + Millimetres(f.dots) +
           " mm) e não cabe no papel de 80 mm (" + Number(kPaper80mmDots) + " pontos)";
  return {};
}

std::string WhyNoProbe(const SymbolFacts& f) {
  if (!f.hasSymbol()) return Why(f);
  std::string r = IgnoredAtLength(f);
  if (r.empty()) return r;
  r.pop_back();
  for (std::size_t at; (at = r.find('\n')) != std::string::npos;) r.replace(at, 1, "; ");
  r[0] = static_cast<char>(r[0] - 'A' + 'a');  // every line starts with an ASCII capital
  return r;
}

}  // namespace qrticket
