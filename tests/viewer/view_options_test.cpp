// The qrticket-view command line, parsed in-process: one row per case.
#include <gtest/gtest.h>

#include "view_options.h"

namespace qrticket::viewer::cli {
namespace {

struct OptionsRow {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
  // for accepted lines: "file IN OUT WIDTH" or "listen ADDR PORT DIR" (DIR "-" for none), then
  // " table N" when the printer starts at another code table than PC437, " N dpi" when measuring
  // at another density than 203, " web ADDR PORT" for the receipt bench
  const char* summary;
};

std::string Summary(const ViewOptions& v) {
  return (v.listen ? "listen " + v.address + " " + std::to_string(v.port) + " " +
                         (v.outDir.empty() ? "-" : v.outDir)
                   : "file " + v.input + " " + v.output + " " + std::to_string(v.paperWidth)) +
         (v.codeTable != 0 ? " table " + std::to_string(v.codeTable) : "") +
         (v.dpi != 203 ? " " + std::to_string(v.dpi) + " dpi" : "") +
         (v.web ? " web " + v.webAddress + " " + std::to_string(v.webPort) : "");
}

void PrintTo(const OptionsRow& row, std::ostream* out) { *out << row.name; }

class ViewOptionsTable : public ::testing::TestWithParam<OptionsRow> {};

TEST_P(ViewOptionsTable, Parses) {
  const OptionsRow& row = GetParam();
  const ParseResult result = ParseViewCommandLine(row.args);
  EXPECT_EQ(result.exitCode, row.exitCode) << result.err;
  if (row.exitCode == kExitOk && row.summary[0] != '\0') {
    ASSERT_TRUE(result.options);
    EXPECT_EQ(Summary(*result.options), row.summary);
  }
  if (row.exitCode == kExitUsage) {
    EXPECT_FALSE(result.err.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Args, ViewOptionsTable,
    ::testing::Values(
        OptionsRow{"File", {"t.bin", "-o", "t.png"}, kExitOk, "file t.bin t.png 576"},
        OptionsRow{"StandardInput", {"-", "-o", "t.png"}, kExitOk, "file - t.png 576"},
        OptionsRow{"Width58mm", {"t.bin", "-o", "t.png", "--width", "384"}, kExitOk,
                   "file t.bin t.png 384"},
        OptionsRow{"OtherWidth", {"t.bin", "-o", "t.png", "--width", "500"}, kExitUsage, ""},
        OptionsRow{"NoOutput", {"t.bin"}, kExitUsage, ""},
        OptionsRow{"NoInput", {"-o", "t.png"}, kExitUsage, ""},
        OptionsRow{"ListenPort", {"--listen", "9100", "--out", "d"}, kExitOk,
                   "listen 127.0.0.1 9100 d"},
        OptionsRow{"ListenAddress", {"--listen", "0.0.0.0:9101", "--out", "d"}, kExitOk,
                   "listen 0.0.0.0 9101 d"},
        OptionsRow{"ListenIpv6", {"--listen", "[::1]:9102", "--out", "d"}, kExitOk,
                   "listen ::1 9102 d"},
        OptionsRow{"ListenAnyPort", {"--listen", "0", "--out", "d"}, kExitOk,
                   "listen 127.0.0.1 0 d"},
        OptionsRow{"ListenPortTooBig", {"--listen", "65536", "--out", "d"}, kExitUsage, ""},
        OptionsRow{"ListenNotANumber", {"--listen", "x:abc", "--out", "d"}, kExitUsage, ""},
        OptionsRow{"ListenWithoutOut", {"--listen", "9100"}, kExitUsage, ""},
        OptionsRow{"ListenWithFile", {"--listen", "9100", "--out", "d", "t.bin"}, kExitUsage, ""},
        OptionsRow{"OutWithoutListen", {"t.bin", "-o", "t.png", "--out", "d"}, kExitUsage, ""},
        OptionsRow{"ListenLinkLocalWithScope", {"--listen", "[fe80::1%eth0]:9100", "--out", "d"},
                   kExitOk, "listen fe80::1%eth0 9100 d"},
        OptionsRow{"ListenBareIpv6Refused", {"--listen", "::1:9100", "--out", "d"}, kExitUsage, ""},
        OptionsRow{"WidthNotANumber", {"t.bin", "-o", "t.png", "--width", "abc"}, kExitUsage, ""},
        OptionsRow{"ExtraArgument", {"t.bin", "u.bin", "-o", "t.png"}, kExitUsage, ""},
        OptionsRow{"CodeTable", {"t.bin", "-o", "t.png", "--code-table", "3"}, kExitOk,
                   "file t.bin t.png 576 table 3"},
        OptionsRow{"CodeTableFactory", {"t.bin", "-o", "t.png", "--code-table", "0"}, kExitOk,
                   "file t.bin t.png 576"},
        OptionsRow{"CodeTableListening", {"--listen", "9100", "--out", "d", "--code-table", "16"},
                   kExitOk, "listen 127.0.0.1 9100 d table 16"},
        OptionsRow{"CodeTableNotDrawn", {"t.bin", "-o", "t.png", "--code-table", "1"}, kExitUsage, ""},
        OptionsRow{"CodeTableTooBig", {"t.bin", "-o", "t.png", "--code-table", "1016"}, kExitUsage, ""},
        OptionsRow{"CodeTableNotANumber", {"t.bin", "-o", "t.png", "--code-table", "x"}, kExitUsage, ""},
        OptionsRow{"WebWithoutOut", {"--listen", "9100", "--web", "8080"}, kExitOk,
                   "listen 127.0.0.1 9100 - web 127.0.0.1 8080"},
        OptionsRow{"WebWithOut", {"--listen", "0", "--web", "[::1]:0", "--out", "d"}, kExitOk,
                   "listen 127.0.0.1 0 d web ::1 0"},
        OptionsRow{"WebOnEveryAddress", {"--listen", "9100", "--web", "0.0.0.0:8080"}, kExitOk,
                   "listen 127.0.0.1 9100 - web 0.0.0.0 8080"},
        OptionsRow{"WebWithoutListen", {"t.bin", "-o", "t.png", "--web", "0"}, kExitUsage, ""},
        OptionsRow{"WebWithSerial", {"--serial", "9600", "--out", "d", "--web", "0"}, kExitUsage, ""},
        OptionsRow{"WebPortTooBig", {"--listen", "0", "--web", "70000"}, kExitUsage, ""},
        OptionsRow{"WebWithoutValue", {"--listen", "0", "--web"}, kExitUsage, ""},
        OptionsRow{"Dpi180", {"t.bin", "-o", "t.png", "--dpi", "180"}, kExitOk,
                   "file t.bin t.png 576 180 dpi"},
        OptionsRow{"Dpi300Listening", {"--listen", "9100", "--out", "d", "--dpi", "300"},
                   kExitOk, "listen 127.0.0.1 9100 d 300 dpi"},
        OptionsRow{"Dpi203", {"t.bin", "-o", "t.png", "--dpi", "203"}, kExitOk,
                   "file t.bin t.png 576"},
        OptionsRow{"Dpi200", {"t.bin", "-o", "t.png", "--dpi", "200"}, kExitUsage, ""},
        OptionsRow{"DpiNotANumber", {"t.bin", "-o", "t.png", "--dpi", "3OO"}, kExitUsage, ""},
        OptionsRow{"DpiNegative", {"t.bin", "-o", "t.png", "--dpi", "-180"}, kExitUsage, ""},
        OptionsRow{"Help", {"--help"}, kExitOk, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::viewer::cli
