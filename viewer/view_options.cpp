// Parsing of the qrticket-view command line with CLI11; usage errors carry the help hint.
#include "view_options.h"

#include <CLI/CLI.hpp>

#include "publisher.h"

namespace qrticket::viewer::cli {
namespace {

constexpr const char* kDescription =
    "qrticket-view: impressora virtual ESC/POS. Desenha o talão que uma impressora imprimiria\n"
    "a partir dos bytes (PNG) e diz o que encontrou (versão do QR, comandos ignorados...).\n"
    "  qrticket-view FICHEIRO|- -o SAIDA.png [--width 576|384]\n"
    "  qrticket-view --listen [ENDEREÇO:]PORTA --out PASTA   (127.0.0.1 por omissão)\n"
    "                [--simulate paper-out|paper-near-end|cover-open|offline|silent]";

ParseResult UsageError(const std::string& message) {
  ParseResult result;
  result.exitCode = kExitUsage;
  result.err = "qrticket-view: " + message + "\nExperimente 'qrticket-view --help'.\n";
  return result;
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
  CLI::App app{kDescription, "qrticket-view"};
  app.set_version_flag("--version", std::string("qrticket-view ") + publisher::kVersion);

  ViewOptions v;
  std::optional<std::string> input, output, listen, outDir;
  app.add_option("input", input, "ficheiro com os bytes ESC/POS, ou - para a entrada padrão");
  app.add_option("-o,--output", output, "imagem PNG a escrever");
  app.add_option("--width", v.paperWidth, "largura do papel em pontos: 576 (80 mm) ou 384 (58 mm)")
      ->capture_default_str()
      ->check(CLI::IsMember({576, 384}));
  app.add_option("--listen", listen, "escutar como impressora de rede em [ENDEREÇO:]PORTA");
  app.add_option("--out", outDir, "pasta onde --listen guarda um PNG por ligação");
  std::optional<std::string> simulate;
  app.add_option("--simulate", simulate,
                 "estado que --listen responde aos pedidos de estado (DLE EOT, GS I)")
      ->check(CLI::IsMember({"paper-out", "paper-near-end", "cover-open", "offline", "silent"}))
      ->type_name("ESTADO");

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::Success&) {
    ParseResult result;
    result.out = app.get_option("--version")->count() > 0 ? app.version() + "\n" : app.help();
    return result;
  } catch (const CLI::ParseError& e) {
    return UsageError(e.what());
  }

  if (listen) {
    if (input || output) return UsageError("--listen não aceita FICHEIRO nem -o");
    if (!outDir) return UsageError("--listen precisa de --out PASTA");
    const auto where = ParseListenAddress(*listen);
    if (!where) return UsageError("endereço de escuta inválido: '" + *listen + "'");
    v.listen = true;
    v.address = where->first;
    v.port = where->second;
    v.outDir = *outDir;
    if (simulate) v.simulate = *simulate;
  } else {
    if (simulate) return UsageError("--simulate só se usa com --listen");
    if (!input) return UsageError("falta o FICHEIRO (ou - para a entrada padrão)");
    if (!output) return UsageError("falta -o SAIDA.png");
    if (outDir) return UsageError("--out só se usa com --listen");
    v.input = *input;
    v.output = *output;
  }
  ParseResult result;
  result.options = v;
  return result;
}

}  // namespace qrticket::viewer::cli
