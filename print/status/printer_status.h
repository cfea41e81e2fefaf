// What a receipt printer's real-time status bytes (DLE EOT 1 to 4) and identity answers (GS I)
// mean. The bit meanings are tables in printer_status.cpp; the Portuguese words for them are in
// status_texts.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qrticket {

// The four real-time status requests: DLE EOT n.
enum class StatusRequest : std::uint8_t {
  Printer = 1,      // on line or off line
  OfflineCause = 2, // cover, paper feed, paper-end stop, error
  ErrorCause = 3,   // cutter, unrecoverable, auto-recoverable
  PaperSensor = 4,  // paper near end, paper end
};

// The answer bytes, one per request; nullopt when that request got no answer.
struct StatusAnswers {
  std::optional<std::uint8_t> printer, offlineCause, errorCause, paperSensor;
};

// One fact the status bytes tell, in the order they are shown.
enum class StatusFact {
  Online,
  Offline,
  WaitingForOnlineRecovery,
  FeedButtonPressed,
  CoverClosed,
  CoverOpen,
  PaperPresent,
  PaperNearEnd,
  PaperOut,
  PaperBeingFed,
  CutterError,
  UnrecoverableError,
  RecoverableError,
  UnspecifiedError,
};

// The facts of `answers`, each once, in the order of StatusFact. A request without an answer
// adds nothing; a fact that a stronger one makes moot (paper present beside paper out, an
// unspecified error beside a named one) is left out.
std::vector<StatusFact> DecodeStatus(const StatusAnswers& answers);

// Facts that keep a ticket from printing: off line, cover open, paper out, errors.
bool IsProblem(StatusFact fact);

// Ready to print: the printer answered all four requests (each decides a part: on line; cover,
// paper-end stop and errors; which error; the paper sensor) and reports no problem.
bool IsReady(const StatusAnswers& answers);

// The requests that went unanswered, in order: what is not known about the printer.
std::vector<StatusRequest> UnknownStates(const StatusAnswers& answers);

// The identity requests: GS I n. 1 to 3 answer one byte; 65 to 68 answer 0x5F, text, NUL.
enum class IdentityRequest : std::uint8_t {
  ModelId = 1,
  TypeId = 2,
  VersionId = 3,
  Firmware = 65,
  Maker = 66,
  ModelName = 67,
  SerialNumber = 68,
};

// Whether GS I n answers one byte or a text block.
bool AnswersText(IdentityRequest request);

struct PrinterIdentity {
  std::optional<std::uint8_t> modelId, typeId, versionId;
  std::optional<std::string> firmware, maker, modelName, serialNumber;  // as sent (ASCII)
};

// What the type ID byte (GS I 2) says about the printer's equipment, one item per set bit.
enum class TypeFeature { MultiByteCharacters, Autocutter, CustomerDisplay };
std::vector<TypeFeature> DecodeType(std::uint8_t typeId);

}  // namespace qrticket
