// One thing the invoice QR code of Portaria 195/2020 does not do as the rule asks: the field (or
// the symbol) it is about, the point broken and how much it weighs. Sentences live in
// portaria_texts.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qrticket::portaria {

enum class Weight {
  kFails,    // "não cumpre"
  kWarning,  // "aviso"
};

// The points of the rule, one value each, so a test can name the one it breaks.
enum class Point {
  // the message's shape
  kNoColon,          // a piece between "*" without "code:"
  kUnknownCode,
  kRepeated,
  kOutOfOrder,
  kMissing,          // a mandatory field is absent
  kEmpty,
  kTooLong,
  kSpaces,           // a space beside ":" or "*"
  // the values' formats
  kMoney,
  kDate,
  kIssuerNif,        // A: nine digits with the NIF's check digit
  kBuyerNif,         // B, for a Portuguese buyer other than the final consumer
  kCountry,
  kDocumentType,
  kDocumentStatus,
  kDocumentIdForm,   // G: "type series/number"
  kDocumentIdType,   // G does not begin with D's type
  kAtcudForm,        // H: "code-number" or "0"
  kAtcudNoHyphen,    // H: the code and the number run together
  kRegion,
  kRegionZero,       // I1 "0" beside amounts of VAT in its block
  kBlockWithoutRegion,
  kRegionRepeated,
  kThirdWithoutSecond,
  kHashLength,       // Q
  kCertificate,      // R
  kOtherStar,        // S holds "*"
  kOtherItems,       // S has an empty item between ";"
  // sums, to the cent
  kTaxSum,           // N
  kTotalSum,         // O
  // the printed symbol
  kSymbolLevel,
  kSymbolVersion,
  kSymbolWidth,
  kNoSymbol,         // the printer draws no symbol at all
};

struct Finding {
  std::string subject;  // the field's code ("H", "I3") or "Símbolo"
  Point point = Point::kMissing;
  Weight weight = Weight::kFails;
  // Figures the sentence quotes: a maximum, a field's rank, sums in cents, a level letter, ...
  std::string detail;
  long long first = 0;
  long long second = 0;
};

using Findings = std::vector<Finding>;

enum class Verdict { kMeets, kMeetsWithWarnings, kFails };

Verdict VerdictOf(const Findings& findings);

// Invoice codes begin with the issuer's NIF; only those are judged against the rule.
bool IsInvoiceCode(std::string_view text);

}  // namespace qrticket::portaria
