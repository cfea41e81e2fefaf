// The bit tables of DLE EOT 1 to 4 and of the GS I type byte, as the public ESC/POS command
// references describe them. Bits 1 and 4 of every DLE EOT answer are fixed to 1, bits 0 and 7
// to 0; the tables cover the other four.
#include "status/printer_status.h"

#include <algorithm>
#include <array>

namespace qrticket {
namespace {

// One row: in the answer to `request`, the bits of `mask` give `whenSet` when any of them is
// on, and `whenClear` (when there is one) when all are off.
struct StatusBit {
  StatusRequest request;
  std::uint8_t mask;
  std::optional<StatusFact> whenSet;
  std::optional<StatusFact> whenClear;
};

constexpr std::array kStatusBits = {
    // DLE EOT 1: printer status.
    StatusBit{StatusRequest::Printer, 0x08, StatusFact::Offline, StatusFact::Online},
    StatusBit{StatusRequest::Printer, 0x20, StatusFact::WaitingForOnlineRecovery, {}},
    StatusBit{StatusRequest::Printer, 0x40, StatusFact::FeedButtonPressed, {}},
    // DLE EOT 2: off-line cause.
    StatusBit{StatusRequest::OfflineCause, 0x04, StatusFact::CoverOpen, StatusFact::CoverClosed},
    StatusBit{StatusRequest::OfflineCause, 0x08, StatusFact::PaperBeingFed, {}},
    StatusBit{StatusRequest::OfflineCause, 0x20, StatusFact::PaperOut, {}},  // stopped at paper end
    StatusBit{StatusRequest::OfflineCause, 0x40, StatusFact::UnspecifiedError, {}},
    // DLE EOT 3: error cause. Bit 2 is undefined in most references.
    StatusBit{StatusRequest::ErrorCause, 0x08, StatusFact::CutterError, {}},
    StatusBit{StatusRequest::ErrorCause, 0x20, StatusFact::UnrecoverableError, {}},
    StatusBit{StatusRequest::ErrorCause, 0x40, StatusFact::RecoverableError, {}},  // recovers by itself
    // DLE EOT 4: roll paper sensors. Near end is bits 2-3 (one per sensor on printers with
    // two); paper end is bits 5-6, of which bit 6 means the presenter on some printers, so
    // only bit 5 is read.
    StatusBit{StatusRequest::PaperSensor, 0x0C, StatusFact::PaperNearEnd, {}},
    StatusBit{StatusRequest::PaperSensor, 0x20, StatusFact::PaperOut, StatusFact::PaperPresent},
};

// A fact left out when another is there: it would only contradict or repeat it.
struct Moot {
  StatusFact fact;
  StatusFact because;
};

constexpr std::array kMoot = {
    Moot{StatusFact::PaperPresent, StatusFact::PaperOut},
    Moot{StatusFact::PaperPresent, StatusFact::PaperNearEnd},
    Moot{StatusFact::PaperNearEnd, StatusFact::PaperOut},
    Moot{StatusFact::UnspecifiedError, StatusFact::CutterError},
    Moot{StatusFact::UnspecifiedError, StatusFact::UnrecoverableError},
    Moot{StatusFact::UnspecifiedError, StatusFact::RecoverableError},
};

constexpr std::array kProblems = {
    StatusFact::Offline,         StatusFact::WaitingForOnlineRecovery,
    StatusFact::CoverOpen,       StatusFact::PaperOut,
    StatusFact::CutterError,     StatusFact::UnrecoverableError,
    StatusFact::RecoverableError, StatusFact::UnspecifiedError,
};

std::optional<std::uint8_t> AnswerTo(const StatusAnswers& answers, StatusRequest request) {
  switch (request) {
    case StatusRequest::Printer: return answers.printer;
    case StatusRequest::OfflineCause: return answers.offlineCause;
    case StatusRequest::ErrorCause: return answers.errorCause;
    case StatusRequest::PaperSensor: return answers.paperSensor;
  }
  return std::nullopt;
}

bool Contains(const std::vector<StatusFact>& facts, StatusFact fact) {
  return std::find(facts.begin(), facts.end(), fact) != facts.end();
}

struct TypeBit {
  std::uint8_t bit;
  TypeFeature feature;
};

// GS I 2: bit 0 multi-byte character codes, bit 1 autocutter, bit 2 customer display.
constexpr std::array kTypeBits = {
    TypeBit{0x01, TypeFeature::MultiByteCharacters},
    TypeBit{0x02, TypeFeature::Autocutter},
    TypeBit{0x04, TypeFeature::CustomerDisplay},
};

}  // namespace

std::vector<StatusFact> DecodeStatus(const StatusAnswers& answers) {
  std::vector<StatusFact> found;
  for (const StatusBit& row : kStatusBits) {
    const auto answer = AnswerTo(answers, row.request);
    if (!answer) continue;
    const auto fact = (*answer & row.mask) != 0 ? row.whenSet : row.whenClear;
    if (fact && !Contains(found, *fact)) found.push_back(*fact);
  }
  std::vector<StatusFact> shown;
  for (const StatusFact fact : found) {
    const bool moot = std::any_of(kMoot.begin(), kMoot.end(), [&](const Moot& m) {
      return m.fact == fact && Contains(found, m.because);
    });
    if (!moot) shown.push_back(fact);
  }
  std::sort(shown.begin(), shown.end());
  return shown;
}

bool IsProblem(StatusFact fact) {
  return std::find(kProblems.begin(), kProblems.end(), fact) != kProblems.end();
}

bool IsReady(const StatusAnswers& answers) {
  if (!UnknownStates(answers).empty()) return false;
  const auto facts = DecodeStatus(answers);
  return std::none_of(facts.begin(), facts.end(), IsProblem);
}

std::vector<StatusRequest> UnknownStates(const StatusAnswers& answers) {
  std::vector<StatusRequest> unknown;
  for (const StatusRequest request :
       {StatusRequest::Printer, StatusRequest::OfflineCause, StatusRequest::ErrorCause,
        StatusRequest::PaperSensor})
    if (!AnswerTo(answers, request)) unknown.push_back(request);
  return unknown;
}

bool AnswersText(IdentityRequest request) {
  return static_cast<std::uint8_t>(request) >= 65;
}

std::vector<TypeFeature> DecodeType(std::uint8_t typeId) {
  std::vector<TypeFeature> features;
  for (const TypeBit& row : kTypeBits)
    if ((typeId & row.bit) != 0) features.push_back(row.feature);
  return features;
}

}  // namespace qrticket
