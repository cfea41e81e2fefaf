// The fields of the invoice QR code, in the order the rule fixes: their codes, maximum lengths,
// whether they are mandatory and what form their value takes.
#pragma once

#include <span>
#include <string_view>

namespace qrticket::portaria {

enum class ValueForm {
  kIssuerNif,     // A
  kBuyerNif,      // B
  kCountry,       // C
  kDocumentType,  // D
  kStatus,        // E
  kDate,          // F
  kDocumentId,    // G
  kAtcud,         // H
  kRegion,        // I1, J1, K1
  kMoney,         // I2..I8, J2..J8, K2..K8, L, M, N, O, P
  kHash,          // Q
  kCertificate,   // R
  kOther,         // S
};

struct FieldRule {
  std::string_view code;
  int maxLength;
  bool mandatory;
  ValueForm form;
};

// Every field in its order: a field's rank is its index here.
std::span<const FieldRule> FieldRules();

// The rank of `code` in FieldRules(), or -1 for a code the rule does not know.
int RankOf(std::string_view code);

}  // namespace qrticket::portaria
