// GS k systems as data, the checks printers make before printing, and zint for the bars.
// Character sets and lengths follow the public ESC/POS command references for GS k.
#include "barcode_symbols.h"

#include <zint.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "render_report.h"
#include "zint_symbol.h"

namespace qrticket::viewer {
namespace {

constexpr const char* kDigits = "0123456789";

struct BarcodeSystem {
  std::uint8_t nulEnded;  // m of the form GS k m d1..dk NUL; 0xFF when there is none
  std::uint8_t counted;   // m of the form GS k m n d1..dn
  const char* name;
  int zint;
  bool twoWidths;         // narrow and wide elements (CODE39, ITF, CODABAR)
  const char* characters; // allowed bytes; nullptr: 0x00..0x7F
  int minLength, maxLength;
};

constexpr BarcodeSystem kSystems[] = {
    {0, 65, "UPC-A", BARCODE_UPCA, false, kDigits, 11, 12},
    {1, 66, "UPC-E", BARCODE_UPCE, false, kDigits, 6, 8},
    {2, 67, "EAN13", BARCODE_EANX, false, kDigits, 12, 13},
    {3, 68, "EAN8", BARCODE_EANX, false, kDigits, 7, 8},
    {4, 69, "CODE39", BARCODE_CODE39, true, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./", 1,
     255},
    {5, 70, "ITF", BARCODE_C25INTER, true, kDigits, 2, 254},
    {6, 71, "CODABAR", BARCODE_CODABAR, true, "0123456789ABCDabcd$+-./:", 2, 255},
    {0xFF, 72, "CODE93", BARCODE_CODE93, false, nullptr, 1, 255},
    {0xFF, 73, "CODE128", BARCODE_CODE128, false, nullptr, 2, 255},
    {0xFF, 74, "GS1-128", BARCODE_GS1_128, false, nullptr, 2, 255},
    {0xFF, 75, "GS1 DataBar Omnidirectional", BARCODE_DBAR_OMN, false, kDigits, 13, 13},
    {0xFF, 76, "GS1 DataBar Truncated", BARCODE_DBAR_OMN, false, kDigits, 13, 13},
    {0xFF, 77, "GS1 DataBar Limited", BARCODE_DBAR_LTD, false, kDigits, 13, 13},
    {0xFF, 78, "GS1 DataBar Expanded", BARCODE_DBAR_EXP, false, nullptr, 2, 255},
    {0xFF, 79, "CODE128 (automático)", BARCODE_CODE128, false, nullptr, 1, 255},
};

const BarcodeSystem* FindSystem(std::uint8_t m) {
  for (const auto& s : kSystems) {
    if (s.nulEnded == m || s.counted == m) return &s;
  }
  return nullptr;
}

// GS w n: a module (or narrow element) is n dots; a wide element of CODE39, ITF and CODABAR
// is the thick width the references list for n (0.706 mm at n = 2 ... 2.258 mm at n = 6).
constexpr std::array<int, 7> kThickDots = {0, 0, 5, 8, 10, 13, 16};

// CODE128 data starts with a code set ({A, {B or {C) and may switch sets on the way ({A {B
// {C), shift one character ({S), or send "{" itself ({{). In set C each byte is a number
// 0..99, two digits. The result is the characters the symbol carries; zint then picks the
// code sets it likes, which changes the bars but not what a reader decodes.
bool Code128Characters(BytesView data, Bytes& out, std::string& why) {
  out.clear();
  if (data.size() < 2 || data[0] != '{' || std::strchr("ABC", data[1]) == nullptr) {
    why = say::Code128NoCodeSet();
    return false;
  }
  char set = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    if (c == '{' && i + 1 < data.size()) {
      const char next = data[++i];
      if (next == 'A' || next == 'B' || next == 'C') {
        set = next;
        continue;
      }
      if (next == '{') {
        out += '{';
        continue;
      }
      if (next == 'S') continue;  // the next character is read in the other of sets A and B
      why = say::Code128Function(next);
      return false;
    }
    if (set == 'C') {
      if (c > 99) {
        why = say::Code128BadSetC(c);
        return false;
      }
      out += static_cast<char>('0' + c / 10);
      out += static_cast<char>('0' + c % 10);
    } else {
      out += static_cast<char>(c);
    }
  }
  return true;
}

// UPC and EAN check digit: digits weighted 3, 1, 3... from the right, up to a multiple of 10.
char CheckDigit(BytesView digits) {
  int sum = 0, weight = 3;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it, weight = 4 - weight) {
    sum += (*it - '0') * weight;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::vector<int> Widths(const ModuleGrid& modules, int moduleWidth, bool twoWidths) {
  std::vector<int> widths;
  const int row = modules.rows - 1;  // the bars: the only row of these systems
  if (row < 0) return widths;
  int col = 0, end = modules.columns;
  while (col < end && !modules.At(row, col)) ++col;  // no quiet zone: the paper has margins
  while (end > col && !modules.At(row, end - 1)) --end;
  for (bool dark = true; col < end; dark = !dark) {
    int run = 0;
    for (; col < end && modules.At(row, col) == dark; ++col) ++run;
    widths.push_back(twoWidths ? (run > 1 ? kThickDots[moduleWidth] : moduleWidth)
                               : run * moduleWidth);
  }
  return widths;
}

}  // namespace

std::string BarcodeSystemName(std::uint8_t m) {
  const BarcodeSystem* s = FindSystem(m);
  return s ? s->name : "";
}

std::optional<BarcodeBars> MakeBarcode(std::uint8_t m, BytesView data, int moduleWidth,
                                       std::string& why) {
  const BarcodeSystem* system = FindSystem(m);
  if (system == nullptr) {
    why = say::BarcodeUnknownSystem(m);
    return std::nullopt;
  }
  const int length = static_cast<int>(data.size());
  if (length < system->minLength || length > system->maxLength ||
      (system->zint == BARCODE_C25INTER && length % 2 != 0)) {
    why = say::BarcodeBadLength(system->name, data.size());
    return std::nullopt;
  }
  for (const char c : data) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const bool allowed = system->characters ? (byte != 0 && std::strchr(system->characters, byte))
                                            : byte < 0x80;
    if (!allowed) {
      why = say::BarcodeBadCharacter(system->name, byte);
      return std::nullopt;
    }
  }
  // With the check digit included, printers print what they are given; zint would refuse a
  // wrong one, so it is told here in our words.
  const bool withCheckDigit = (system->zint == BARCODE_UPCA && length == 12) ||
                              (system->zint == BARCODE_EANX && (length == 13 || length == 8));
  if (withCheckDigit) {
    const char expected = CheckDigit(data.substr(0, data.size() - 1));
    if (data.back() != expected) {
      why = say::BarcodeBadCheckDigit(system->name, data.back(), expected);
      return std::nullopt;
    }
  }
  Bytes characters(data);
  if (system->counted == 73 && !Code128Characters(data, characters, why)) return std::nullopt;
  // CODE39's start and stop character is '*': printers add it when the data leaves it out.
  if (system->zint == BARCODE_CODE39) {
    if (characters.size() >= 2 && characters.front() == '*' && characters.back() == '*') {
      characters = characters.substr(1, characters.size() - 2);
    }
    if (characters.find('*') != Bytes::npos) {
      why = say::BarcodeBadCharacter(system->name, '*');
      return std::nullopt;
    }
  }

  ZintSymbol symbol(system->zint);
  if (system->zint == BARCODE_GS1_128 || system->zint == BARCODE_DBAR_EXP) {
    symbol.get().input_mode = GS1_MODE | GS1PARENS_MODE | GS1NOCHECK_MODE;
  }
  std::string zintWhy;
  if (!symbol.Encode(characters, zintWhy)) {
    why = say::BarcodeRefused(system->name, zintWhy);
    return std::nullopt;
  }
  BarcodeBars bars;
  bars.system = system->name;
  bars.widths = Widths(symbol.Modules(), moduleWidth, system->twoWidths);
  for (const int w : bars.widths) bars.width += w;
  bars.readable = symbol.Text();
  return bars;
}

}  // namespace qrticket::viewer
