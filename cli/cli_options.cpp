#include "cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "decimal_number.h"
#include "device_help.h"
#include "devices/device_failures.h"
#include "devices/device_name.h"
#include "devices/text_encoding.h"
#include "parse_errors.h"
#include "status_flags.h"
#include "text_file.h"
#include "ticket/publisher.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_failures.h"
#include "ticket/ticket_job.h"

namespace qrticket::cli {
namespace {

constexpr const char* kDescription =
    "qrticket: imprime um talão de teste de QR Code numa impressora ESC/POS.\n";

constexpr const char* kFooter =
    "O texto de --text segue tal como foi escrito. O de --text-file (UTF-8, até 32764\n"
    "caracteres) perde a marca BOM inicial e a última quebra de linha; cada quebra de linha\n"
    "(LF ou CR LF) segue como CR LF, como na janela, e um CR isolado segue como está.\n"
    "Os números escrevem-se em decimal (010 é dez).\n"
    "Códigos de saída: 0 impresso; 1 falha na impressão; 2 erro na linha de comando ou no\n"
    "ficheiro de texto; 3 impresso, mas sem o símbolo QR (a impressora não desenha nenhum\n"
    "com estes valores, ou o talão leva a descrição da falha no lugar dele); ";

constexpr double kMinTimeoutSeconds = 0.001;
constexpr double kMaxTimeoutSeconds = 86400.0;

ParseResult UsageError(const std::string& message) {
  ParseResult result;
  result.exitCode = kExitUsage;
  result.err = "qrticket: " + message + "\nExperimente 'qrticket --help'.\n";
  return result;
}

// What the parser fills in: text, converted afterwards by our own rules.
struct RawOptions {
  std::optional<std::string> device;
  std::optional<std::string> text;
  std::optional<std::string> textFile;
  std::string size = kDefaultModuleSizeText;
  std::string model = std::to_string(kDefaultModelIndex);
  std::string errorLevel = std::to_string(kDefaultErrorLevelIndex);
  std::string timeout = "10";
  std::optional<std::string> codeTable;
  bool pageMode = false;
  bool centred = false;
  bool woosim = false;
  bool listDevices = false;
  bool codeTables = false;
  Mode mode = Mode::PrintTicket;
  SymbolModeOptions symbolModes;
};

void DeclareOptions(CLI::App& app, RawOptions& raw) {
  app.option_defaults()->group("Opções");
  app.set_help_flag("-h,--help", "mostra esta ajuda e sai");
  app.set_version_flag("--version", std::string("qrticket ") + publisher::kVersion,
                       "mostra a versão e sai");
  // Words outside our options are ours to report, in Portuguese.
  app.allow_extras();
  app.footer(std::string(kFooter) + kSignalExitHelp);
  // The help is in Portuguese like the rest of the tool.
  const auto formatter = app.get_formatter();
  formatter->label("Usage", "Utilização");
  formatter->label("OPTIONS", "OPÇÕES");
  formatter->label("REQUIRED", "OBRIGATÓRIO");
  formatter->label("Excludes", "Exclui");
  formatter->label("Needs", "Requer");
  formatter->label("TEXT", "TEXTO");

  // Every value is taken as text: numbers and the device are checked by our own rules below.
  app.add_option("-d,--device", raw.device, "dispositivo ou ficheiro de saída (obrigatório)")
      ->type_name("NOME");
  app.add_flag("--list-devices", raw.listDevices, kListDevicesHelp);
  auto* textOption =
      app.add_option("-t,--text", raw.text, "texto a codificar (UTF-8)")->type_name("TEXTO");
  auto* textFileOption = app.add_option("-f,--text-file", raw.textFile,
                                        "ler o texto a codificar de um ficheiro UTF-8 (- é a "
                                        "entrada padrão; não com --text)")
                             ->type_name("FICHEIRO");
  app.add_option("-s,--size", raw.size, "tamanho do módulo (texto, como na janela)")
      ->type_name("TEXTO")
      ->capture_default_str();
  app.add_option("-m,--model", raw.model, "modelo: 0 Modelo 1, 1 Modelo 2, 2 Micro QR")
      ->type_name("N")
      ->capture_default_str();
  app.add_option("-e,--error-level", raw.errorLevel, "correção de erro: 0 L, 1 M, 2 Q, 3 H")
      ->type_name("N")
      ->capture_default_str();
  app.add_flag("--page-mode", raw.pageMode, "modo página");
  app.add_flag("--centred,--centered", raw.centred, "centrado");
  app.add_flag("--woosim", raw.woosim, "comando ESC Z das impressoras woosim");
  app.add_flag("--code-tables", raw.codeTables,
               "imprime o talão das tabelas de caracteres: uma linha por tabela, com o seu "
               "número de ESC t; a que imprime bem os acentos é a da impressora");
  app.add_option("--code-table", raw.codeTable,
                 "tabela de caracteres da impressora (ESC t N, 0 a 255, numeração Epson): o "
                 "talão seleciona-a e escreve nela o texto impresso; os dados do QR seguem como "
                 "estão")
      ->type_name("N");
  app.add_option("--timeout", raw.timeout, kTimeoutHelp)
      ->type_name("SEGUNDOS")
      ->capture_default_str();
  AddStatusFlags(app, raw.mode, {textOption, textFileOption});
  AddSymbolModeOptions(app, raw.symbolModes);
}

// The option called "--`name`", or nullptr. (CLI11's get_option_no_throw would do, but it is
// noexcept and allocates: out of memory, it would end the program.)
const CLI::Option* LongOption(const CLI::App& app, const std::string& name) {
  for (const CLI::Option* option : app.get_options()) {
    const auto& names = option->get_lnames();
    if (std::find(names.begin(), names.end(), name) != names.end()) return option;
  }
  return nullptr;
}

// Whether `arg` is an option that takes the next argument as its value ("--device", "-d").
bool TakesNextValue(const CLI::App& app, const std::string& arg) {
  if (arg.size() < 2 || arg[0] != '-' || arg.find('=') != std::string::npos) return false;
  const bool isLong = arg[1] == '-';
  if (!isLong && arg.size() != 2) return false;
  const std::string name = arg.substr(isLong ? 2 : 1);
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_expected_max() == 0) continue;
    const auto& names = isLong ? option->get_lnames() : option->get_snames();
    if (std::find(names.begin(), names.end(), name) != names.end()) return true;
  }
  return false;
}

// "/?", the help switch of Windows programs, asks for the help wherever an option may stand
// (not as the value of an option: "--device /?" is a name, and not after "--").
void TakeSlashQuestionMarkAsHelp(const CLI::App& app, std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") return;
    if (args[i] == "/?" && (i == 0 || !TakesNextValue(app, args[i - 1]))) args[i] = "--help";
  }
}

// The parser reads "--text=" as "--text" without a value and then takes the next argument as
// the value ("--text= --woosim" would print the text "--woosim"). Splitting "--name=value" into
// two arguments here keeps an empty value empty. Returns an error message, or "" when fine.
std::string SplitLongValues(const CLI::App& app, std::vector<std::string>& args) {
  std::vector<std::string> split;
  split.reserve(args.size() + 4);
  bool optionsEnded = false;
  for (std::string& arg : args) {
    const auto equals = arg.find('=');
    if (optionsEnded || arg.rfind("--", 0) != 0 || equals == std::string::npos) {
      optionsEnded = optionsEnded || arg == "--";
      split.push_back(std::move(arg));
      continue;
    }
    const std::string name = arg.substr(0, equals);
    const CLI::Option* option = LongOption(app, name.substr(2));
    if (option == nullptr) {  // unknown: reported with the other extras
      split.push_back(std::move(arg));
      continue;
    }
    if (option->get_expected_max() == 0) return DescribeFlagWithValue(name);
    split.push_back(name);
    split.push_back(arg.substr(equals + 1));
  }
  args = std::move(split);
  return {};
}

std::optional<std::int16_t> Int16(const std::string& text) {
  const auto value = ParseDecimalInteger(text);
  if (!value || *value < INT16_MIN || *value > INT16_MAX) return std::nullopt;
  return static_cast<std::int16_t>(*value);
}

std::string NotAnInt16(const std::string& option, const std::string& text) {
  if (text.empty()) return option + ": falta o número";
  return option + ": '" + text + "' não é um número inteiro de -32768 a 32767, em decimal";
}

// Reads --text-file into `utf8`; on failure, the ParseResult to return instead.
std::optional<ParseResult> LoadTextFile(const std::string& path, std::chrono::milliseconds stall,
                                        int cancelFd, std::string& utf8) {
  const TextFileRead read = ReadTextFile(path, stall, cancelFd);
  const bool fromStdin = path == kStandardInput;
  const std::string file = "o ficheiro '" + path + "'";
  switch (read.status) {
    case TextFileRead::Status::Read:
      utf8 = TicketTextFromFile(read.bytes);
      return std::nullopt;
    case TextFileRead::Status::TooLong: {
      // The same failure as a --text that is too long.
      ParseResult result;
      result.exitCode = kExitPrintFailed;
      result.err = kFailurePrefix + failures::DataTooLong().description() + "\n";
      return result;
    }
    case TextFileRead::Status::Unreadable:
      return UsageError("não foi possível ler " + (fromStdin ? "a entrada padrão" : file) + " (" +
                        failures::SystemErrorText(read.error) + ")");
    case TextFileRead::Status::Stalled:
      return UsageError((fromStdin ? "a entrada padrão" : file) + " não deu dados durante " +
                        failures::Seconds(stall) +
                        (fromStdin ? " (ninguém escreve nela?)" : " (ninguém escreve nele?)"));
    case TextFileRead::Status::Interrupted:
      break;
  }
  ParseResult result;
  result.interrupted = true;
  result.exitCode = kExitPrintFailed;
  const std::string what = fromStdin ? "da entrada padrão" : "do ficheiro '" + path + "'";
  result.err = "qrticket: a leitura " + what + " foi interrompida\n";
  return result;
}

}  // namespace

bool ModeNeedsDevice(Mode mode) {
  switch (mode) {
    case Mode::PrintTicket:
    case Mode::AskStatus:
    case Mode::PrintTicketCheckingStatus:
      return true;
    case Mode::PrintProbe:
    case Mode::FindSpeed:
    case Mode::PrintCodeTables:
      return true;
    case Mode::ListDevices:
    case Mode::CheckSymbol:
      return false;
  }
  return true;
}

ParseResult ParseCommandLine(const std::vector<std::string>& argsIn, int cancelFd) {
  CLI::App app{std::string(kDescription) + kDeviceHelp, "qrticket"};
  RawOptions raw;
  DeclareOptions(app, raw);

  std::vector<std::string> args = argsIn;
  TakeSlashQuestionMarkAsHelp(app, args);
  if (const std::string error = SplitLongValues(app, args); !error.empty())
    return UsageError(error);
  // CLI11 wants argv without the program name, last argument first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForVersion&) {
    ParseResult result;
    result.out = app.version() + "\n";
    return result;
  } catch (const CLI::Success&) {
    ParseResult result;
    result.out = app.help();
    return result;
  } catch (const CLI::ParseError& e) {
    return UsageError(DescribeParseError(e, app, args));
  }
  for (const std::string& extra : app.remaining())
    if (extra != "--") return UsageError(DescribeExtraArgument(extra));

  CliOptions options;
  options.mode = raw.listDevices         ? Mode::ListDevices
                 : raw.symbolModes.check || raw.symbolModes.portaria ? Mode::CheckSymbol
                 : raw.symbolModes.probe ? Mode::PrintProbe
                 : raw.codeTables        ? Mode::PrintCodeTables
                                         : raw.mode;
  if (raw.codeTables && (options.mode != Mode::PrintCodeTables || raw.mode != Mode::PrintTicket))
    return UsageError("--code-tables imprime um talão próprio: não se usa com outros modos");
  const auto paper = PaperMm(raw.symbolModes.paperText);
  if (!paper) return UsageError("--paper: '" + raw.symbolModes.paperText + "' não é 58 nem 80");
  options.symbolModes = raw.symbolModes;
  options.symbolModes.paperMm = *paper;
  const auto dpi = Dpi(raw.symbolModes.dpiText);
  if (!dpi) return UsageError("--dpi: '" + raw.symbolModes.dpiText + "' não é 180, 203 nem 300");
  options.symbolModes.dpi = *dpi;
  if (options.mode == Mode::ListDevices) {  // takes nothing else
    options.channel.cancelFd = cancelFd;
    ParseResult result;
    result.options = std::move(options);
    return result;
  }
  if (ModeNeedsDevice(options.mode) && !raw.device)
    return UsageError(
        "falta o dispositivo: --device NOME (qrticket --list-devices mostra os que há)");
  if (raw.text && raw.textFile) return UsageError("use --text ou --text-file, não os dois");
  // Malformed serial settings ("COM3:12x00") are the command line's fault: nothing is opened.
  if (raw.device) {
    const DeviceTarget target = ResolveDeviceName(*raw.device);
    if (target.kind == DeviceTarget::Kind::Invalid && !target.why.empty())
      return UsageError("--device \"" + *raw.device + "\": " + target.why);
    if (options.mode == Mode::FindSpeed && target.serial)
      return UsageError("--find-speed procura as definições sozinha: indique a porta sem elas");
  }

  const auto model = Int16(raw.model);
  if (!model) return UsageError(NotAnInt16("--model", raw.model));
  const auto errorLevel = Int16(raw.errorLevel);
  if (!errorLevel) return UsageError(NotAnInt16("--error-level", raw.errorLevel));
  const auto timeoutSeconds = ParseDecimalFraction(raw.timeout);
  if (!timeoutSeconds || *timeoutSeconds < kMinTimeoutSeconds ||
      *timeoutSeconds > kMaxTimeoutSeconds || !std::isfinite(*timeoutSeconds))
    return UsageError("--timeout: '" + raw.timeout +
                      "' não é um número de segundos de 0.001 a 86400");
  options.channel.stallTimeout =
      std::chrono::milliseconds(static_cast<long long>(std::llround(*timeoutSeconds * 1000)));
  options.channel.cancelFd = cancelFd;
  std::optional<int> codeTable;
  if (raw.codeTable) {
    const auto n = ParseDecimalInteger(*raw.codeTable);
    if (!n || *n < 0 || *n > 255)
      return UsageError("--code-table: '" + *raw.codeTable + "' não é um número de 0 a 255");
    codeTable = static_cast<int>(*n);
  }

  std::string utf8 = raw.text.value_or(kSampleDataText);
  if (raw.textFile) {
    if (auto failed = LoadTextFile(*raw.textFile, options.channel.stallTimeout, cancelFd, utf8))
      return std::move(*failed);
  }
  auto bytes = Utf8ToCp1252(utf8);
  if (!bytes) return UsageError("o texto a codificar não é UTF-8 válido");

  QrPrintSettings& s = options.settings;
  s.dataText = std::move(*bytes);
  s.deviceName = raw.device.value_or("");
  s.moduleSizeText = raw.size;
  s.modelIndex = *model;
  s.errorLevelIndex = *errorLevel;
  s.pageMode = raw.pageMode;
  s.centred = raw.centred;
  s.woosimDialect = raw.woosim;
  s.codeTable = codeTable;
  s.symbolImage = raw.symbolModes.raster ? RasterDrawer() : nullptr;

  ParseResult result;
  result.options = std::move(options);
  return result;
}

}  // namespace qrticket::cli
