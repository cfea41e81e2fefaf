// The forms a field's value may take: money, dates, NIFs and the SAF-T (PT) lists. Each answers
// yes or no for Windows-1252 bytes; none throws.
#pragma once

#include <optional>
#include <string_view>

namespace qrticket::portaria {

// "." as decimal separator, exactly two decimals, digits only before it: "1234.50".
bool IsMoney(std::string_view value);
// The amount in cents, when IsMoney.
std::optional<long long> MoneyCents(std::string_view value);

// YYYYMMDD naming a day that exists (leap years counted).
bool IsRealDate(std::string_view value);

// Nine digits whose last is the mod-11 check digit of the first eight.
bool IsNif(std::string_view value);

// ISO 3166-1 alpha-2, or "Desconhecido" (SAF-T (PT) Country).
bool IsCountry(std::string_view value);

// SAF-T (PT) document types and statuses across invoices, goods movements, working documents
// and receipts.
bool IsDocumentType(std::string_view value);
bool IsDocumentStatus(std::string_view value);

// SAF-T (PT) document id: type, one space, series, "/", number ("FT AB2019/0035"). The type is
// what comes before the space.
bool IsDocumentId(std::string_view value);
std::string_view DocumentIdType(std::string_view value);

// ATCUD: validation code of 8 or more letters and digits, "-", sequential number; or "0".
bool IsAtcud(std::string_view value);
// Letters and digits only, long enough to be a validation code followed by its number.
bool IsAtcudWithoutHyphen(std::string_view value);

// SAF-T (PT) TaxCountryRegion: PT, PT-AC (Azores), PT-MA (Madeira).
bool IsTaxRegion(std::string_view value);

bool IsDigits(std::string_view value);

}  // namespace qrticket::portaria
