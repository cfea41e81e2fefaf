// The Portuguese lines a status report is shown as, on the command line and in the window.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "status/printer_status.h"
#include "status/status_query.h"

namespace qrticket {

// "em linha", "tampa aberta", "sem papel", ...
std::string_view StatusFactText(StatusFact fact);

// One line per fact: who the printer is (what it answered to GS I, control characters shown
// as "[0x1B]"), each status fact, the requests left unanswered, a hang-up, the automatic status
// that came unasked, and last "pronta a imprimir", "não está pronta: CAUSES" or, when no
// problem is reported but a deciding state went unanswered, "não se sabe se está pronta: ...".
std::vector<std::string> StatusLines(const StatusReport& report);

// The problem facts of `answers`, joined by ", " ("tampa aberta, sem papel"); for failures.
// Empty when none is reported.
std::string ProblemCauses(const StatusAnswers& answers);

// What is not known because requests went unanswered: "sem resposta sobre tampa, fim do papel
// e erro (DLE EOT 2), ...". Empty when every state was read.
std::string UnknownCauses(const StatusAnswers& answers);

// The speed search: the warning before it starts, what it says as it tries one, the outcome
// when nothing answered, and when its bound `whole` stopped it at `settings`.
std::string SpeedSearchWarning();
std::string TryingSerialSettings(std::string_view settings);
std::string NoSpeedAnswered();
std::string SpeedSearchCut(std::chrono::milliseconds whole, std::string_view settings);

// A printer's text (its bytes as ISO-8859-1) for a terminal: C0 and C1 control characters and
// DEL as "[0x1B]", so that a printer cannot send control sequences to the operator's screen.
std::string ShownPrinterText(BytesView text);

}  // namespace qrticket
