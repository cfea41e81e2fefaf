#include "listening_viewer.h"

#include <cstdio>
#include <regex>

namespace qrticket::testing {

using namespace std::chrono_literals;

ListeningViewer::ListeningViewer(const std::string& program) {
  std::filesystem::create_directories(dir_.path() / "out");
  viewer_ = std::make_unique<BackgroundProgram>(
      std::vector<std::string>{program, "--listen", "127.0.0.1:0", "--out",
                               (dir_.path() / "out").string()},
      dir_.path() / "log", dir_.path() / "log");
  const std::regex listening("a escutar em 127\\.0\\.0\\.1:([0-9]+)[^0-9]");  // the whole number
  PollUntil(
      [&] {
        std::smatch match;
        const std::string log = Log();
        if (std::regex_search(log, match, listening)) port_ = std::stoi(match[1]);
        return port_ > 0 || !viewer_->Running();
      },
      10s);
}

std::string ListeningViewer::Log() const { return ReadFileBytes(dir_.path() / "log"); }

std::filesystem::path ListeningViewer::WaitForTicket(int n, std::chrono::milliseconds bound) {
  char name[32];
  std::snprintf(name, sizeof name, "ticket-%04d.png", n);
  const std::filesystem::path picture = dir_.path() / "out" / name;
  // The picture is complete once the job's line is in the log.
  const std::string done = "trabalho " + std::to_string(n) + ":";
  if (!PollUntil([&] { return Log().find(done) != std::string::npos; }, bound)) return {};
  return std::filesystem::exists(picture) ? picture : std::filesystem::path{};
}

}  // namespace qrticket::testing
