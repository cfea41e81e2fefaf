#include "symbols/qr_model1_capacity.h"

namespace qrticket {
namespace {

// Data codewords of each Model 1 version, at levels L, M, Q, H (blocks times data codewords
// per block in the standard's table). Version 1 is the same as Model 2's.
constexpr int kDataCodewords[14][4] = {
    {19, 16, 13, 9},      {36, 30, 24, 16},     {57, 44, 36, 24},     {80, 60, 50, 34},
    {108, 82, 68, 46},    {136, 106, 86, 58},   {170, 132, 108, 72},  {208, 160, 128, 87},
    {246, 186, 156, 102}, {290, 222, 183, 124}, {336, 256, 208, 145}, {384, 292, 244, 165},
    {432, 332, 276, 192}, {489, 368, 310, 210},
};

// Byte mode: a 4-bit mode indicator and a character count of 8 bits up to version 9, 16 bits
// from version 10, then 8 bits per byte. Version 14 at level L gives 486 bytes, the Model 1
// maximum that reader manufacturers publish.
constexpr int kModeBits = 4;
int CountBits(int version) { return version <= 9 ? 8 : 16; }

}  // namespace

int Model1ByteCapacity(QrEcLevel level, int version) {
  if (version < 1 || version > 14) return 0;
  const int dataBits = kDataCodewords[version - 1][static_cast<int>(level)] * 8;
  return (dataBits - kModeBits - CountBits(version)) / 8;
}

}  // namespace qrticket
