// The failures of asking a printer for its status (DLE EOT) and identity (GS I), and of a
// ticket checked before and after. Wording in status_failures.cpp.
#pragma once

#include <chrono>
#include <string_view>

#include "devices/failure.h"

namespace qrticket::failures {

// What kind of output cannot carry an answer back.
enum class NoWayBack { File, Fifo, StandardOutput, PrintQueue, Device };
PrintFailure NoReturnChannel(std::string_view device, NoWayBack kind);
// The same on Windows, where network printers, serial ports and USB printers answer, and
// nothing else.
PrintFailure NoReturnChannelOnWindows(std::string_view device, NoWayBack kind);
// Windows: a parallel port or another device that is not asked for its status there.
PrintFailure StatusNotOnWindows(std::string_view device);
// The printer did not answer the status request within `bound`.
PrintFailure NoAnswer(std::string_view device, std::chrono::milliseconds bound);
// The same for a USB printer on Windows, asked through ReadFile: nothing came within `bound`,
// or (`readError` not 0) its driver refused to read at all with that Windows error.
PrintFailure NoAnswerOverUsb(std::string_view device, std::chrono::milliseconds bound,
                             unsigned long readError);
// Bytes that answer nothing came between or before the answers (line noise, a wrong speed, a
// device that streams): what came cannot be told apart from the answers.
PrintFailure UnaskedData(std::string_view device);
// The printer closed the link before it answered the first status request.
PrintFailure HungUp(std::string_view device);
// The speed search was given a name with settings: it finds them itself.
PrintFailure SpeedSearchWithSettings(std::string_view device);
// Before a ticket: the printer reports `causes` (status lines joined by ", ").
PrintFailure NotReadyNothingPrinted(std::string_view device, std::string_view causes);
// Before a ticket: the status could not be had (`cause`); the ticket was not sent.
PrintFailure UncheckedNothingPrinted(const PrintFailure& cause);
// Before a ticket: the printer left states that decide whether it can print unanswered
// (`unknown`, as UnknownStates words them).
PrintFailure StateUnknownNothingPrinted(std::string_view device, std::string_view unknown);
// After a ticket: the printer now reports `causes`.
PrintFailure SentButNotReady(std::string_view device, std::string_view causes);
// After a ticket: states that decide it went unanswered (`unknown`).
PrintFailure SentButStateUnknown(std::string_view device, std::string_view unknown);
// After a ticket: the status could not be had any more (`cause`).
PrintFailure SentButUnchecked(std::string_view device, const PrintFailure& cause);

}  // namespace qrticket::failures
