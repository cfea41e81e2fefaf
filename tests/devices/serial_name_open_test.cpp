// Serial names opened by the real binary: a link to a tty takes settings as the tty does, a
// missing pseudo-terminal is not there (never "no permission" from trying to create it), and
// a pseudo-terminal with text that is no settings names the field. Nothing becomes a file.
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "command_runner.h"
#include "serial_pty.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

TEST(SerialNameOpening, ALinkToATtyTakesSettings) {
  SerialPty line;
  line.SetSpeed(1200);
  const LineSettings own = line.Line();
  TempDir dir;
  const std::string link = dir.File("printer");
  ASSERT_EQ(::symlink(line.path().c_str(), link.c_str()), 0);
  const CommandRun run = RunQrticket({"--device", link + ":19200", "--text", "x"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(std::filesystem::exists(link + ":19200")) << "became a file";
  EXPECT_EQ(line.Line(), own);
  EXPECT_FALSE(line.pty().ReadMaster(1, std::chrono::milliseconds(2000)).empty())
      << "the ticket did not reach the line";
}

TEST(SerialNameOpening, AMissingPseudoTerminalIsNotThere) {
  int number = 9999;
  while (std::filesystem::exists("/dev/pts/" + std::to_string(number))) --number;
  const std::string pty = "/dev/pts/" + std::to_string(number);
  for (const std::string& typed : {pty, pty + ":9600"}) {
    const CommandRun run = RunQrticket({"--device", typed, "--text", "x"});
    EXPECT_EQ(run.exitCode, 1) << typed;
    EXPECT_NE(run.err.find("não existe"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Sem permissão"), std::string::npos) << run.err;
  }
}

TEST(SerialNameOpening, APseudoTerminalWithTextThatIsNoSettingsNamesTheField) {
  SerialPty line;
  const CommandRun run = RunQrticket({"--device", line.path() + ":abc", "--text", "x"});
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_NE(run.err.find("velocidade inválida: abc"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace qrticket::testing
