// The findings in Portuguese (UTF-8): the verdict line and one line per finding, for
// `qrticket --portaria`, `--check`, the window's tool tip and the virtual printer's report.
#pragma once

#include <string>

#include "portaria/portaria_finding.h"

namespace qrticket::portaria {

// "Portaria 195/2020: cumpre", "... cumpre, com avisos" or "... não cumpre".
std::string VerdictLine(Verdict verdict);
// The verdict's words alone: "cumpre", "cumpre, com avisos", "não cumpre".
std::string VerdictWords(Verdict verdict);

// What the finding says, without its subject: "ATCUD sem hífen ... (não cumpre)".
std::string FindingSentence(const Finding& finding);
// "H: " followed by the sentence.
std::string FindingLine(const Finding& finding);

// The verdict line, then one line per finding; '\n' between lines, none at the end.
std::string PortariaReport(const Findings& findings);

// "Densidade da impressora: 203 ppp", for the window's tool tip.
std::string DensityLine(int dpi);

// "26,5": millimetres that `dots` take at `dpi`, one decimal cut (not rounded), so a width
// under 30 mm never reads "30,0".
std::string MillimetresAt(int dots, int dpi);

}  // namespace qrticket::portaria
