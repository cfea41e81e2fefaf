// The command line's options, built into the settings the job prints from: values as typed
// (an empty value included), decimal numbers, Portuguese usage errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "cli_options.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::cli {
namespace {

using namespace std::chrono_literals;
using testing::Hex;
using testing::ReadFileBytes;
using testing::TempDir;

ParseResult Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CliOptions, DefaultsAreTheWindowsDefaults) {
  const auto r = Parse({"--device", "LPT1:"});
  ASSERT_TRUE(r.options);
  EXPECT_EQ(r.options->mode, Mode::PrintTicket);
  const QrPrintSettings& s = r.options->settings;
  EXPECT_EQ(s.dataText, kSampleDataText);
  EXPECT_EQ(s.deviceName, "LPT1:");
  EXPECT_EQ(s.moduleSizeText, "6");
  EXPECT_EQ(s.modelIndex, 1);
  EXPECT_EQ(s.errorLevelIndex, 1);
  EXPECT_FALSE(s.pageMode || s.centred || s.woosimDialect);
  EXPECT_FALSE(s.codeTable.has_value());  // no ESC t: every ticket byte as always
  EXPECT_EQ(r.options->channel.stallTimeout, std::chrono::seconds(10));
  EXPECT_EQ(r.options->channel.cancelFd, -1);
}

TEST(CliOptions, EveryOptionReachesTheSettings) {
  const auto r = ParseCommandLine({"--device", " COM1: ", "--text", "Olá €", "--size", "7.5",
                                   "--model", "-1", "--error-level", "3", "--page-mode",
                                   "--centred", "--woosim", "--timeout", "0.25"},
                                  /*cancelFd=*/7);
  ASSERT_TRUE(r.options) << r.err;
  const QrPrintSettings& s = r.options->settings;
  EXPECT_EQ(s.deviceName, " COM1: ");  // as typed
  EXPECT_EQ(Hex(s.dataText), "4F 6C E1 20 80");
  EXPECT_EQ(s.moduleSizeText, "7.5");  // converted by the job, like the window's box
  EXPECT_EQ(s.modelIndex, -1);
  EXPECT_EQ(s.errorLevelIndex, 3);
  EXPECT_TRUE(s.pageMode && s.centred && s.woosimDialect);
  EXPECT_EQ(r.options->channel.stallTimeout, std::chrono::milliseconds(250));
  EXPECT_EQ(r.options->channel.cancelFd, 7);  // handed on to the job
}

// Values exactly as typed: "--name=" is the empty value and never swallows the next argument;
// numbers are decimal whatever they look like.
struct ValueRow {
  const char* name;
  std::vector<std::string> args;
  std::function<void(const CliOptions&)> check;
};
void PrintTo(const ValueRow& row, std::ostream* os) { *os << row.name; }

class Values : public ::testing::TestWithParam<ValueRow> {};

TEST_P(Values, AreTakenAsTyped) {
  const auto r = Parse(GetParam().args);
  ASSERT_TRUE(r.options) << r.err;
  GetParam().check(*r.options);
}

INSTANTIATE_TEST_SUITE_P(
    Args, Values,
    ::testing::Values(
        ValueRow{"empty_text_after_equals", {"--device", "f", "--text=", "--woosim"},
                 [](const CliOptions& o) {
                   EXPECT_EQ(o.settings.dataText, "");
                   EXPECT_TRUE(o.settings.woosimDialect);
                 }},
        ValueRow{"empty_device_after_equals", {"--device=", "--woosim"},
                 [](const CliOptions& o) {
                   EXPECT_EQ(o.settings.deviceName, "");
                   EXPECT_TRUE(o.settings.woosimDialect);
                 }},
        ValueRow{"empty_size_after_equals", {"--device", "f", "--size=", "--page-mode"},
                 [](const CliOptions& o) {
                   EXPECT_EQ(o.settings.moduleSizeText, "");
                   EXPECT_TRUE(o.settings.pageMode);
                 }},
        ValueRow{"equals_inside_a_value", {"--device=a=b", "--text=x=y"},
                 [](const CliOptions& o) {
                   EXPECT_EQ(o.settings.deviceName, "a=b");
                   EXPECT_EQ(o.settings.dataText, "x=y");
                 }},
        ValueRow{"empty_separate_value", {"-d", "f", "-t", "", "--centred"},
                 [](const CliOptions& o) {
                   EXPECT_EQ(o.settings.dataText, "");
                   EXPECT_TRUE(o.settings.centred);
                 }},
        ValueRow{"model_with_a_leading_zero_is_decimal", {"--device", "f", "--model", "010"},
                 [](const CliOptions& o) { EXPECT_EQ(o.settings.modelIndex, 10); }},
        ValueRow{"level_with_leading_zeros", {"--device", "f", "--error-level=0003"},
                 [](const CliOptions& o) { EXPECT_EQ(o.settings.errorLevelIndex, 3); }},
        ValueRow{"signed_numbers", {"--device", "f", "--model", "+2", "--error-level", "-0"},
                 [](const CliOptions& o) {
                   EXPECT_EQ(o.settings.modelIndex, 2);
                   EXPECT_EQ(o.settings.errorLevelIndex, 0);
                 }},
        ValueRow{"sixteen_bit_edges", {"--device", "f", "--model", "-32768", "-e", "32767"},
                 [](const CliOptions& o) {
                   EXPECT_EQ(o.settings.modelIndex, -32768);
                   EXPECT_EQ(o.settings.errorLevelIndex, 32767);
                 }},
        ValueRow{"timeout_with_a_leading_zero", {"--device", "f", "--timeout", "010"},
                 [](const CliOptions& o) { EXPECT_EQ(o.channel.stallTimeout, 10s); }},
        ValueRow{"timeout_as_a_bare_fraction", {"--device", "f", "--timeout=.5"},
                 [](const CliOptions& o) { EXPECT_EQ(o.channel.stallTimeout, 500ms); }},
        ValueRow{"smallest_timeout", {"--device", "f", "--timeout", "0.001"},
                 [](const CliOptions& o) { EXPECT_EQ(o.channel.stallTimeout, 1ms); }},
        ValueRow{"code_table", {"--device", "f", "--code-table", "3"},
                 [](const CliOptions& o) { EXPECT_EQ(o.settings.codeTable, 3); }},
        ValueRow{"code_table_edges", {"--device", "f", "--code-table=0255"},
                 [](const CliOptions& o) { EXPECT_EQ(o.settings.codeTable, 255); }},
        ValueRow{"code_table_zero", {"--device", "f", "--code-table", "0"},
                 [](const CliOptions& o) { EXPECT_EQ(o.settings.codeTable, 0); }},
        ValueRow{"code_tables", {"--device", "f", "--code-tables"},
                 [](const CliOptions& o) { EXPECT_EQ(o.mode, Mode::PrintCodeTables); }},
        ValueRow{"double_dash_alone", {"--device", "f", "--"},
                 [](const CliOptions& o) { EXPECT_EQ(o.settings.deviceName, "f"); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Usage errors: exit 2, our own Portuguese sentence, and the hint. None of the parser's English.
struct UsageRow {
  const char* name;
  std::vector<std::string> args;
  std::string message;
};
void PrintTo(const UsageRow& row, std::ostream* os) { *os << row.name; }

class UsageErrors : public ::testing::TestWithParam<UsageRow> {};

TEST_P(UsageErrors, ExitTwoWithAPortugueseLineAndAHint) {
  const auto r = Parse(GetParam().args);
  EXPECT_FALSE(r.options);
  EXPECT_EQ(r.exitCode, kExitUsage);
  EXPECT_EQ(r.err, "qrticket: " + GetParam().message + "\nExperimente 'qrticket --help'.\n");
  for (const char* english : {"required", "expected", "Could not", "not in range", "At Most",
                              "following argument", "Excludes", "excludes", "missing"})
    EXPECT_EQ(r.err.find(english), std::string::npos) << english;
}

const std::string kNotANumber = "' não é um número inteiro de -32768 a 32767, em decimal";
const std::string kNotSeconds = "' não é um número de segundos de 0.001 a 86400";

INSTANTIATE_TEST_SUITE_P(
    Args, UsageErrors,
    ::testing::Values(
        UsageRow{"no_device", {}, "falta o dispositivo: --device NOME (qrticket --list-devices mostra os que há)"},
        UsageRow{"no_device_but_options", {"--woosim", "--text", "a"},
                 "falta o dispositivo: --device NOME (qrticket --list-devices mostra os que há)"},
        UsageRow{"unknown_option", {"--device", "x", "--bogus"}, "opção desconhecida: --bogus"},
        UsageRow{"unknown_option_with_a_value", {"--device", "x", "--bogus=1"},
                 "opção desconhecida: --bogus=1"},
        UsageRow{"unknown_short_option", {"--device", "x", "-q"}, "opção desconhecida: -q"},
        UsageRow{"extra_word", {"--device", "x", "extra"}, "argumento inesperado: 'extra'"},
        UsageRow{"word_after_double_dash", {"--device", "x", "--", "y"},
                 "argumento inesperado: 'y'"},
        UsageRow{"text_and_file", {"--device", "x", "--text", "a", "--text-file", "/etc/hostname"},
                 "use --text ou --text-file, não os dois"},
        UsageRow{"text_twice", {"--device", "x", "--text", "a", "-t", "b"},
                 "a opção --text foi indicada mais de uma vez"},
        UsageRow{"device_twice", {"--device", "x", "--device=y"},
                 "a opção --device foi indicada mais de uma vez"},
        UsageRow{"status_with_a_text", {"--device", "x", "--status", "--text", "a"},
                 "as opções --text e --status não podem ser usadas juntas"},
        UsageRow{"status_and_check_status", {"--device", "x", "--status", "--check-status"},
                 "as opções --status e --check-status não podem ser usadas juntas"},
        UsageRow{"find_speed_and_probe", {"--device", "COM2", "--find-speed", "--probe"},
                 "as opções --find-speed e --probe não podem ser usadas juntas"},
        UsageRow{"find_speed_and_status", {"--device", "COM2", "--status", "--find-speed"},
                 "as opções --status e --find-speed não podem ser usadas juntas"},
        UsageRow{"find_speed_without_a_device", {"--find-speed"},
                 "falta o dispositivo: --device NOME (qrticket --list-devices mostra os que há)"},
        UsageRow{"status_without_a_device", {"--status"},
                 "falta o dispositivo: --device NOME (qrticket --list-devices mostra os que há)"},
        UsageRow{"check_with_a_device", {"--check", "--device", "x"},
                 "as opções --device e --check não podem ser usadas juntas"},
        UsageRow{"paper_neither_58_nor_80", {"--device", "x", "--probe", "--paper", "70"},
                 "--paper: '70' não é 58 nem 80"},
        UsageRow{"paper_without_probe", {"--device", "x", "--paper", "58"},
                 "a opção --paper só se usa com --probe"},
        UsageRow{"value_missing_at_the_end", {"--device", "x", "--size"},
                 "falta o valor de --size"},
        UsageRow{"short_value_missing_at_the_end", {"--device", "x", "-m"},
                 "falta o valor de -m"},
        UsageRow{"flag_with_a_value", {"--device", "x", "--woosim=yes"},
                 "a opção --woosim não leva valor"},
        UsageRow{"flag_with_an_empty_value", {"--device", "x", "--page-mode="},
                 "a opção --page-mode não leva valor"},
        UsageRow{"empty_model", {"--device", "x", "--model="}, "--model: falta o número"},
        UsageRow{"empty_error_level", {"--device", "x", "-e", ""},
                 "--error-level: falta o número"},
        UsageRow{"hexadecimal_model", {"--device", "x", "--model", "0x10"},
                 "--model: '0x10" + kNotANumber},
        UsageRow{"model_with_an_exponent", {"--device", "x", "--model", "1e2"},
                 "--model: '1e2" + kNotANumber},
        UsageRow{"model_with_a_space", {"--device", "x", "--model", " 1"},
                 "--model: ' 1" + kNotANumber},
        UsageRow{"model_beyond_16_bits", {"--device", "x", "--model", "32768"},
                 "--model: '32768" + kNotANumber},
        UsageRow{"model_far_beyond", {"--device", "x", "--model", "99999999999999999999999"},
                 "--model: '99999999999999999999999" + kNotANumber},
        UsageRow{"level_as_a_letter", {"--device", "x", "--error-level", "M"},
                 "--error-level: 'M" + kNotANumber},
        UsageRow{"zero_timeout", {"--device", "x", "--timeout", "0"}, "--timeout: '0" + kNotSeconds},
        UsageRow{"negative_timeout", {"--device", "x", "--timeout", "-1"},
                 "--timeout: '-1" + kNotSeconds},
        UsageRow{"timeout_over_a_day", {"--device", "x", "--timeout", "86400.5"},
                 "--timeout: '86400.5" + kNotSeconds},
        UsageRow{"nan_timeout", {"--device", "x", "--timeout", "nan"},
                 "--timeout: 'nan" + kNotSeconds},
        UsageRow{"infinite_timeout", {"--device", "x", "--timeout", "inf"},
                 "--timeout: 'inf" + kNotSeconds},
        UsageRow{"timeout_with_an_exponent", {"--device", "x", "--timeout", "1e3"},
                 "--timeout: '1e3" + kNotSeconds},
        UsageRow{"timeout_with_a_comma", {"--device", "x", "--timeout", "0,5"},
                 "--timeout: '0,5" + kNotSeconds},
        UsageRow{"empty_timeout", {"--device", "x", "--timeout="}, "--timeout: '" + kNotSeconds},
        UsageRow{"text_file_is_a_folder", {"--device", "x", "--text-file", "/tmp"},
                 "não foi possível ler o ficheiro '/tmp' (é uma pasta)"},
        UsageRow{"missing_text_file", {"--device", "x", "--text-file", "/no/such/file"},
                 "não foi possível ler o ficheiro '/no/such/file' (não existe)"},
        UsageRow{"empty_text_file_name", {"--device", "x", "--text-file="},
                 "não foi possível ler o ficheiro '' (não existe)"},
        UsageRow{"serial_speed", {"--device", "COM3:12x00"},
                 "--device \"COM3:12x00\": velocidade inválida: 12x00"},
        UsageRow{"serial_parity", {"--device", "com2:9600,z,8,1", "--status"},
                 "--device \"com2:9600,z,8,1\": paridade inválida: z (n, e, o, m ou s)"},
        UsageRow{"find_speed_with_settings", {"--device", "COM2:9600", "--find-speed"},
                 "--find-speed procura as definições sozinha: indique a porta sem elas"},
        UsageRow{"serial_settings_before_the_text_file", {"--device", "COM1:9600,n,8,1,q", "--text-file", "/no/such"},
                 "--device \"COM1:9600,n,8,1,q\": controlo de fluxo inválido: q (n, x, r, d ou p)"},
        UsageRow{"settings_on_a_parallel_port", {"--device", "LPT1:9600"},
                 "--device \"LPT1:9600\": LPT1: não é uma porta série: as definições só se aplicam a portas série"},
        UsageRow{"code_table_256", {"--device", "x", "--code-table", "256"},
                 "--code-table: '256' não é um número de 0 a 255"},
        UsageRow{"code_table_negative", {"--device", "x", "--code-table=-1"},
                 "--code-table: '-1' não é um número de 0 a 255"},
        UsageRow{"code_table_not_a_number", {"--device", "x", "--code-table", "PC860"},
                 "--code-table: 'PC860' não é um número de 0 a 255"},
        UsageRow{"code_table_empty", {"--device", "x", "--code-table="},
                 "--code-table: '' não é um número de 0 a 255"},
        UsageRow{"code_tables_without_a_device", {"--code-tables"},
                 "falta o dispositivo: --device NOME (qrticket --list-devices mostra os que há)"},
        UsageRow{"code_tables_and_status", {"--device", "x", "--code-tables", "--status"},
                 "--code-tables imprime um talão próprio: não se usa com outros modos"},
        UsageRow{"code_tables_and_probe", {"--device", "x", "--code-tables", "--probe"},
                 "--code-tables imprime um talão próprio: não se usa com outros modos"},
        UsageRow{"invalid_utf8_text", {"--device", "x", "--text", "a\xFF"},
                 "o texto a codificar não é UTF-8 válido"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliOptions, EachModeHasItsFlag) {
  EXPECT_EQ(Parse({"--device", "x"}).options->mode, Mode::PrintTicket);
  EXPECT_EQ(Parse({"--device", "x", "--status"}).options->mode, Mode::AskStatus);
  EXPECT_EQ(Parse({"--device", "x", "--check-status"}).options->mode,
            Mode::PrintTicketCheckingStatus);
  EXPECT_EQ(Parse({"--list-devices"}).options->mode, Mode::ListDevices);
  EXPECT_EQ(Parse({"--check"}).options->mode, Mode::CheckSymbol);
  EXPECT_EQ(Parse({"--device", "x", "--probe"}).options->mode, Mode::PrintProbe);
}

TEST(CliOptions, HelpAndVersionExitZero) {
  const auto help = Parse({"--help"});
  EXPECT_EQ(help.exitCode, kExitOk);
  EXPECT_FALSE(help.options);
  EXPECT_NE(help.out.find("--device"), std::string::npos);
  EXPECT_NE(help.out.find("--woosim"), std::string::npos);
  // What --text-file does to a file's text, and the exit codes, are told.
  EXPECT_NE(help.out.find("BOM"), std::string::npos);
  EXPECT_NE(help.out.find("CR isolado"), std::string::npos);
  EXPECT_NE(help.out.find("3 impresso, mas sem o símbolo QR"), std::string::npos);
  // CLI11's own words are ours too ("Needs: --probe" under --paper).
  EXPECT_EQ(help.out.find("Needs"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("Requer: --probe"), std::string::npos) << help.out;
  const auto version = Parse({"--version"});
  EXPECT_EQ(version.exitCode, kExitOk);
  EXPECT_EQ(version.out.rfind("qrticket ", 0), 0u);
}

// "/?", as Windows programs take it, is the help wherever an option may stand; as the value of
// an option it stays a name.
struct SlashQuestionRow {
  const char* name;
  std::vector<std::string> args;
  bool help;
};
void PrintTo(const SlashQuestionRow& row, std::ostream* out) { *out << row.name; }

class SlashQuestionMark : public ::testing::TestWithParam<SlashQuestionRow> {};

TEST_P(SlashQuestionMark, IsTheHelpWhereAnOptionMayStand) {
  const ParseResult r = Parse(GetParam().args);
  if (GetParam().help) {
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_FALSE(r.options);
    EXPECT_NE(r.out.find("--device"), std::string::npos) << r.out;
  } else {
    ASSERT_TRUE(r.options) << r.err;
    EXPECT_EQ(r.options->settings.deviceName, "/?");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SlashQuestionMark,
    ::testing::Values(SlashQuestionRow{"Alone", {"/?"}, true},
                      SlashQuestionRow{"AfterOtherOptions", {"--device", "x", "/?"}, true},
                      SlashQuestionRow{"AfterAFlag", {"--woosim", "/?"}, true},
                      SlashQuestionRow{"AsTheDevice", {"--device", "/?"}, false},
                      SlashQuestionRow{"AsTheShortDevice", {"-d", "/?"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Reads back the ticket that the command-line test "cli_write_ticket" wrote (see CMakeLists).
TEST(CliTicketFile, HoldsWhatTheCommandLineAskedFor) {
  const char* path = std::getenv("QRTICKET_CLI_TICKET");
  if (path == nullptr) GTEST_SKIP() << "runs after cli_write_ticket";
  const Bytes out = ReadFileBytes(path);
  EXPECT_EQ(Hex(out.substr(0, 5)), "1B 40 1B 0C 0A");  // page mode, not centred
  // Woosim block for "Olá €": length field 5 + 3.
  EXPECT_NE(out.find(Bytes("\r\n\x1BZ\x00\x0F\x06\x08\x00Ol\xE1 \x80\r\n", 16)), Bytes::npos);
  EXPECT_NE(out.find("Size : 8 \r\nModel : 2 \r\nErrorLevel : 0 \r\n"), Bytes::npos);
  EXPECT_NE(out.find("Modo P\xE1gina :Yes\r\n\x1BS\r\nQR CODE> Ol\xE1 \x80\n\r\n"), Bytes::npos);
}

}  // namespace
}  // namespace qrticket::cli
