// Where the virtual printer's jobs land: DIR/ticket-0001.png and its report ticket-0001.txt.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qrticket::viewer {

// The next "ticket-NNNN.png" in `dir` that does not exist yet, from `next` on (which moves
// past it).
std::filesystem::path NextTicketPath(const std::filesystem::path& dir, int& next);

// The report beside the picture, one line each.
void WriteTicketReport(const std::filesystem::path& png, const std::vector<std::string>& lines);

}  // namespace qrticket::viewer
