// Naming the command-line tool in the no-display hint: real folders laid out as an installed
// system and as a build tree, and the PATH search's answer as each row gives it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_command.h"
#include "temp_dir.h"

namespace qrticket::ui {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

void MakeProgram(const fs::path& file, bool executable = true) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "#!/bin/sh\n";
  fs::permissions(file, executable ? fs::perms::owner_all : fs::perms::owner_read);
}

struct CommandCase {
  const char* name;
  std::vector<const char*> programs;  // made below the row's folder; "!" first: not executable
  const char* gui;                    // this program, below the folder
  const char* onPath;                 // PATH's answer, below the folder ("" none, "/" outside)
  const char* working;  // below the folder ("" the folder); "/" a folder outside it; "ROOT" /
  const char* expected;               // "@" stands for the folder
};

void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

class CliCommandName : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CliCommandName, RunsAsGiven) {
  const CommandCase& c = GetParam();
  TempDir root;
  const fs::path folder = root.path() / (std::string(c.name).ends_with("Space") ? "a b" : "t");
  for (std::string program : c.programs) {
    const bool executable = program[0] != '!';
    MakeProgram(folder / program.substr(executable ? 0 : 1), executable);
  }
  TempDir elsewhere;
  auto resolve = [&](const std::string& relative) -> fs::path {
    if (relative.empty()) return {};
    if (relative == "/") return elsewhere.path();
    return folder / relative;
  };
  if (std::string(c.onPath) == "/") MakeProgram(elsewhere.path() / "qrticket");
  const fs::path onPath = std::string(c.onPath) == "/" ? elsewhere.path() / "qrticket"
                                                       : resolve(c.onPath);
  const std::string w = c.working;
  const fs::path working = w.empty() ? folder : w == "ROOT" ? fs::path("/") : resolve(w);
  fs::create_directories(working);

  std::string expected = c.expected;
  if (const auto at = expected.find('@'); at != std::string::npos)
    expected.replace(at, 1, folder.string());
  EXPECT_EQ(CliCommand({folder / c.gui, onPath, working}), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CliCommandName,
    ::testing::Values(
        CommandCase{"InstalledOnPath", {"bin/qrticket-gui", "bin/qrticket"}, "bin/qrticket-gui",
                    "bin/qrticket", "/", "qrticket"},
        CommandCase{"InstalledOffPath", {"bin/qrticket-gui", "bin/qrticket"}, "bin/qrticket-gui",
                    "", "/", "@/bin/qrticket"},
        CommandCase{"BuildTreeFromTheSourceFolder", {"build/ui/qrticket-gui", "build/cli/qrticket"},
                    "build/ui/qrticket-gui", "", "", "./build/cli/qrticket"},
        CommandCase{"BuildTreeFromItsUiFolder", {"build/ui/qrticket-gui", "build/cli/qrticket"},
                    "build/ui/qrticket-gui", "", "build/ui", "@/build/cli/qrticket"},
        CommandCase{"BuildTreeFromTheRootFolder", {"build/ui/qrticket-gui", "build/cli/qrticket"},
                    "build/ui/qrticket-gui", "", "ROOT", "@/build/cli/qrticket"},
        CommandCase{"BuildTreeWithAnotherQrticketOnPath",
                    {"build/ui/qrticket-gui", "build/cli/qrticket"}, "build/ui/qrticket-gui", "/",
                    "/", "@/build/cli/qrticket"},
        CommandCase{"BuildTreeWhoseCliIsOnPath", {"build/ui/qrticket-gui", "build/cli/qrticket"},
                    "build/ui/qrticket-gui", "build/cli/qrticket", "/", "qrticket"},
        CommandCase{"NotExecutable", {"build/ui/qrticket-gui", "!build/cli/qrticket"},
                    "build/ui/qrticket-gui", "", "", "qrticket"},
        CommandCase{"NoneBuilt", {"build/ui/qrticket-gui"}, "build/ui/qrticket-gui", "", "",
                    "qrticket"},
        CommandCase{"FolderWithSpace", {"build/ui/qrticket-gui", "build/cli/qrticket"},
                    "build/ui/qrticket-gui", "", "/", "'@/build/cli/qrticket'"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::ui
