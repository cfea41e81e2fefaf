// "VISUALIZAR:" on the command line: the ticket or the limits ticket drawn by the virtual
// printer into a picture and its report in a new folder of the temporary folder ($TMPDIR,
// pointed at the test's own), what it says, and the cases that draw nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli_options.h"
#include "preview_command.h"
#include "qr_scan.h"
#include "render_ticket.h"
#include "symbols/probe_ticket.h"
#include "temp_dir.h"
#include "ticket_bytes.h"

namespace qrticket::cli {
namespace {

namespace fs = std::filesystem;
using testing::GreyPicture;
using testing::ReadGreyPng;
using testing::TempDir;

// The settings the command line makes of `args` for a device.
QrPrintSettings SettingsOf(std::vector<std::string> args) {
  args.insert(args.begin(), {"--device", "x"});
  return ParseCommandLine(args).options.value().settings;
}

// The folders the preview made in the temporary folder.
std::vector<fs::path> Folders(const fs::path& temp) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(temp)) found.push_back(entry.path());
  std::sort(found.begin(), found.end());
  return found;
}

class Preview : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TMPDIR");
    if (old) oldTmp_ = old;
    ::setenv("TMPDIR", temp_.path().c_str(), 1);
  }
  void TearDown() override {
    if (oldTmp_) ::setenv("TMPDIR", oldTmp_->c_str(), 1);
    else ::unsetenv("TMPDIR");
  }

  struct Run {
    int exitCode;
    std::string out, err;
  };
  Run Draw(const std::vector<std::string>& args) {
    const ParseResult parsed = ParseCommandLine(args);
    EXPECT_TRUE(parsed.options.has_value()) << parsed.err;
    if (!parsed.options) return {-1, "", ""};
    EXPECT_TRUE(WantsPreview(*parsed.options));
    std::ostringstream out, err;
    const int code = RunPreview(*parsed.options, out, err);
    return {code, out.str(), err.str()};
  }

  TempDir temp_;
  std::optional<std::string> oldTmp_;
};

TEST_F(Preview, DrawsTheTicketsOwnBytesAndSaysWhere) {
  const Run run = Draw({"--device", "VISUALIZAR:", "--text", "Olá €", "--centred"});
  ASSERT_EQ(run.exitCode, kExitOk) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<fs::path> folders = Folders(temp_.path());
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].filename().string().rfind("qrticket-visualizar-", 0), 0u);
  const fs::path png = folders[0] / "talao.png", report = folders[0] / "talao.txt";
  EXPECT_EQ(run.out, "VISUALIZAR: talão desenhado pela impressora virtual, sem impressora:\n"
                     "  imagem: " + png.string() + "\n  relatório: " + report.string() + "\n");
  // Nothing else is written there: the ticket's bytes stay in memory.
  EXPECT_EQ(std::distance(fs::directory_iterator(folders[0]), fs::directory_iterator()), 2);
  EXPECT_FALSE(fs::exists("VISUALIZAR:"));

  const QrPrintSettings settings = SettingsOf({"--text", "Olá €", "--centred"});
  const viewer::RenderedTicket expected = viewer::RenderTicket(testing::TicketBytes(settings));
  const GreyPicture drawn = ReadGreyPng(png);
  EXPECT_EQ(drawn.width, expected.width);
  EXPECT_EQ(drawn.height, expected.height);
  EXPECT_TRUE(drawn.pixels == expected.pixels);
  std::string lines;
  for (const std::string& line : expected.report) lines += line + "\n";
  EXPECT_EQ(testing::ReadFileBytes(report), lines);
  EXPECT_NE(lines.find("QR (GS ( k): versão 1, nível M"), std::string::npos) << lines;
}

TEST_F(Preview, AnyCaseAndBlanksAroundTheName) {
  EXPECT_EQ(Draw({"--device", " visualizar: "}).exitCode, kExitOk);
  EXPECT_EQ(Draw({"--device", "Visualizar:"}).exitCode, kExitOk);
  // Two in the same second get folders of their own.
  EXPECT_EQ(Folders(temp_.path()).size(), 2u);
}

TEST_F(Preview, DrawsTheLimitsTicketOnThePaperChosen) {
  const Run run = Draw({"--device", "VISUALIZAR:", "--probe", "--paper", "58", "--size", "5"});
  ASSERT_EQ(run.exitCode, kExitOk) << run.err;
  const QrPrintSettings settings = SettingsOf({"--probe", "--size", "5"});
  viewer::RenderOptions options;
  options.paperWidth = kPaper58mmDots;
  const viewer::RenderedTicket expected =
      viewer::RenderTicket(ProbeTicketBytes(settings, kPaper58mmDots), options);
  const GreyPicture drawn = ReadGreyPng(Folders(temp_.path()).at(0) / "talao.png");
  EXPECT_EQ(drawn.width, 384);
  EXPECT_TRUE(drawn.pixels == expected.pixels);
}

// What the ticket would do, the preview does: the builder's failure printed in place of the
// symbol is drawn and exits 3; a job that fails draws nothing and leaves no folder.
struct OutcomeRow {
  const char* name;
  std::vector<std::string> options;
  int exitCode;
  const char* errStarts;
  bool drawn;
};
void PrintTo(const OutcomeRow& row, std::ostream* out) { *out << row.name; }

class PreviewOutcome : public Preview, public ::testing::WithParamInterface<OutcomeRow> {};

TEST_P(PreviewOutcome, AsTheTicketWouldEnd) {
  std::vector<std::string> args = {"--device", "VISUALIZAR:"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  const Run run = Draw(args);
  EXPECT_EQ(run.exitCode, GetParam().exitCode);
  EXPECT_EQ(run.err.rfind(GetParam().errStarts, 0), 0u) << run.err;
  EXPECT_EQ(Folders(temp_.path()).size(), GetParam().drawn ? 1u : 0u);
  if (!GetParam().drawn) {
    EXPECT_EQ(run.out, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, PreviewOutcome,
    ::testing::Values(
        OutcomeRow{"SizeNotAByte", {"--size", "300"}, kExitPrintedWithoutSymbol,
                   "qrticket: aviso: o talão foi impresso sem o símbolo QR", true},
        OutcomeRow{"TextTooLong", {"--text", std::string(32765, 'x')}, kExitPrintFailed,
                   "Falha na impressão:", false},
        OutcomeRow{"ProbeRefused", {"--probe", "--size", "17"}, kExitPrintFailed,
                   "Falha na impressão:O talão de limites não se imprime", false},
        OutcomeRow{"Status", {"--status"}, kExitPrintFailed,
                   "Falha ao pedir o estado: VISUALIZAR: desenha o talão numa imagem e não tem "
                   "estado",
                   false},
        OutcomeRow{"CheckStatus", {"--check-status"}, kExitPrintFailed,
                   "Falha ao pedir o estado: VISUALIZAR:", false}),
    [](const auto& info) { return std::string(info.param.name); });

// The folder named by $TMPDIR is not there, or takes no new folder.
TEST_F(Preview, ATemporaryFolderThatTakesNothingIsSaid) {
  ::setenv("TMPDIR", (temp_.path() / "nao-existe").c_str(), 1);
  Run run = Draw({"--device", "VISUALIZAR:"});
  EXPECT_EQ(run.exitCode, kExitPrintFailed);
  EXPECT_EQ(run.err.rfind("Falha na impressão:Não foi possível criar uma pasta para VISUALIZAR: "
                          "na pasta temporária (",
                          0),
            0u)
      << run.err;
  EXPECT_EQ(run.out, "");

  // sysfs takes no new folder, not even from root; the reason is the system's.
  ::setenv("TMPDIR", "/sys", 1);
  run = Draw({"--device", "VISUALIZAR:"});
  EXPECT_EQ(run.exitCode, kExitPrintFailed);
  EXPECT_EQ(run.err.rfind("Falha na impressão:Não foi possível criar uma pasta para VISUALIZAR: em "
                          "/sys (",
                          0),
            0u)
      << run.err;
}

TEST(PreviewName, OnlyForModesThatGoToADevice) {
  EXPECT_FALSE(WantsPreview(*ParseCommandLine({"--device", "VISUALIZAR:x"}).options));
  EXPECT_FALSE(WantsPreview(*ParseCommandLine({"--device", "visualizar"}).options));
  EXPECT_FALSE(WantsPreview(*ParseCommandLine({"--device", "t.bin"}).options));
  EXPECT_TRUE(WantsPreview(*ParseCommandLine({"--device", "\tVISUALIZAR:\n"}).options));
}

}  // namespace
}  // namespace qrticket::cli
