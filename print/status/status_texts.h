// The Portuguese lines a status report is shown as, on the command line and in the window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "status/printer_status.h"
#include "status/status_query.h"

namespace qrticket {

// "em linha", "tampa aberta", "sem papel", ...
std::string_view StatusFactText(StatusFact fact);

// One line per fact: who the printer is (what it answered to GS I), each status fact, the
// requests left unanswered, the automatic status that came unasked, and last "pronta a
// imprimir" or "não está pronta: CAUSES".
std::vector<std::string> StatusLines(const StatusReport& report);

// The problem facts of `answers`, joined by ", " ("tampa aberta, sem papel"); for failures.
std::string ProblemCauses(const StatusAnswers& answers);

}  // namespace qrticket
