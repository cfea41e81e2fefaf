// The kinds of QR symbol a receipt printer draws, and the dots and paper they are measured in.
#pragma once

namespace qrticket {

// What GS ( k fn 0x41 selects: model byte 0x31, 0x32, 0x33.
enum class QrModel { Model1, Model2, Micro };
// What GS ( k fn 0x45 selects: level byte 0x30..0x33.
enum class QrEcLevel { L, M, Q, H };

// Dots per module printers accept for GS ( k fn 0x43.
inline constexpr int kMinModuleSize = 1;
inline constexpr int kMaxModuleSize = 16;

// Receipt printers print 203 dots per inch; the printable width of the two common rolls.
inline constexpr int kPrinterDpi = 203;
inline constexpr int kPaper80mmDots = 576;
inline constexpr int kPaper58mmDots = 384;

char LevelLetter(QrEcLevel level);

// The largest version of each model: 14 (Model 1), 40 (Model 2), 4 (Micro QR M4).
int MaxVersion(QrModel model);

// Width (and height) of a symbol in modules, without quiet zone: 17 + 4 v for both full
// models, 9 + 2 v for Micro QR.
int ModulesAt(QrModel model, int version);

// Millimetres that `dots` take on paper at 203 dpi.
double DotsToMillimetres(int dots);

}  // namespace qrticket
