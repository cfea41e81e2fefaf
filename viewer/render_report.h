// The report of a rendered ticket: one Portuguese line per notable event. Every text the viewer
// says lives in render_report.cpp, so the wording is reviewed in one place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "devices/bytes.h"

namespace qrticket::viewer {

// Collects report lines, at most kMaxLines (random bytes could otherwise make millions), and
// counts skipped commands, which it lists at the end, one line per command.
class Report {
 public:
  static constexpr std::size_t kMaxLines = 200;
  static constexpr std::size_t kMaxSkippedKinds = 100;

  void Add(std::string line);

  // Counts one skipped command. `name()` gives its name; it is called the first time `key`
  // is seen only, so a stream of millions of the same byte costs no text.
  template <typename NameFn>
  void CountSkipped(std::uint64_t key, std::size_t at, bool known, NameFn name);

  // The lines, a closing count of the lines dropped past the limit, then one line per kind
  // of skipped command in the order first seen.
  std::vector<std::string> Take();

 private:
  struct SkippedKind {
    std::string name;
    std::size_t first;
    std::uint64_t count;
    bool known;
  };
  std::vector<std::string> lines_;
  std::size_t dropped_ = 0;
  std::map<std::uint64_t, SkippedKind> skipped_;
  std::uint64_t lastKey_ = ~std::uint64_t{0};
  SkippedKind* last_ = nullptr;
  std::uint64_t skippedUncounted_ = 0;  // past kMaxSkippedKinds kinds
};

template <typename NameFn>
void Report::CountSkipped(std::uint64_t key, std::size_t at, bool known, NameFn name) {
  if (key == lastKey_ && last_ != nullptr) {
    ++last_->count;
    return;
  }
  auto it = skipped_.find(key);
  if (it == skipped_.end()) {
    if (skipped_.size() == kMaxSkippedKinds) {
      ++skippedUncounted_;
      return;
    }
    it = skipped_.emplace(key, SkippedKind{name(), at, 0, known}).first;
  }
  ++it->second.count;
  lastKey_ = key;
  last_ = &it->second;
}

// Texts of the report, by event. `at` is the offset of the command in the stream.
namespace say {
std::string SkippedKnown(std::size_t at, std::string_view command, std::uint64_t count);
std::string SkippedUnknown(std::size_t at, std::string_view command, std::uint64_t count);
std::string SkippedOther(std::uint64_t count);
std::string Truncated(std::size_t at, std::string_view command);
std::string PageModeEntered(std::size_t at);
std::string PagePrintInStandardMode(std::size_t at);
std::string PagePrinted(std::size_t at);
std::string StandardModeInStandardMode(std::size_t at);
std::string StandardModeAgain(std::size_t at);
std::string PaperCut(std::size_t at);
std::string LineLeftInBuffer(std::size_t characters);
std::string PaperLimit(int dots);
std::string PaperOutOfMemory(int dots);
std::string FontMissing(std::string_view path);
std::string DroppedLines(std::size_t count);
std::string InputCut(std::uint64_t limit, std::uint64_t size);
std::string ElementsNotListed(std::size_t count);
std::string CommandTooLong(std::size_t at, std::string_view command, std::uint64_t length,
                           std::uint64_t limit);
std::string CodeTableNotDrawn(std::size_t at, int table, std::string_view kept);
// The characters (read as Windows-1252) that the table in force without ESC t printed as
// others, side by side.
std::string StartTableMismatches(std::string_view table, bool factory,
                                 std::u32string_view intended, std::u32string_view printed);
std::string KanjiNotDrawn(std::size_t at);
std::string PositionIgnored(std::size_t at, std::string_view command, int x);
std::string NotAtLineStart(std::size_t at, std::string_view command);

std::string ColumnImageDrawn(std::size_t at, int width, int height, int x, int y, int bands);
std::string GraphicsNothingStored(std::size_t at, std::string_view command);
std::string GraphicsQuery(std::size_t at, std::string_view command, int fn);
std::string GraphicsNotDrawn(std::size_t at, std::string_view command, int fn);
std::string GraphicsBadStore(std::size_t at, std::string_view command, std::string_view why);

std::string BarcodeSettingIgnored(char which, unsigned value);
std::string BarcodeNotPrinted(std::size_t at, std::string_view why);
std::string BarcodeTooWide(std::size_t at, std::string_view system, int width, int area);
std::string BarcodeUnknownSystem(unsigned m);
std::string BarcodeBadLength(std::string_view system, std::size_t length);
std::string BarcodeBadCharacter(std::string_view system, unsigned byte);
std::string BarcodeBadCheckDigit(std::string_view system, char given, char expected);
std::string BarcodeRefused(std::string_view system, std::string_view zintError);
std::string Code128NoCodeSet();
std::string Code128Function(char function);
std::string Code128BadSetC(unsigned value);

std::string SymbolCodeName(unsigned cn);
std::string SymbolSettingIgnored(std::size_t at, std::string_view code, std::string_view what,
                                 int value, int kept);
std::string SymbolBadStore(std::size_t at, std::string_view code);
std::string SymbolNoData(std::size_t at, std::string_view code);
std::string SymbolRefused(std::size_t at, std::string_view code, std::string_view zintError);
std::string SymbolFunctionIgnored(std::size_t at, std::string_view code, unsigned fn);
std::string SymbolTooWide(std::size_t at, std::string_view code, int width, int area);
std::string SymbolShape(std::size_t at, std::string_view code, int columns, int rows,
                        std::size_t bytes);

std::string QrSettingIgnored(std::size_t at, std::string_view why, std::string_view kept);
std::string QrModelName(unsigned model);
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
                         int paperWidth, bool fits, int x, int y);
// An invoice QR code read back from a picture's dots: what it holds and its size on the paper,
// in dots and in mm at `dpi` (the mm text as portaria::MillimetresAt gives it).
std::string QrReadFromImage(std::size_t at, std::string_view command, std::string_view version,
                            char level, double moduleWidth, double moduleHeight,
                            std::size_t dataBytes, int width, int height, std::string_view widthMm,
                            std::string_view heightMm, int dpi, int x, int y);

std::string ElementDrawn(std::size_t at, std::string_view command, std::string_view kind,
                         int width, int height, int x, int y, bool clipped);
std::string ImageRefused(std::size_t at, std::string_view command, unsigned mode, int width,
                         int height);

std::string WoosimParameters(std::size_t at, unsigned version, unsigned level, unsigned size);
std::string WoosimUnknownLevel(std::size_t at, unsigned level);
std::string WoosimBadVersion(unsigned version);
std::string WoosimOverrun(std::size_t at, std::size_t declared, std::size_t foreign,
                          BytesView foreignBytes);

// The system's reason for a failed call (errno), in Portuguese.
std::string SystemError(int error);
// A Windows error that no errno describes, by its number.
std::string WindowsError(unsigned long error);
std::string ReadFailed(std::string_view path, int error);
std::string ReadFailed(std::string_view path, std::string_view why);
std::string OutOfMemory();
std::string JobFailed();

// Texts of the PNG writer and the network front end.
std::string PngEmpty();
std::string PngEncodeFailed();
std::string PngWriteFailed(std::string_view path);
std::string ListenBadAddress(std::string_view address);
std::string ListenFailed(std::string_view address, int port, std::string_view why);
std::string ListenStoppedDuringJob();
std::string ListenIdle(long long milliseconds);
// A quiet connection ended so that a new one could be served.
std::string ListenMadeWay(int connections);
// The jobs' shared memory: this one waited for room, or was refused it.
std::string ListenWaitedForMemory(std::uint64_t capBytes);
std::string ListenRefusedMemory(std::uint64_t capBytes);
std::string ListenEmpty();
std::string ListenListening(std::string_view address);
std::string ListenJobLine(int number, std::uint64_t bytes, std::string_view peer,
                          std::string_view png);
std::string ListenEmptyLine(std::string_view peer);
std::string ListenStatusLine(std::string_view peer);
std::string ListenStopped();
// The serial printer (--serial).
std::string SerialNoPty(std::string_view why);
std::string SerialListening(std::string_view path, std::string_view settings);
std::string SerialSpeedMismatch(std::uint64_t bytes, const std::vector<std::uint32_t>& lineSpeeds,
                                std::uint32_t ownSpeed);
std::string SerialNotOnWindows();
}  // namespace say

}  // namespace qrticket::viewer
