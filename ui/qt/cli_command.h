// How to name the command-line tool, qrticket, to an operator so that the name runs as given.
#pragma once

#include <filesystem>
#include <string>

namespace qrticket::ui {

struct CliCommandFacts {
  std::filesystem::path guiProgram;     // this program, an absolute path
  std::filesystem::path foundOnPath;    // what a search of PATH finds for "qrticket"; empty if none
  std::filesystem::path workingFolder;  // where the operator is
};

// The qrticket that belongs with this program is the one beside it (an installed system) or in
// the build tree's cli/ folder beside its ui/ folder (a build; scripts/run.sh leaves it in
// build/cli/). Its plain name when PATH finds that very program; else its path, from the working
// folder ("./build/cli/qrticket") when it lies below it (and that is not the root), else absolute,
// quoted for a POSIX shell where it needs quotes. Plain "qrticket" when neither is there.
std::string CliCommand(const CliCommandFacts& facts);

// The facts for this process. Needs a QCoreApplication (none with a display is needed).
CliCommandFacts CliCommandFactsHere();

}  // namespace qrticket::ui
