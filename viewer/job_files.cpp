// The files of a drawn job.
#include "job_files.h"

#include <cstdio>
#include <fstream>

namespace qrticket::viewer {

std::filesystem::path NextTicketPath(const std::filesystem::path& dir, int& next) {
  std::error_code ec;
  for (;; ++next) {
    char name[32];
    std::snprintf(name, sizeof name, "ticket-%04d.png", next);
    auto path = dir / name;
    if (!std::filesystem::exists(path, ec)) {
      ++next;
      return path;
    }
  }
}

void WriteTicketReport(const std::filesystem::path& png, const std::vector<std::string>& lines) {
  std::ofstream out(std::filesystem::path(png).replace_extension(".txt"));
  for (const auto& line : lines) out << line << '\n';
}

}  // namespace qrticket::viewer
