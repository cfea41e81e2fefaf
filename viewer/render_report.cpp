// The viewer's report texts (Portuguese, UTF-8) and the bounded line collector.
#include "render_report.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>

#include "devices/hex_byte.h"
#include "devices/text_encoding.h"

namespace qrticket::viewer {
namespace {

std::string At(std::size_t at) { return "byte " + std::to_string(at) + ": "; }

// "4", or "3,5" for a module size a resampled picture left between whole dots.
std::string DotsText(double dots) {
  const long tenths = std::lround(dots * 10);
  return std::to_string(tenths / 10) + (tenths % 10 != 0 ? "," + std::to_string(tenths % 10) : "");
}

std::string HexBytes(BytesView bytes) {
  std::string out;
  char text[4];
  for (const char c : bytes) {
    std::snprintf(text, sizeof text, out.empty() ? "%02X" : " %02X",
                  static_cast<unsigned char>(c));
    out += text;
  }
  return out;
}

}  // namespace

void Report::Add(std::string line) {
  if (lines_.size() < kMaxLines) {
    lines_.push_back(std::move(line));
  } else {
    ++dropped_;
  }
}

std::vector<std::string> Report::Take() {
  std::vector<std::string> out = std::move(lines_);
  if (dropped_ > 0) out.push_back(say::DroppedLines(dropped_));
  std::vector<const SkippedKind*> kinds;
  for (const auto& [key, kind] : skipped_) kinds.push_back(&kind);
  std::sort(kinds.begin(), kinds.end(),
            [](const SkippedKind* a, const SkippedKind* b) { return a->first < b->first; });
  for (const SkippedKind* k : kinds) {
    out.push_back(k->known ? say::SkippedKnown(k->first, k->name, k->count)
                           : say::SkippedUnknown(k->first, k->name, k->count));
  }
  if (skippedUncounted_ > 0) out.push_back(say::SkippedOther(skippedUncounted_));
  *this = Report();
  return out;
}

namespace say {

namespace {
std::string Count(std::uint64_t count) {
  return count > 1 ? ", " + std::to_string(count) + " vezes ao todo" : std::string();
}
std::string Mib(std::uint64_t bytes) {
  if (bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MiB";
  return std::to_string(bytes) + " bytes";
}
// zint's messages start "Error 275: ...": the number says which check failed.
std::string ZintNumber(std::string_view error) {
  const auto digits = error.find_first_of("0123456789");
  if (digits == std::string_view::npos) return "";
  const auto end = error.find_first_not_of("0123456789", digits);
  return " (zint, erro " + std::string(error.substr(digits, end - digits)) + ")";
}
}  // namespace

std::string SkippedKnown(std::size_t at, std::string_view command, std::uint64_t count) {
  return At(at) + std::string(command) + " ignorado (não desenhado)" + Count(count);
}
std::string SkippedUnknown(std::size_t at, std::string_view command, std::uint64_t count) {
  return At(at) + "comando desconhecido " + std::string(command) + " ignorado" + Count(count);
}
std::string SkippedOther(std::uint64_t count) {
  return "... e mais " + std::to_string(count) + " comandos ignorados de outros tipos";
}
std::string Truncated(std::size_t at, std::string_view command) {
  return At(at) + std::string(command) + " incompleto no fim dos dados: não impresso";
}
std::string PageModeEntered(std::size_t at) {
  return At(at) + "ESC L (modo página): desenhado como modo padrão";
}
std::string PagePrintInStandardMode(std::size_t at) {
  return At(at) + "ESC FF em modo padrão: ignorado (o modo página liga-se com ESC L)";
}
std::string PagePrinted(std::size_t at) {
  return At(at) + "ESC FF: página impressa (desenhada como modo padrão)";
}
std::string StandardModeInStandardMode(std::size_t at) {
  return At(at) + "ESC S em modo padrão: sem efeito";
}
std::string StandardModeAgain(std::size_t at) {
  return At(at) + "ESC S: volta ao modo padrão";
}
std::string PaperCut(std::size_t at) { return At(at) + "corte do papel"; }
std::string LineLeftInBuffer(std::size_t characters) {
  return "fim dos dados: " + std::to_string(characters) +
         " caracteres sem LF ficaram por imprimir";
}
std::string PaperLimit(int dots) {
  return "papel limitado a " + std::to_string(dots) + " pontos: o resto não foi desenhado";
}
std::string PaperOutOfMemory(int dots) {
  return "sem memória para mais papel: desenhados só os primeiros " + std::to_string(dots) +
         " pontos";
}
std::string FontMissing(std::string_view path) {
  return "tipo de letra não encontrado (" + std::string(path) +
         "): texto desenhado como caixas";
}
std::string DroppedLines(std::size_t count) {
  return "... e mais " + std::to_string(count) + " avisos";
}

std::string InputCut(std::uint64_t limit, std::uint64_t size) {
  std::string line = "entrada cortada aos " + Mib(limit);
  if (size > limit) line += " (tem " + std::to_string(size) + " bytes)";
  return line + ": o resto não foi lido nem desenhado";
}
std::string ElementsNotListed(std::size_t count) {
  return "só as primeiras " + std::to_string(count) +
         " imagens e códigos ficam na lista de elementos (todos estão no papel)";
}
std::string CommandTooLong(std::size_t at, std::string_view command, std::uint64_t length,
                           std::uint64_t limit) {
  return At(at) + std::string(command) + " de " + std::to_string(length) +
         " bytes: maior do que o limite de " + Mib(limit) + ", lido e não desenhado";
}
std::string CodeTableNotDrawn(std::size_t at, int table, std::string_view kept) {
  return At(at) + "ESC t " + std::to_string(table) +
         ": tabela de caracteres não desenhada aqui, mantém-se " + std::string(kept);
}
std::string StartTableMismatches(std::string_view table, bool factory,
                                 std::u32string_view intended, std::u32string_view printed) {
  std::string line = "tabela " + std::string(table) +
                     (factory ? " (a de fábrica, sem ESC t): " : " (a inicial, sem ESC t): ");
  for (std::size_t i = 0; i < intended.size() && i < printed.size(); ++i) {
    if (i > 0) line += ", ";
    AppendUtf8(line, intended[i]);
    line += i == 0 ? " sai" : "";
    if (printed[i] == 0) {
      line += " em branco";
    } else {
      line += " como ";
      AppendUtf8(line, printed[i]);
    }
  }
  return line;
}
std::string KanjiNotDrawn(std::size_t at) {
  return At(at) + "FS & (modo Kanji): não desenhado, os bytes seguem como caracteres de um byte";
}
std::string PositionIgnored(std::size_t at, std::string_view command, int x) {
  return At(at) + std::string(command) + ": posição " + std::to_string(x) +
         " fora da área de impressão, ignorado";
}
std::string NotAtLineStart(std::size_t at, std::string_view command) {
  return At(at) + std::string(command) + " fora do início da linha: ignorado";
}

std::string ColumnImageDrawn(std::size_t at, int width, int height, int x, int y, int bands) {
  return At(at) + "imagem (ESC *), " + std::to_string(width) + " × " + std::to_string(height) +
         " pontos, em x=" + std::to_string(x) + ", y=" + std::to_string(y) +
         (bands > 1 ? " (" + std::to_string(bands) + " faixas)" : "");
}
std::string GraphicsNothingStored(std::size_t at, std::string_view command) {
  return At(at) + std::string(command) + ": imprimir sem imagem guardada: nada impresso";
}
std::string GraphicsQuery(std::size_t at, std::string_view command, int fn) {
  return At(at) + std::string(command) + " função " + std::to_string(fn) +
         ": pedido de informação, sem resposta";
}
std::string GraphicsNotDrawn(std::size_t at, std::string_view command, int fn) {
  return At(at) + std::string(command) + " função " + std::to_string(fn) +
         " (imagens da memória da impressora): não desenhada";
}
std::string GraphicsBadStore(std::size_t at, std::string_view command, std::string_view why) {
  return At(at) + std::string(command) + ": imagem não guardada (" + std::string(why) + ")";
}

std::string BarcodeSettingIgnored(char which, unsigned value) {
  return std::string("GS ") + which + " " + std::to_string(value) +
         ": fora do intervalo, ignorado (mantém-se o valor anterior)";
}
std::string BarcodeNotPrinted(std::size_t at, std::string_view why) {
  return At(at) + "código de barras (GS k) não impresso: " + std::string(why);
}
std::string BarcodeTooWide(std::size_t at, std::string_view system, int width, int area) {
  return At(at) + std::string(system) + " (GS k) com " + std::to_string(width) +
         " pontos não cabe na área de impressão (" + std::to_string(area) +
         " pontos): não impresso";
}
std::string BarcodeUnknownSystem(unsigned m) {
  return "sistema m=" + std::to_string(m) + " desconhecido";
}
std::string BarcodeBadLength(std::string_view system, std::size_t length) {
  return std::string(system) + " não aceita " + std::to_string(length) + " caracteres";
}
std::string BarcodeBadCharacter(std::string_view system, unsigned byte) {
  return std::string(system) + " não aceita o byte " + HexByte(byte);
}
std::string BarcodeBadCheckDigit(std::string_view system, char given, char expected) {
  return std::string(system) + ": dígito de controlo " + given + " errado (devia ser " +
         expected + ")";
}
std::string BarcodeRefused(std::string_view system, std::string_view zintError) {
  return std::string(system) + ": dados recusados" + ZintNumber(zintError);
}
std::string Code128NoCodeSet() {
  return "CODE128 tem de começar por {A, {B ou {C (conjunto de códigos)";
}
std::string Code128Function(char function) {
  return std::string("CODE128: {") + function + " não é desenhado";
}
std::string Code128BadSetC(unsigned value) {
  return "CODE128: " + std::to_string(value) + " fora de 0 a 99 no conjunto C";
}

std::string SymbolCodeName(unsigned cn) {
  return "GS ( k cn " + HexByte(cn);
}
std::string SymbolSettingIgnored(std::size_t at, std::string_view code, std::string_view what,
                                 int value, int kept) {
  return At(at) + std::string(code) + ": " + std::string(what) + " " + std::to_string(value) +
         " fora do intervalo: ignorado, mantém-se " + std::to_string(kept);
}
std::string SymbolBadStore(std::size_t at, std::string_view code) {
  return At(at) + std::string(code) + ": guardar dados com m diferente de 0x30: ignorado";
}
std::string SymbolNoData(std::size_t at, std::string_view code) {
  return At(at) + std::string(code) + ": imprimir sem dados guardados: nenhum símbolo";
}
std::string SymbolRefused(std::size_t at, std::string_view code, std::string_view zintError) {
  return At(at) + std::string(code) +
         ": nenhum símbolo: os dados não cabem nas definições pedidas ou não são aceites" +
         ZintNumber(zintError);
}
std::string SymbolFunctionIgnored(std::size_t at, std::string_view code, unsigned fn) {
  return At(at) + std::string(code) + ": função " + HexByte(fn) + " de GS ( k ignorada";
}
std::string SymbolTooWide(std::size_t at, std::string_view code, int width, int area) {
  return At(at) + std::string(code) + " com " + std::to_string(width) +
         " pontos não cabe na área de impressão (" + std::to_string(area) +
         " pontos): nenhum símbolo";
}
std::string SymbolShape(std::size_t at, std::string_view code, int columns, int rows,
                        std::size_t bytes) {
  return At(at) + std::string(code) + ": " + std::to_string(columns) + " × " +
         std::to_string(rows) + " módulos, " + std::to_string(bytes) + " bytes de dados";
}

std::string QrSettingIgnored(std::size_t at, std::string_view why, std::string_view kept) {
  return At(at) + "QR: " + std::string(why) + ": ignorado, mantém-se " + std::string(kept);
}
std::string QrModelName(unsigned model) {
  return model == 0x33 ? "o Micro QR" : "o Modelo " + std::to_string(model - 0x30);
}
std::string QrBadModel(unsigned model) {
  return "modelo " + HexByte(model) + " inválido (0x31 a 0x33)";
}
std::string QrBadModuleSize(unsigned size, int low, int high) {
  return "tamanho do módulo " + std::to_string(size) + " fora de " +
         std::to_string(low) + " a " + std::to_string(high);
}
std::string QrBadLevel(unsigned level) {
  return "nível de correção " + HexByte(level) + " inválido (0x30 a 0x33)";
}
std::string QrBadStore(std::size_t at) {
  return At(at) + "QR: guardar dados com m diferente de 0x30: ignorado";
}
std::string QrUnknownFunction(std::size_t at, unsigned fn) {
  return At(at) + "QR: função " + HexByte(fn) + " de GS ( k ignorada";
}
std::string QrNoData(std::size_t at) {
  return At(at) + "QR: imprimir sem dados guardados: nenhum símbolo";
}
std::string QrRefused(std::size_t at, std::string_view command, std::string_view why) {
  return At(at) + "QR (" + std::string(command) + "): nenhum símbolo: " + std::string(why);
}
std::string QrModel1AsModel2(std::size_t at) {
  return At(at) + "QR: Modelo 1 pedido, desenhado como Modelo 2 (a libqrencode não gera o "
                  "Modelo 1; a capacidade verificada é a do Modelo 2)";
}
std::string QrTooMuchData(std::size_t bytes, std::string_view symbolKind, char level) {
  return std::to_string(bytes) + " bytes não cabem num símbolo " + std::string(symbolKind) +
         " de nível " + level;
}
std::string QrTooMuchDataForVersion(std::size_t bytes, int version, char level) {
  return std::to_string(bytes) + " bytes não cabem na versão " + std::to_string(version) +
         " de nível " + level;
}
std::string QrNoMicroLevelH() { return "o Micro QR não tem nível H"; }
std::string QrReaderText(std::size_t at, std::string_view shown) {
  return At(at) + "QR: um leitor comum lê os bytes como ISO-8859-1 e mostra «" +
         std::string(shown) + "»";
}
std::string QrSymbolLine(std::size_t at, std::string_view command, std::string_view version,
                         char level, int moduleSize, std::size_t dataBytes, int dots,
                         int paperWidth, bool fits, int x, int y) {
  return At(at) + "QR (" + std::string(command) + "): versão " + std::string(version) +
         ", nível " + level + ", módulo " + std::to_string(moduleSize) + " pontos, " +
         std::to_string(dataBytes) + " bytes de dados, " + std::to_string(dots) + " × " +
         std::to_string(dots) + " pontos: " +
         (fits ? "cabe no papel (" + std::to_string(paperWidth) + " pontos), em x=" +
                     std::to_string(x) + ", y=" + std::to_string(y)
               : "não cabe no papel (" + std::to_string(paperWidth) +
                     " pontos): nenhum símbolo");
}

std::string QrReadFromImage(std::size_t at, std::string_view command, std::string_view version,
                            char level, double moduleWidth, double moduleHeight,
                            std::size_t dataBytes, int width, int height, std::string_view widthMm,
                            std::string_view heightMm, int dpi, int x, int y) {
  const std::string module = DotsText(moduleWidth) == DotsText(moduleHeight)
                                 ? DotsText(moduleWidth)
                                 : DotsText(moduleWidth) + " × " + DotsText(moduleHeight);
  return At(at) + "QR lido na imagem (" + std::string(command) + "): versão " +
         std::string(version) + ", nível " + level + ", módulo " + module + " pontos, " +
         std::to_string(dataBytes) + " bytes de dados, " + std::to_string(width) + " × " +
         std::to_string(height) + " pontos (" + std::string(widthMm) + " × " +
         std::string(heightMm) + " mm a " + std::to_string(dpi) + " ppp), em x=" +
         std::to_string(x) + ", y=" + std::to_string(y);
}

std::string ElementDrawn(std::size_t at, std::string_view command, std::string_view kind,
                         int width, int height, int x, int y, bool clipped) {
  return At(at) + std::string(kind) + " (" + std::string(command) + "), " +
         std::to_string(width) + " × " + std::to_string(height) + " pontos, em x=" +
         std::to_string(x) + ", y=" + std::to_string(y) +
         (clipped ? ": cortado na margem direita da área de impressão" : "");
}
std::string ImageRefused(std::size_t at, std::string_view command, unsigned mode, int width,
                         int height) {
  return At(at) + std::string(command) + " com m=" + std::to_string(mode) + ", " +
         std::to_string(width) + " × " + std::to_string(height) +
         " pontos: fora do intervalo, imagem ignorada";
}

std::string WoosimParameters(std::size_t at, unsigned version, unsigned level, unsigned size) {
  return At(at) + "ESC Z: versão " + std::to_string(version) +
         (version == 0 ? " (automática)" : "") + ", nível " + HexByte(level) + ", módulo " +
         std::to_string(size);
}
std::string WoosimUnknownLevel(std::size_t at, unsigned level) {
  return At(at) + "ESC Z: nível " + HexByte(level) +
         " não é 'L', 'M', 'Q' nem 'H' (nem 0 a 3): desenhado com nível L";
}
std::string WoosimBadVersion(unsigned version) {
  return "versão " + std::to_string(version) + " fora de 0 a 40";
}
std::string WoosimOverrun(std::size_t at, std::size_t declared, std::size_t foreign,
                          BytesView foreignBytes) {
  return At(at) + "ESC Z declara " + std::to_string(declared) +
         " bytes de dados, que passam o fim da linha: os últimos " + std::to_string(foreign) +
         " (" + HexBytes(foreignBytes) + ") são da linha seguinte e entram no símbolo";
}


std::string SystemError(int error) {
  struct Reason {
    int error;
    const char* text;
  };
  static constexpr Reason kReasons[] = {
      {ENOENT, "não existe"},
      {EINVAL, "argumento inválido"},
      {ENOTDIR, "um componente do caminho não é uma pasta"},
      {EACCES, "sem permissão"},
      {EPERM, "operação não permitida"},
      {EISDIR, "é uma pasta"},
      {EROFS, "disco só de leitura"},
      {ENOSPC, "disco cheio"},
      {EIO, "erro de entrada/saída"},
      {ELOOP, "demasiados níveis de ligações simbólicas"},
      {ENAMETOOLONG, "nome demasiado comprido"},
      {EMFILE, "demasiados ficheiros abertos"},
      {ENOMEM, "memória insuficiente"},
      {EADDRINUSE, "endereço já em uso"},
      {EADDRNOTAVAIL, "endereço que não pertence a esta máquina"},
      {EAFNOSUPPORT, "família de endereços não suportada"},
      {ENETUNREACH, "rede inacessível"},
      {ECONNRESET, "ligação reposta pelo outro lado"},
  };
  for (const Reason& r : kReasons) {
    if (r.error == error) return r.text;
  }
  return "erro do sistema " + std::to_string(error);
}
std::string WindowsError(unsigned long error) {
  return "erro do Windows " + std::to_string(error);
}
std::string ReadFailed(std::string_view path, int error) { return ReadFailed(path, SystemError(error)); }
std::string ReadFailed(std::string_view path, std::string_view why) {
  return "não foi possível ler '" + std::string(path) + "' (" + std::string(why) + ")";
}

std::string OutOfMemory() { return "memória insuficiente"; }
std::string JobFailed() { return "falha inesperada ao desenhar um trabalho"; }

std::string PngEmpty() { return "imagem vazia ou com tamanho incoerente"; }
std::string PngEncodeFailed() { return "a libpng não conseguiu codificar a imagem"; }
std::string PngWriteFailed(std::string_view path) {
  return "não foi possível escrever '" + std::string(path) + "'";
}
std::string ListenBadAddress(std::string_view address) {
  return "endereço inválido: '" + std::string(address) + "'";
}
std::string ListenFailed(std::string_view address, int port, std::string_view why) {
  const bool ipv6 = address.find(':') != std::string_view::npos;
  std::string line = "não foi possível escutar em ";
  if (ipv6) line += '[';
  line += address;
  if (ipv6) line += ']';
  line += ':';
  line += std::to_string(port);
  line += ": ";
  line += why;
  return line;
}
std::string ListenStoppedDuringJob() {
  return "pedido de paragem durante a receção: desenhado o que chegou";
}
std::string ListenMadeWay(int connections) {
  return "ligação parada para servir outra (todas as " + std::to_string(connections) +
         " ocupadas): desenhado o que chegou";
}
std::string ListenWaitedForMemory(std::uint64_t capBytes) {
  return "esperou que outros trabalhos libertassem memória (limite de " + Mib(capBytes) +
         " para todos)";
}
std::string ListenRefusedMemory(std::uint64_t capBytes) {
  return "recusada mais memória: os trabalhos em curso ocupam o limite de " +
         Mib(capBytes) + " para todos";
}
std::string ListenIdle(long long milliseconds) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(milliseconds) / 1000.0);
  return "sem dados durante " + std::string(seconds) + " s: trabalho terminado com o que chegou";
}
std::string ListenEmpty() { return "ligação sem dados: nenhum talão"; }
std::string ListenListening(std::string_view address) {
  return "qrticket-view: a escutar em " + std::string(address) + " (qrticket --device tcp://" +
         std::string(address) + ")";
}
std::string ListenJobLine(int number, std::uint64_t bytes, std::string_view peer,
                          std::string_view png) {
  return "trabalho " + std::to_string(number) + ": " + std::to_string(bytes) + " bytes de " +
         std::string(peer) + " -> " + std::string(png);
}
std::string ListenEmptyLine(std::string_view peer) {
  return "ligação de " + std::string(peer) + " sem dados: nenhum talão";
}
std::string ListenStatusLine(std::string_view peer) {
  return "ligação de " + std::string(peer) + ": pedidos de estado, nenhum talão";
}
std::string ListenStopped() { return "qrticket-view: parado"; }
std::string SerialNoPty(std::string_view why) {
  return "não foi possível criar a linha série (pseudo-terminal): " + std::string(why);
}
std::string SerialListening(std::string_view path, std::string_view settings) {
  return "qrticket-view: impressora série em " + std::string(path) + " a " +
         std::string(settings) + " (qrticket --device " + std::string(path) + ":" +
         std::string(settings) + ")";
}
std::string SerialSpeedMismatch(std::uint64_t bytes, const std::vector<std::uint32_t>& lineSpeeds,
                                std::uint32_t ownSpeed) {
  std::string speeds;
  for (const std::uint32_t speed : lineSpeeds) {
    if (!speeds.empty()) speeds += ", ";
    speeds += std::to_string(speed);
  }
  return "as velocidades não coincidem: " + std::to_string(bytes) +
         " bytes chegaram com a linha a " + speeds + " bit/s e a impressora está a " +
         std::to_string(ownSpeed) + " bit/s; saíram como lixo e sem resposta a pedidos de estado";
}
std::string SerialNotOnWindows() {
  return "--serial só existe no Linux: a linha série virtual é um pseudo-terminal";
}
}  // namespace say
}  // namespace qrticket::viewer
