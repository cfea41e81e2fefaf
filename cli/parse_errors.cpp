// CLI11's error kinds, mapped to our own words.
#include "parse_errors.h"

#include <string_view>
#include <utility>

namespace qrticket::cli {
namespace {

// By CLI11's name for the kind of error. Most cannot happen with how the options are declared
// (no required options, no conversions, no validators: those checks are ours); they keep a
// message of their own should a later option bring them back.
constexpr std::pair<std::string_view, const char*> kKinds[] = {
    {"ArgumentMismatch", "número errado de valores"},
    {"ConversionError", "valor inválido"},
    {"ValidationError", "valor inválido"},
    {"RequiredError", "falta uma opção obrigatória"},
    {"RequiresError", "falta uma opção de que esta depende"},
    {"ExcludesError", "opções que não podem ser usadas juntas"},
    {"ExtrasError", "argumento inesperado"},
    {"OptionNotFound", "opção desconhecida"},
};

const char* KindText(const CLI::ParseError& error) {
  for (const auto& [name, text] : kKinds)
    if (error.get_name() == name) return text;
  return "linha de comando inválida";
}

// The option that was given more than once, if that was the fault.
const CLI::Option* Repeated(const CLI::App& app) {
  for (const CLI::Option* option : app.get_options())
    if (option->get_expected_max() != 0 && option->count() > 1) return option;
  return nullptr;
}

// "X e Y" for two options given together that exclude each other, if that was the fault.
std::string ExcludedPair(const CLI::App& app) {
  for (const CLI::Option* option : app.get_options()) {
    if (option->count() == 0) continue;
    for (const CLI::Option* excluded : option->get_excludes())
      if (excluded->count() > 0) return option->get_name() + " e " + excluded->get_name();
  }
  return {};
}

// "X só se usa com Y" for an option given without one it needs, if that was the fault.
std::string MissingNeed(const CLI::App& app) {
  for (const CLI::Option* option : app.get_options()) {
    if (option->count() == 0) continue;
    for (const CLI::Option* needed : option->get_needs())
      if (needed->count() == 0)
        return "a opção " + option->get_name() + " só se usa com " + needed->get_name();
  }
  return {};
}

}  // namespace

std::string DescribeParseError(const CLI::ParseError& error, const CLI::App& app,
                               const std::vector<std::string>& args) {
  if (error.get_name() == "RequiresError") {
    if (const std::string need = MissingNeed(app); !need.empty()) return need;
  }
  if (error.get_name() == "ExcludesError") {
    if (const std::string pair = ExcludedPair(app); !pair.empty())
      return "as opções " + pair + " não podem ser usadas juntas";
  }
  if (error.get_name() == "ArgumentMismatch") {
    if (const CLI::Option* option = Repeated(app))
      return "a opção " + option->get_name() + " foi indicada mais de uma vez";
    // The parser takes an option's value from the next argument whatever it is, so a value
    // can only be missing at the end.
    if (!args.empty()) return "falta o valor de " + args.back();
  }
  return KindText(error);
}

std::string DescribeExtraArgument(const std::string& argument) {
  if (argument.size() > 1 && argument.front() == '-') return "opção desconhecida: " + argument;
  return "argumento inesperado: '" + argument + "'";
}

std::string DescribeFlagWithValue(const std::string& name) {
  return "a opção " + name + " não leva valor";
}

}  // namespace qrticket::cli
