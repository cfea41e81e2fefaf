#include "symbol_modes.h"

#include <ostream>

#include "cli_options.h"
#include "decimal_number.h"
#include "portaria/portaria_symbol.h"
#include "portaria_command.h"
#include "print_command.h"
#include "symbols/probe_job.h"
#include "symbols/raster_ticket_symbol.h"
#include "symbols/symbol_facts.h"
#include "symbols/symbol_facts_text.h"
#include "ticket/noting_reporter.h"

namespace qrticket::cli {
namespace {

int RunCheck(const QrPrintSettings& settings, int dpi, std::ostream& out, std::ostream& err) {
  const SymbolFacts facts = SymbolFactsFor(settings);
  out << SymbolFactsReport(facts) << '\n';
  WritePortariaLines(settings, facts, dpi, out);
  if (facts.printsOn80mm()) return kCheckPrints;
  err << "qrticket: " << CheckVerdict(facts) << '\n';
  return kCheckDoesNotPrint;
}

}  // namespace

void AddSymbolModeOptions(CLI::App& app, SymbolModeOptions& options) {
  // Options are found by name through get_options: get_option and get_option_no_throw are
  // noexcept inside and allocate, so running out of memory there would end the program.
  const auto named = [&app](const std::string& name) {
    return app.get_options([&name](const CLI::Option* option) {
      return option->get_name() == name;
    });
  };
  CLI::Option* device = named("--device").at(0);
  CLI::Option* check = app.add_flag_callback(
                              "--check", [&options] { options.check = true; },
                              "só mostra o símbolo que a impressora desenharia (sem "
                              "dispositivo): sai com 0 se existe e cabe em papel de 80 mm, "
                              "1 se não")
                           ->trigger_on_parse();
  check->excludes(device);
  CLI::Option* portaria =
      app.add_flag("--portaria", options.portaria,
                   "só verifica o código QR de fatura contra a Portaria 195/2020 (sem "
                   "dispositivo): sai com 0 se cumpre, 1 se não cumpre")
          ->excludes(device)
          ->excludes(check);
  CLI::Option* probe =
      app.add_flag("--probe", options.probe,
                   "imprime o talão de limites: símbolos de tamanhos crescentes e uma imagem "
                   "do último, para achar onde o comando QR da impressora deixa de funcionar")
          ->excludes(check)
          ->excludes(portaria);
  // Each mode is the whole run: none of them goes with asking the printer's status or
  // listing the devices.
  for (const char* name : {"--status", "--check-status", "--find-speed", "--list-devices"}) {
    for (CLI::Option* other : named(name)) {
      check->excludes(other);
      portaria->excludes(other);
      probe->excludes(other);
    }
  }
  CLI::Option* raster =
      app.add_flag("--raster", options.raster,
                   "o código QR vai como imagem (GS v 0) desenhada pelo programa, no lugar do "
                   "comando QR da impressora: Modelo 2 de versão 9 ou mais, com o tamanho e o "
                   "nível escolhidos, para impressoras sem GS ( k")
          ->excludes(probe);
  for (const char* name : {"--status", "--find-speed", "--list-devices", "--code-tables"}) {
    for (CLI::Option* other : named(name)) raster->excludes(other);
  }
  app.add_option("--paper", options.paperText,
                 "largura do papel do talão de limites, em mm: 58 ou 80")
      ->type_name("MM")
      ->needs(probe)
      ->capture_default_str();
  app.add_option("--dpi", options.dpiText,
                 "densidade da impressora em pontos por polegada, para medir o símbolo em mm "
                 "(--check, --portaria): 180, 203 ou 300")
      ->type_name("PPP")
      ->capture_default_str();
}

SymbolImageDrawer RasterDrawer() { return &DrawTicketSymbol; }

std::optional<int> Dpi(const std::string& text) {
  const auto value = ParseDecimalInteger(text);
  if (!value || !portaria::IsKnownDpi(static_cast<int>(*value))) return std::nullopt;
  return static_cast<int>(*value);
}

std::optional<int> PaperMm(const std::string& text) {
  const auto value = ParseDecimalInteger(text);
  if (!value || (*value != 58 && *value != 80)) return std::nullopt;
  return static_cast<int>(*value);
}

TicketNotices NoticesFor(const QrPrintSettings& settings) {
  const SymbolFacts facts = SymbolFactsFor(settings);
  return {IgnoredSettings(facts), WhyDeliveredWithoutSymbol(facts)};
}

std::optional<int> RunSymbolMode(const SymbolModeOptions& modes, const QrPrintSettings& settings,
                                 const ChannelOptions& channel, std::ostream& out,
                                 std::ostream& err) {
  if (modes.portaria) return RunPortaria(settings, modes.dpi, out, err);
  if (modes.check) return RunCheck(settings, modes.dpi, out, err);
  if (!modes.probe) return std::nullopt;
  StreamReporter toErr(err);
  NotingReporter reporter(toErr);
  PrintProbe(settings, modes.paperMm == 58 ? kPaper58mmDots : kPaper80mmDots, reporter,
             channel);
  return reporter.failed ? kExitPrintFailed : kExitOk;
}

}  // namespace qrticket::cli
