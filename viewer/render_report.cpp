// The viewer's report texts (Portuguese, UTF-8) and the bounded line collector.
#include "render_report.h"

#include <cstdio>
#include <string>

namespace qrticket::viewer {
namespace {

std::string At(std::size_t at) { return "byte " + std::to_string(at) + ": "; }

std::string HexByte(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
  return text;
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
  lines_.clear();
  dropped_ = 0;
  return out;
}

namespace say {

namespace {
std::string Times(std::size_t repeats) {
  return repeats > 1 ? " (" + std::to_string(repeats) + " vezes seguidas)" : std::string();
}
}  // namespace

std::string SkippedKnown(std::size_t at, std::string_view command, std::size_t repeats) {
  return At(at) + std::string(command) + " ignorado (não desenhado)" + Times(repeats);
}
std::string SkippedUnknown(std::size_t at, std::string_view command, std::size_t repeats) {
  return At(at) + "comando desconhecido " + std::string(command) + " ignorado" + Times(repeats);
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
std::string FontMissing(std::string_view path) {
  return "tipo de letra não encontrado (" + std::string(path) +
         "): texto desenhado como caixas";
}
std::string DroppedLines(std::size_t count) {
  return "... e mais " + std::to_string(count) + " avisos";
}

std::string QrSettingRefused(std::size_t at, std::string_view why) {
  return At(at) + "QR: " + std::string(why) + ": o símbolo seguinte não será impresso";
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
                         int paperWidth, bool fits) {
  return At(at) + "QR (" + std::string(command) + "): versão " + std::string(version) +
         ", nível " + level + ", módulo " + std::to_string(moduleSize) + " pontos, " +
         std::to_string(dataBytes) + " bytes de dados, " + std::to_string(dots) + " × " +
         std::to_string(dots) + " pontos: " +
         (fits ? "cabe no papel (" + std::to_string(paperWidth) + " pontos)"
               : "não cabe no papel (" + std::to_string(paperWidth) +
                     " pontos): nenhum símbolo");
}

std::string ElementDrawn(std::size_t at, std::string_view command, std::string_view kind,
                         int width, int height, int x, int y, bool clipped) {
  return At(at) + std::string(kind) + " (" + std::string(command) + "), " +
         std::to_string(width) + " × " + std::to_string(height) + " pontos, em x=" +
         std::to_string(x) + ", y=" + std::to_string(y) +
         (clipped ? ": cortado na margem direita do papel" : "");
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


std::string PngEmpty() { return "imagem vazia ou com tamanho incoerente"; }
std::string PngEncodeFailed() { return "a libpng não conseguiu codificar a imagem"; }
std::string PngWriteFailed(std::string_view path) {
  return "não foi possível escrever '" + std::string(path) + "'";
}
std::string ListenBadAddress(std::string_view address) {
  return "endereço inválido: '" + std::string(address) + "'";
}
std::string ListenFailed(std::string_view address, int port, std::string_view why) {
  return "não foi possível escutar em " + std::string(address) + ":" + std::to_string(port) +
         ": " + std::string(why);
}
std::string ListenStoppedDuringJob() {
  return "pedido de paragem durante a receção: desenhado o que chegou";
}
std::string ListenIdle(long long milliseconds) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(milliseconds) / 1000.0);
  return "sem dados durante " + std::string(seconds) + " s: trabalho terminado com o que chegou";
}
std::string ListenJobTooLong(std::size_t bytes) {
  return "trabalho maior do que " + std::to_string(bytes) +
         " bytes: o resto foi descartado";
}
}  // namespace say
}  // namespace qrticket::viewer
