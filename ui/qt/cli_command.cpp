// Naming the command-line tool so that it runs (see cli_command.h).
#include "cli_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <system_error>

namespace qrticket::ui {
namespace {

namespace fs = std::filesystem;

bool IsProgram(const fs::path& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (error || !fs::is_regular_file(status)) return false;
  return (status.permissions() & fs::perms::owner_exec) != fs::perms::none;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return !a.empty() && !b.empty() && fs::equivalent(a, b, error);
}

// Single quotes unless every character is one a shell takes literally.
std::string ForShell(const std::string& path) {
  const bool plain = path.find_first_not_of(
                         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_./+-:") ==
                     std::string::npos;
  if (plain) return path;
  std::string quoted = "'";
  for (const char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string CliCommand(const CliCommandFacts& facts) {
  const std::string name = "qrticket" + facts.guiProgram.extension().string();  // .exe on Windows
  const fs::path folder = facts.guiProgram.parent_path();
  fs::path tool;
  for (const fs::path& candidate : {folder / name, folder.parent_path() / "cli" / name}) {
    if (IsProgram(candidate)) {
      tool = candidate.lexically_normal();
      break;
    }
  }
  if (tool.empty() || SameFile(tool, facts.foundOnPath)) return "qrticket";

  // From the file system's root, an absolute path reads better than "./usr/...".
  const fs::path below = tool.lexically_relative(facts.workingFolder);
  if (!below.empty() && *below.begin() != ".." &&
      facts.workingFolder != facts.workingFolder.root_path())
    return ForShell((fs::path(".") / below).generic_string());
  return ForShell(tool.generic_string());
}

CliCommandFacts CliCommandFactsHere() {
  auto path = [](const QString& text) {
    return fs::path(QDir::toNativeSeparators(text).toStdU16String());
  };
  return {path(QCoreApplication::applicationFilePath()),
          path(QStandardPaths::findExecutable(QStringLiteral("qrticket"))),
          path(QDir::currentPath())};
}

}  // namespace qrticket::ui
