// Parsing of the qrticket-view command line with CLI11. Every text the operator sees is
// Portuguese: the help's headings and the parser's own errors are ours, and values are
// converted here rather than by CLI11, so its English messages never show.
#include "view_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "devices/code_tables.h"
#include "devices/device_failures.h"
#include "devices/serial_settings.h"
#include "portaria/portaria_symbol.h"
#include "ticket/publisher.h"

namespace qrticket::viewer::cli {
namespace {

constexpr const char* kDescription =
    "qrticket-view: impressora virtual ESC/POS. Desenha o talão que uma impressora imprimiria\n"
    "a partir dos bytes (PNG) e diz o que encontrou: imagens, códigos de barras, símbolos QR,\n"
    "comandos ignorados...\n"
    "  qrticket-view FICHEIRO|- -o SAIDA.png [--width 576|384] [--code-table N]\n"
    "                [--dpi 180|203|300]\n"
    "  qrticket-view --listen [ENDEREÇO:]PORTA --out PASTA   (127.0.0.1 por omissão)\n"
    "                [--simulate paper-out|paper-near-end|cover-open|offline|silent]\n"
    "  qrticket-view --listen [ENDEREÇO:]PORTA --web [ENDEREÇO:]PORTA [--out PASTA]";
constexpr const char* kSerialUsage =
    "\n"
    "  qrticket-view --serial VELOCIDADE[,PARIDADE[,DADOS[,PARAGEM[,FLUXO]]]] --out PASTA\n"
    "                [--simulate ...]   (Linux: uma linha série num pseudo-terminal)";

constexpr const char* kFooter =
    "Lê no máximo 64 MiB por talão e desenha até 60000 pontos de papel (cerca de 7,4 m).\n"
    "Códigos de saída: 0 feito, 1 entrada ilegível, PNG não escrito ou porta não aberta,\n"
    "2 erro de utilização.";

ParseResult UsageError(const std::string& message) {
  ParseResult result;
  result.exitCode = kExitUsage;
  result.err = "qrticket-view: " + message + "\nExperimente 'qrticket-view --help'.\n";
  return result;
}

// The part of CLI11's message after its last ": ", which is the operator's own text.
std::string Tail(const std::string& what) {
  const auto colon = what.rfind(": ");
  return colon == std::string::npos ? what : what.substr(colon + 2);
}

// The option CLI11 names at the start of its message ("--width: ...").
std::string Head(const std::string& what) {
  const auto colon = what.find(':');
  return colon == std::string::npos ? what : what.substr(0, colon);
}

std::string Portuguese(const CLI::ParseError& e) {
  const std::string what = e.what();
  if (dynamic_cast<const CLI::ExtrasError*>(&e)) return "argumento não esperado: " + Tail(what);
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) return "falta o valor de " + Head(what);
  return "linha de comandos inválida";
}

// CLI11 pads the option column by bytes: a name with "Ç" (two bytes) lands one column short
// for each such letter.
std::string Help(const CLI::App& app) {
  std::string help = app.help();
  for (const std::string name : {"[ENDEREÇO:]PORTA", "DEFINIÇÕES"}) {
    std::size_t continuation = 0;  // UTF-8 bytes beyond the first of each letter
    for (const char c : name) continuation += (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    for (auto at = help.find(name + "  "); at != std::string::npos;
         at = help.find(name + "  ", at + name.size() + continuation + 2))
      help.insert(at + name.size(), continuation, ' ');
  }
  return help;
}

// "0 PC437, 2 PC850, ...": the tables drawn, for the message of one that is not.
std::string DrawnCodeTables() {
  std::string known;
  for (std::size_t i = 0; i < kCodeTableCount; ++i) {
    if (!known.empty()) known += ", ";
    known += std::to_string(kCodeTables[i].number) + " " + kCodeTables[i].name;
  }
  return known;
}

}  // namespace

std::optional<std::pair<std::string, int>> ParseListenAddress(const std::string& text) {
  std::string address = "127.0.0.1", port = text;
  if (!text.empty() && text.front() == '[') {
    const auto close = text.find("]:");
    if (close == std::string::npos) return std::nullopt;
    address = text.substr(1, close - 1);
    port = text.substr(close + 2);
  } else if (const auto colon = text.rfind(':'); colon != std::string::npos) {
    address = text.substr(0, colon);
    port = text.substr(colon + 1);
    // A bare IPv6 address has more colons: it must be written in brackets.
    if (address.find(':') != std::string::npos) return std::nullopt;
  }
  if (address.empty() || port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const int number = std::stoi(port);
  if (number > 65535) return std::nullopt;
  return std::make_pair(address, number);
}

ParseResult ParseViewCommandLine(const std::vector<std::string>& args) {
  CLI::App app{std::string(kDescription) + (kHasSerialPrinter ? kSerialUsage : ""), "qrticket-view"};
  app.footer(kFooter);
  auto formatter = std::make_shared<CLI::Formatter>();
  formatter->label("Usage", "Utilização");
  formatter->label("OPTIONS", "OPÇÕES");
  formatter->label("Positionals", "Argumentos");
  formatter->column_width(30);
  app.formatter(formatter);
  app.option_defaults()->group("Opções");
  app.set_help_flag("-h,--help", "mostra esta ajuda e sai")->group("Opções");
  app.set_version_flag("--version", std::string("qrticket-view ") + publisher::kVersion,
                       "mostra a versão e sai");

  std::optional<std::string> input, output, width, listen, outDir;
  app.add_option("entrada", input, "ficheiro com os bytes ESC/POS, ou - para a entrada padrão")
      ->type_name("FICHEIRO");
  app.add_option("-o,--output", output, "imagem PNG a escrever")->type_name("SAIDA.png");
  app.add_option("--width", width, "largura do papel em pontos: 576 (80 mm, por omissão)\n"
                                   "ou 384 (58 mm)")
      ->type_name("PONTOS");
  app.add_option("--listen", listen,
                 "escutar como impressora de rede em [ENDEREÇO:]PORTA\n"
                 "([::1]:9100 para IPv6, 0 para uma porta livre)")
      ->type_name("[ENDEREÇO:]PORTA");
  app.add_option("--out", outDir, "pasta onde --listen guarda um PNG por ligação")
      ->type_name("PASTA");
  std::optional<std::string> serial;
  CLI::Option* serialOption =
      app.add_option("--serial", serial,
                     "impressora série num pseudo-terminal, a estas definições\n"
                     "(19200 ou 9600,n,8,1); mostra o caminho da linha")
          ->type_name("DEFINIÇÕES");
  // Where there is none, the option is still read (to say so) but not offered.
  if (!kHasSerialPrinter) serialOption->group("");
  std::optional<std::string> codeTable;
  app.add_option("--code-table", codeTable,
                 "tabela de caracteres (número de ESC t) em que a impressora\n"
                 "está antes de qualquer ESC t: 0 (PC437, a de fábrica) por\n"
                 "omissão")
      ->type_name("N");
  std::optional<std::string> dpi;
  app.add_option("--dpi", dpi,
                 "densidade da impressora em pontos por polegada, para medir\n"
                 "em mm os símbolos QR de fatura (Portaria 195/2020):\n"
                 "180, 203 (por omissão) ou 300")
      ->type_name("PPP");
  std::optional<std::string> simulate;
  app.add_option("--simulate", simulate,
                 kHasSerialPrinter ? "estado que --listen e --serial respondem aos pedidos de\n"
                                     "estado (DLE EOT, GS I)"
                                   : "estado que --listen responde aos pedidos de estado\n"
                                     "(DLE EOT, GS I)")
      ->type_name("ESTADO");

  // The receipt bench.
  std::optional<std::string> web;
  app.add_option("--web", web,
                 "com --listen: página da bancada de talões em\n"
                 "[ENDEREÇO:]PORTA (127.0.0.1 por omissão, 0 para uma\n"
                 "porta livre); sem --out, os talões ficam numa pasta\n"
                 "temporária apagada à saída")
      ->type_name("[ENDEREÇO:]PORTA");

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::Success&) {
    ParseResult result;
    result.out = app.get_option("--version")->count() > 0 ? app.version() + "\n" : Help(app);
    return result;
  } catch (const CLI::ParseError& e) {
    return UsageError(Portuguese(e));
  }

  ViewOptions v;
  if (width) {
    if (*width == "576") v.paperWidth = 576;
    else if (*width == "384") v.paperWidth = 384;
    else return UsageError("--width aceita 576 ou 384, não '" + *width + "'");
  }
  if (codeTable) {
    const bool digits = !codeTable->empty() && codeTable->size() <= 3 &&
                        codeTable->find_first_not_of("0123456789") == std::string::npos;
    if (!digits || FindCodeTable(std::stoi(*codeTable)) == nullptr) {
      return UsageError("--code-table aceita o número de uma tabela desenhada (" +
                        DrawnCodeTables() + "), não '" + *codeTable + "'");
    }
    v.codeTable = std::stoi(*codeTable);
  }
  if (dpi) {
    const bool digits = !dpi->empty() && dpi->size() <= 3 &&
                        dpi->find_first_not_of("0123456789") == std::string::npos;
    if (!digits || !portaria::IsKnownDpi(std::stoi(*dpi))) {
      return UsageError("--dpi aceita 180, 203 ou 300, não '" + *dpi + "'");
    }
    v.dpi = std::stoi(*dpi);
  }
  constexpr std::string_view kStates[] = {"paper-out", "paper-near-end", "cover-open", "offline",
                                          "silent"};
  if (simulate && std::find(std::begin(kStates), std::end(kStates), *simulate) == std::end(kStates)) {
    return UsageError("--simulate aceita paper-out, paper-near-end, cover-open, offline ou "
                      "silent, não '" + *simulate + "'");
  }
  if (web && !listen) return UsageError("--web só se usa com --listen");
  if (web) {
    const auto where = ParseListenAddress(*web);
    if (!where) return UsageError("endereço da página inválido: '" + *web + "'");
    v.web = true;
    v.webAddress = where->first;
    v.webPort = where->second;
  }
  if (serial) {
    if (listen) return UsageError("use --listen ou --serial, não os dois");
    if (input || output) return UsageError("--serial não aceita FICHEIRO nem -o");
    if (!outDir) return UsageError("--serial precisa de --out PASTA");
    const SerialSettingsParse parse = ParseSerialSettings(*serial);
    if (!parse.settings)
      return UsageError("--serial: " + failures::SerialFieldText(parse.field, parse.value));
    // qrticket refuses DTR/DSR flow on a line whose DSR it cannot read, as on this one: the
    // name the printer suggests must be one qrticket takes.
    if (parse.settings->watchesDsr())
      return UsageError("--serial: um pseudo-terminal não indica o sinal DSR: os controlos de "
                        "fluxo d e p, que o vigiam, não são possíveis nele (use n, x ou r)");
    v.serial = true;
    v.serialSettings = SerialSettingsText(*parse.settings);
    v.outDir = *outDir;
    if (simulate) v.simulate = *simulate;
  } else if (listen) {
    if (input || output) return UsageError("--listen não aceita FICHEIRO nem -o");
    if (!outDir && !web) return UsageError("--listen precisa de --out PASTA (ou --web)");
    const auto where = ParseListenAddress(*listen);
    if (!where) return UsageError("endereço de escuta inválido: '" + *listen + "'");
    v.listen = true;
    v.address = where->first;
    v.port = where->second;
    v.outDir = outDir.value_or("");
    if (simulate) v.simulate = *simulate;
  } else {
    if (simulate) return UsageError("--simulate só se usa com --listen ou --serial");
    if (!input) return UsageError("falta o FICHEIRO (ou - para a entrada padrão)");
    if (!output) return UsageError("falta -o SAIDA.png");
    if (outDir) return UsageError("--out só se usa com --listen ou --serial");
    v.input = *input;
    v.output = *output;
  }
  ParseResult result;
  result.options = v;
  return result;
}

}  // namespace qrticket::viewer::cli
