// The report of a rendered ticket: one Portuguese line per notable event. Every text the viewer
// says lives in render_report.cpp, so the wording is reviewed in one place.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "bytes.h"

namespace qrticket::viewer {

// Collects report lines, at most kMaxLines (random bytes could otherwise make millions).
class Report {
 public:
  static constexpr std::size_t kMaxLines = 200;
  void Add(std::string line);
  // The lines, with a closing count of the lines dropped past the limit.
  std::vector<std::string> Take();

 private:
  std::vector<std::string> lines_;
  std::size_t dropped_ = 0;
};

// Texts of the report, by event. `at` is the offset of the command in the stream.
namespace say {
std::string SkippedKnown(std::size_t at, std::string_view command, std::size_t repeats = 1);
std::string SkippedUnknown(std::size_t at, std::string_view command, std::size_t repeats = 1);
std::string Truncated(std::size_t at, std::string_view command);
std::string PageModeEntered(std::size_t at);
std::string PagePrintInStandardMode(std::size_t at);
std::string PagePrinted(std::size_t at);
std::string StandardModeInStandardMode(std::size_t at);
std::string StandardModeAgain(std::size_t at);
std::string PaperCut(std::size_t at);
std::string LineLeftInBuffer(std::size_t characters);
std::string PaperLimit(int dots);
std::string FontMissing(std::string_view path);
std::string DroppedLines(std::size_t count);

std::string QrSettingRefused(std::size_t at, std::string_view why);
std::string QrBadModel(unsigned model);
std::string QrBadModuleSize(unsigned size, int low, int high);
std::string QrBadLevel(unsigned level);
std::string QrBadStore(std::size_t at);
std::string QrUnknownFunction(std::size_t at, unsigned fn);
std::string QrNoData(std::size_t at);
std::string QrRefused(std::size_t at, std::string_view command, std::string_view why);
std::string QrModel1AsModel2(std::size_t at);
std::string QrTooMuchData(std::size_t bytes, std::string_view symbolKind, char level);
std::string QrTooMuchDataForVersion(std::size_t bytes, int version, char level);
std::string QrNoMicroLevelH();
std::string QrReaderText(std::size_t at, std::string_view shown);
std::string QrSymbolLine(std::size_t at, std::string_view command, std::string_view version,
                         char level, int moduleSize, std::size_t dataBytes, int dots,
                         int paperWidth, bool fits);

std::string ElementDrawn(std::size_t at, std::string_view command, std::string_view kind,
                         int width, int height, int x, int y, bool clipped);
std::string ImageRefused(std::size_t at, std::string_view command, unsigned mode, int width,
                         int height);

std::string WoosimParameters(std::size_t at, unsigned version, unsigned level, unsigned size);
std::string WoosimUnknownLevel(std::size_t at, unsigned level);
std::string WoosimBadVersion(unsigned version);
std::string WoosimOverrun(std::size_t at, std::size_t declared, std::size_t foreign,
                          BytesView foreignBytes);

// Texts of the PNG writer and the network front end.
std::string PngEmpty();
std::string PngEncodeFailed();
std::string PngWriteFailed(std::string_view path);
std::string ListenBadAddress(std::string_view address);
std::string ListenFailed(std::string_view address, int port, std::string_view why);
std::string ListenStoppedDuringJob();
std::string ListenIdle(long long milliseconds);
std::string ListenJobTooLong(std::size_t bytes);
}  // namespace say

}  // namespace qrticket::viewer
