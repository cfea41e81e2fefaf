// The symbol's three points of the rule. A printer's GS ( k picks the smallest version that
// holds the text, so a short message prints below version 9 whatever is chosen: that is only
// a warning, while the level and the width in millimetres are the operator's to set.
#include "portaria/portaria_symbol.h"

#include <string>

namespace qrticket::portaria {

inline constexpr const char* kSymbolSubject = "Símbolo";

bool IsKnownDpi(int dpi) { return dpi == 180 || dpi == 203 || dpi == 300; }

bool UnderMinimumWidth(int dots, int dpi) { return 254LL * dots < 300LL * dpi; }

Findings CheckSymbol(const PrintedSymbol& symbol) {
  Findings findings;
  if (symbol.level != 'M')
    findings.push_back({kSymbolSubject, Point::kSymbolLevel, Weight::kFails,
                        std::string(1, symbol.level), 0, 0});
  if (symbol.micro || symbol.version < kMinimumVersion)
    findings.push_back({kSymbolSubject, Point::kSymbolVersion, Weight::kWarning,
                        symbol.micro ? "M" : "", symbol.version, 0});
  if (UnderMinimumWidth(symbol.widthDots, symbol.dpi))
    findings.push_back({kSymbolSubject, Point::kSymbolWidth, Weight::kFails, {}, symbol.widthDots,
                        symbol.dpi});
  return findings;
}

}  // namespace qrticket::portaria
