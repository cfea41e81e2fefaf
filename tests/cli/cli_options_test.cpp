// The command line's options, built into the settings the job prints from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "cli_options.h"
#include "temp_dir.h"
#include "ticket_defaults.h"

namespace qrticket::cli {
namespace {

using testing::Hex;
using testing::ReadFileBytes;
using testing::TempDir;

ParseResult Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

TEST(CliOptions, DefaultsAreTheWindowsDefaults) {
  const auto r = Parse({"--device", "LPT1:"});
  ASSERT_TRUE(r.options);
  const QrPrintSettings& s = r.options->settings;
  EXPECT_EQ(s.dataText, kSampleDataText);
  EXPECT_EQ(s.deviceName, "LPT1:");
  EXPECT_EQ(s.moduleSizeText, "6");
  EXPECT_EQ(s.modelIndex, 1);
  EXPECT_EQ(s.errorLevelIndex, 1);
  EXPECT_FALSE(s.pageMode || s.centred || s.woosimDialect);
  EXPECT_EQ(r.options->channel.stallTimeout, std::chrono::seconds(10));
}

TEST(CliOptions, EveryOptionReachesTheSettings) {
  const auto r = Parse({"--device", " COM1: ", "--text", "Olá €", "--size", "7.5", "--model", "-1",
                        "--error-level", "3", "--page-mode", "--centred", "--woosim", "--timeout",
                        "0.25"});
  ASSERT_TRUE(r.options) << r.err;
  const QrPrintSettings& s = r.options->settings;
  EXPECT_EQ(s.deviceName, " COM1: ");  // as typed
  EXPECT_EQ(Hex(s.dataText), "4F 6C E1 20 80");
  EXPECT_EQ(s.moduleSizeText, "7.5");  // converted by the job, like the window's box
  EXPECT_EQ(s.modelIndex, -1);
  EXPECT_EQ(s.errorLevelIndex, 3);
  EXPECT_TRUE(s.pageMode && s.centred && s.woosimDialect);
  EXPECT_EQ(r.options->channel.stallTimeout, std::chrono::milliseconds(250));
}

TEST(CliOptions, TextFileIsTakenWholeAsUtf8) {
  TempDir dir;
  const std::string path = dir.File("text.txt");
  WriteFile(path, std::string(" Página\0€\r\n", 14));
  const auto r = Parse({"--device", "x", "--text-file", path});
  ASSERT_TRUE(r.options) << r.err;
  EXPECT_EQ(Hex(r.options->settings.dataText), "20 50 E1 67 69 6E 61 00 80 0D 0A");
}

struct UsageRow {
  const char* name;
  std::vector<std::string> args;
  const char* errContains;
};
void PrintTo(const UsageRow& row, std::ostream* os) { *os << row.name; }


class UsageErrors : public ::testing::TestWithParam<UsageRow> {};

TEST_P(UsageErrors, ExitTwoWithAOneLineHint) {
  const auto r = Parse(GetParam().args);
  EXPECT_FALSE(r.options);
  EXPECT_EQ(r.exitCode, kExitUsage);
  EXPECT_NE(r.err.find(GetParam().errContains), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("qrticket --help"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Args, UsageErrors,
    ::testing::Values(
        UsageRow{"no_device", {}, "--device"},
        UsageRow{"unknown_option", {"--device", "x", "--bogus"}, "--bogus"},
        UsageRow{"text_and_file", {"--device", "x", "--text", "a", "--text-file", "/etc/hostname"},
                 "excludes"},
        UsageRow{"model_beyond_16_bits", {"--device", "x", "--model", "70000"}, "--model"},
        UsageRow{"zero_timeout", {"--device", "x", "--timeout", "0"}, "--timeout"},
        UsageRow{"nan_timeout", {"--device", "x", "--timeout", "nan"}, "--timeout"},
        UsageRow{"infinite_timeout", {"--device", "x", "--timeout", "inf"}, "--timeout"},
        UsageRow{"text_file_is_a_folder", {"--device", "x", "--text-file", "/tmp"}, "/tmp"},
        UsageRow{"invalid_utf8_text", {"--device", "x", "--text", "a\xFF"}, "UTF-8"},
        UsageRow{"missing_text_file", {"--device", "x", "--text-file", "/no/such/file"},
                 "/no/such/file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliOptions, HelpAndVersionExitZero) {
  const auto help = Parse({"--help"});
  EXPECT_EQ(help.exitCode, kExitOk);
  EXPECT_FALSE(help.options);
  EXPECT_NE(help.out.find("--device"), std::string::npos);
  EXPECT_NE(help.out.find("--woosim"), std::string::npos);
  const auto version = Parse({"--version"});
  EXPECT_EQ(version.exitCode, kExitOk);
  EXPECT_EQ(version.out.rfind("qrticket ", 0), 0u);
}

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
