// The field table of the invoice QR code (max lengths and mandatory fields from the rule).
#include "portaria/portaria_fields.h"

#include <array>

namespace qrticket::portaria {
namespace {

using F = ValueForm;

constexpr std::array kRules{
    FieldRule{"A", 9, true, F::kIssuerNif},
    FieldRule{"B", 30, true, F::kBuyerNif},
    FieldRule{"C", 12, true, F::kCountry},
    FieldRule{"D", 2, true, F::kDocumentType},
    FieldRule{"E", 1, true, F::kStatus},
    FieldRule{"F", 8, true, F::kDate},
    FieldRule{"G", 60, true, F::kDocumentId},
    FieldRule{"H", 70, true, F::kAtcud},
    FieldRule{"I1", 5, true, F::kRegion},
    FieldRule{"I2", 16, false, F::kMoney},
    FieldRule{"I3", 16, false, F::kMoney},
    FieldRule{"I4", 16, false, F::kMoney},
    FieldRule{"I5", 16, false, F::kMoney},
    FieldRule{"I6", 16, false, F::kMoney},
    FieldRule{"I7", 16, false, F::kMoney},
    FieldRule{"I8", 16, false, F::kMoney},
    FieldRule{"J1", 5, false, F::kRegion},
    FieldRule{"J2", 16, false, F::kMoney},
    FieldRule{"J3", 16, false, F::kMoney},
    FieldRule{"J4", 16, false, F::kMoney},
    FieldRule{"J5", 16, false, F::kMoney},
    FieldRule{"J6", 16, false, F::kMoney},
    FieldRule{"J7", 16, false, F::kMoney},
    FieldRule{"J8", 16, false, F::kMoney},
    FieldRule{"K1", 5, false, F::kRegion},
    FieldRule{"K2", 16, false, F::kMoney},
    FieldRule{"K3", 16, false, F::kMoney},
    FieldRule{"K4", 16, false, F::kMoney},
    FieldRule{"K5", 16, false, F::kMoney},
    FieldRule{"K6", 16, false, F::kMoney},
    FieldRule{"K7", 16, false, F::kMoney},
    FieldRule{"K8", 16, false, F::kMoney},
    FieldRule{"L", 16, false, F::kMoney},
    FieldRule{"M", 16, false, F::kMoney},
    FieldRule{"N", 16, true, F::kMoney},
    FieldRule{"O", 16, true, F::kMoney},
    FieldRule{"P", 16, false, F::kMoney},
    FieldRule{"Q", 4, true, F::kHash},
    FieldRule{"R", 4, true, F::kCertificate},
    FieldRule{"S", 65, false, F::kOther},
};

}  // namespace

std::span<const FieldRule> FieldRules() { return kRules; }

int RankOf(std::string_view code) {
  for (std::size_t i = 0; i < kRules.size(); ++i)
    if (kRules[i].code == code) return static_cast<int>(i);
  return -1;
}

}  // namespace qrticket::portaria
