#include "cli_options.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "publisher.h"
#include "text_encoding.h"
#include "ticket_defaults.h"

namespace qrticket::cli {
namespace {

constexpr const char* kDescription =
    "qrticket: imprime um talão de teste de QR Code numa impressora ESC/POS.\n"
    "Dispositivos: LPT1: a LPT3: (/dev/lp0 a /dev/lp2), COM1: a COM256: (/dev/ttyS0 a\n"
    "/dev/ttyS255), tcp://ENDEREÇO[:PORTA] (impressora de rede, porta 9100 por omissão),\n"
    "cups:FILA (uma fila CUPS; cups: é a predefinida), qualquer caminho (/dev/usb/lp0,\n"
    "/dev/ttyUSB0, um ficheiro) ou - (saída padrão). --list-devices mostra os deste computador.";

ParseResult UsageError(const std::string& message) {
  ParseResult result;
  result.exitCode = kExitUsage;
  result.err = "qrticket: " + message + "\nExperimente 'qrticket --help'.\n";
  return result;
}

// The whole file, or nullopt when it cannot be read: a folder opens like a file and reads as
// empty, which would print an empty ticket instead of saying what is wrong.
std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad() || content.bad()) return std::nullopt;
  return content.str();
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
  CLI::App app{kDescription, "qrticket"};
  app.option_defaults()->group("Opções");
  app.set_help_flag("-h,--help", "mostra esta ajuda e sai");
  app.set_version_flag("--version", std::string("qrticket ") + publisher::kVersion,
                       "mostra a versão e sai");
  // The help is in Portuguese like the rest of the tool.
  const auto formatter = app.get_formatter();
  formatter->label("Usage", "Utilização");
  formatter->label("OPTIONS", "OPÇÕES");
  formatter->label("REQUIRED", "OBRIGATÓRIO");
  formatter->label("Excludes", "Exclui");
  formatter->label("TEXT", "TEXTO");
  formatter->label("INT", "N");

  std::string device;
  std::optional<std::string> text;
  std::optional<std::string> textFile;
  std::string size = kDefaultModuleSizeText;
  std::int16_t model = kDefaultModelIndex;
  std::int16_t errorLevel = kDefaultErrorLevelIndex;
  bool pageMode = false, centred = false, woosim = false;
  double timeoutSeconds = 10.0;

  bool listDevices = false;
  app.add_option("-d,--device", device, "dispositivo ou ficheiro de saída");
  app.add_flag("--list-devices", listDevices,
               "mostra os dispositivos deste computador (nome, tabulação, descrição) e sai");
  auto* textOption = app.add_option("-t,--text", text, "texto a codificar (UTF-8)");
  auto* textFileOption =
      app.add_option("-f,--text-file", textFile, "ler o texto a codificar de um ficheiro UTF-8")
          ->excludes(textOption);
  app.add_option("-s,--size", size, "tamanho do módulo (texto, como na janela)")
      ->capture_default_str();
  app.add_option("-m,--model", model, "modelo: 0 Modelo 1, 1 Modelo 2, 2 Micro QR")
      ->capture_default_str();
  app.add_option("-e,--error-level", errorLevel, "correção de erro: 0 L, 1 M, 2 Q, 3 H")
      ->capture_default_str();
  app.add_flag("--page-mode", pageMode, "modo página");
  app.add_flag("--centred,--centered", centred, "centrado");
  app.add_flag("--woosim", woosim, "comando ESC Z das impressoras woosim");
  app.add_option("--timeout", timeoutSeconds,
                 "segundos sem aceitar dados até a impressão falhar")
      ->capture_default_str()
      ->check(CLI::Range(0.001, 86400.0).description(""))
      ->type_name("SEGUNDOS");
  StatusMode status = StatusMode::None;
  AddStatusFlags(app, status, {textOption, textFileOption});
  SymbolModeOptions symbolModes;
  AddSymbolModeOptions(app, symbolModes);

  // CLI11 wants argv without the program name, last argument first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::Success&) {
    ParseResult result;
    result.out = app.help();
    if (app.get_option("--version")->count() > 0) result.out = app.version() + "\n";
    return result;
  } catch (const CLI::ParseError& e) {
    return UsageError(e.what());
  }

  CliOptions options;
  if (listDevices) {
    options.listDevices = true;
    ParseResult result;
    result.options = std::move(options);
    return result;
  }
  if (app.get_option("--device")->count() == 0 && !symbolModes.check)
    return UsageError(
        "falta o dispositivo: --device NOME (qrticket --list-devices mostra os que há)");
  QrPrintSettings& s = options.settings;
  if (textFile) {
    text = ReadWholeFile(*textFile);
    if (!text) return UsageError("não foi possível ler o ficheiro '" + *textFile + "'");
  }
  // NaN passes any range check, and would become a negative time-out.
  if (!std::isfinite(timeoutSeconds))
    return UsageError("--timeout: o valor tem de ser um número de segundos");
  const std::string utf8 = text.value_or(kSampleDataText);
  auto bytes = Utf8ToCp1252(utf8);
  if (!bytes) return UsageError("o texto a codificar não é UTF-8 válido");
  s.dataText = std::move(*bytes);
  s.deviceName = device;
  s.moduleSizeText = size;
  s.modelIndex = model;
  s.errorLevelIndex = errorLevel;
  s.pageMode = pageMode;
  s.centred = centred;
  s.woosimDialect = woosim;
  options.status = status;
  options.symbolModes = symbolModes;
  options.channel.stallTimeout =
      std::chrono::milliseconds(static_cast<long long>(std::llround(timeoutSeconds * 1000)));

  ParseResult result;
  result.options = std::move(options);
  return result;
}

}  // namespace qrticket::cli
