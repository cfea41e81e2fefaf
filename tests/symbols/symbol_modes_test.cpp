// qrticket --check and --probe on the command line: which combinations parse, and what --check
// prints and returns for the facts.
#include <gtest/gtest.h>

#include <sstream>

#include "cli_options.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::cli {
namespace {

struct ModeRow {
  const char* name;
  std::vector<std::string> args;
  int exitCode;           // kExitOk when the line parses
  const char* errHas = "";
};
void PrintTo(const ModeRow& row, std::ostream* os) { *os << row.name; }

class SymbolModeArgs : public ::testing::TestWithParam<ModeRow> {};

TEST_P(SymbolModeArgs, ParseOrSayWhy) {
  const ModeRow& row = GetParam();
  const ParseResult r = ParseCommandLine(row.args);
  EXPECT_EQ(r.exitCode, row.exitCode) << r.err;
  EXPECT_EQ(r.options.has_value(), row.exitCode == kExitOk);
  EXPECT_NE(r.err.find(row.errHas), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SymbolModeArgs,
    ::testing::Values(
        ModeRow{"CheckWithoutDevice", {"--check"}, kExitOk},
        ModeRow{"CheckWithSettings", {"--check", "--text", "a", "--size", "3", "--model", "2",
                                      "--error-level", "0", "--woosim"}, kExitOk},
        ModeRow{"CheckRefusesADevice", {"--check", "--device", "x"}, kExitUsage, "--device"},
        ModeRow{"DeviceStillRequiredOtherwise", {"--text", "a"}, kExitUsage, "--device"},
        ModeRow{"Probe", {"--device", "x", "--probe"}, kExitOk},
        ModeRow{"ProbeNeedsADevice", {"--probe"}, kExitUsage, "--device"},
        ModeRow{"Probe58mm", {"--device", "x", "--probe", "--paper", "58"}, kExitOk},
        ModeRow{"PaperIs58Or80", {"--device", "x", "--probe", "--paper", "70"}, kExitUsage,
                "--paper"},
        ModeRow{"PaperOnlyForProbe", {"--device", "x", "--paper", "58"}, kExitUsage, "--probe"},
        ModeRow{"CheckOrProbe", {"--device", "x", "--probe", "--check"}, kExitUsage, "--check"},
        ModeRow{"CheckOrStatus", {"--check", "--status"}, kExitUsage, "--status"},
        ModeRow{"CheckOrListDevices", {"--check", "--list-devices"}, kExitUsage, "--list-devices"},
        ModeRow{"ProbeOrCheckStatus", {"--device", "x", "--probe", "--check-status"}, kExitUsage,
                "--check-status"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SymbolModes, ParsedFlagsReachTheOptions) {
  const ParseResult probe = ParseCommandLine({"--device", "x", "--probe", "--paper", "58"});
  ASSERT_TRUE(probe.options);
  EXPECT_TRUE(probe.options->symbolModes.probe);
  EXPECT_FALSE(probe.options->symbolModes.check);
  EXPECT_EQ(probe.options->symbolModes.paperMm, 58);
  const ParseResult plain = ParseCommandLine({"--device", "x"});
  ASSERT_TRUE(plain.options);
  EXPECT_FALSE(plain.options->symbolModes.check || plain.options->symbolModes.probe);
  EXPECT_EQ(plain.options->symbolModes.paperMm, 80);
}

struct CheckRow {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
  const char* outHas;
  const char* errHas;  // "" when stderr stays empty
};
void PrintTo(const CheckRow& row, std::ostream* os) { *os << row.name; }

class CheckRuns : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckRuns, FactsOnStdoutVerdictOnStderr) {
  const CheckRow& row = GetParam();
  std::vector<std::string> args = {"--check"};
  args.insert(args.end(), row.args.begin(), row.args.end());
  const ParseResult parsed = ParseCommandLine(args);
  ASSERT_TRUE(parsed.options) << parsed.err;
  std::ostringstream out, err;
  const auto code = RunSymbolMode(parsed.options->symbolModes, parsed.options->settings,
                                  parsed.options->channel, out, err);
  ASSERT_TRUE(code);
  EXPECT_EQ(*code, row.exitCode);
  EXPECT_NE(out.str().find(row.outHas), std::string::npos) << out.str();
  if (*row.errHas == '\0') {
    EXPECT_EQ(err.str(), "");
  } else {
    EXPECT_NE(err.str().find(row.errHas), std::string::npos) << err.str();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CheckRuns,
    ::testing::Values(
        CheckRow{"Default", {}, kCheckPrints, "Símbolo: versão 8, 49 × 49 módulos", ""},
        CheckRow{"FirstTooLongL", {"--text", std::string(2954, 'x'), "--error-level", "0"},
                 kCheckDoesNotPrint, "não cabe num código QR",
                 "qrticket: 2954 bytes: não cabe num código QR (o Modelo 2 de nível L leva até "
                 "2953 bytes)"},
        CheckRow{"TooWideFor80mm", {"--size", "12"}, kCheckDoesNotPrint,
                 "Papel de 80 mm (576 pontos): não cabe", "não cabe no papel de 80 mm"},
        // 80 mm is what --check asks for; 58 mm is only reported.
        CheckRow{"Only58mmFails", {"--size", "8"}, kCheckPrints,
                 "Papel de 58 mm (384 pontos): não cabe", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SymbolModes, PlainTicketRunsNoMode) {
  const ParseResult parsed = ParseCommandLine({"--device", "x"});
  std::ostringstream out, err;
  EXPECT_FALSE(RunSymbolMode(parsed.options->symbolModes, parsed.options->settings,
                             parsed.options->channel, out, err));
  EXPECT_EQ(out.str() + err.str(), "");
}

}  // namespace
}  // namespace qrticket::cli
