// Reads every bar code and two-dimensional code in a rendering back with ZXing-C++ (Debian's
// libzxing-dev), which knows the formats zbar does not (PDF417, DataMatrix, Aztec, MaxiCode).
#pragma once

#include <string>
#include <vector>

#include "render_ticket.h"

namespace qrticket::viewer::testing {

struct ReadCode {
  std::string format;  // ZXing's name: "Code128", "EAN-13", "PDF417", "DataMatrix"...
  Bytes bytes;         // the symbol's raw data bytes
  std::string text;    // ZXing's reading as text (UTF-8), with check digits for EAN/UPC
};

// The codes found in the picture (at most one of each format) given a white margin (as the paper's) and enlarged `scale`
// times; `pure` says the picture holds one code alone, which helps MaxiCode.
std::vector<ReadCode> ReadCodes(const RenderedTicket& ticket, int scale = 1, bool pure = false);

}  // namespace qrticket::viewer::testing
