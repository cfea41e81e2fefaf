// The printed symbol against Portaria 195/2020: level M, version 9 or more, 30 mm wide or more.
// The quiet zone the printer leaves around it, and the paper itself, are out of our sight.
#pragma once

#include "portaria/portaria_finding.h"

namespace qrticket::portaria {

// Densities receipt printers come in; 203 unless the operator chooses another.
inline constexpr int kDefaultDpi = 203;
bool IsKnownDpi(int dpi);  // 180, 203 or 300

struct PrintedSymbol {
  char level = 'M';    // 'L', 'M', 'Q' or 'H'
  int version = 0;     // 1..40 (Micro QR: 1..4, and `micro`)
  bool micro = false;
  int widthDots = 0;   // without the quiet zone
  int dpi = kDefaultDpi;
};

// Findings with the subject "Símbolo", in the order level, version, width.
Findings CheckSymbol(const PrintedSymbol& symbol);

// Whether `dots` at `dpi` are narrower than the rule's 30 mm (exact: 25.4 × dots < 30 × dpi).
bool UnderMinimumWidth(int dots, int dpi);

inline constexpr int kMinimumVersion = 9;

}  // namespace qrticket::portaria
