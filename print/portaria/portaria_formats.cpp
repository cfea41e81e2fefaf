// Value forms of the invoice QR code. The lists are SAF-T (PT)'s; the NIF's check digit is the
// NIF's own rule, which the QR rule does not restate.
#include "portaria/portaria_formats.h"

#include <algorithm>
#include <array>

namespace qrticket::portaria {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsUpperOrDigit(char c) { return IsUpper(c) || IsDigit(c); }

// ISO 3166-1 alpha-2, two letters per entry.
constexpr std::string_view kCountries =
    "ADAEAFAGAIALAMAOAQARASATAUAWAXAZ"
    "BABBBDBEBFBGBHBIBJBLBMBNBOBQBRBSBTBVBWBYBZ"
    "CACCCDCFCGCHCICKCLCMCNCOCRCUCVCWCXCYCZ"
    "DEDJDKDMDODZ"
    "ECEEEGEHERESET"
    "FIFJFKFMFOFR"
    "GAGBGDGEGFGGGHGIGLGMGNGPGQGRGSGTGUGWGY"
    "HKHMHNHRHTHU"
    "IDIEILIMINIOIQIRISIT"
    "JEJMJOJP"
    "KEKGKHKIKMKNKPKRKWKYKZ"
    "LALBLCLILKLRLSLTLULVLY"
    "MAMCMDMEMFMGMHMKMLMMMNMOMPMQMRMSMTMUMVMWMXMYMZ"
    "NANCNENFNGNINLNONPNRNUNZ"
    "OM"
    "PAPEPFPGPHPKPLPMPNPRPSPTPWPY"
    "QA"
    "RERORSRURW"
    "SASBSCSDSESGSHSISJSKSLSMSNSOSRSSSTSVSXSYSZ"
    "TCTDTFTGTHTJTKTLTMTNTOTRTTTVTWTZ"
    "UAUGUMUSUYUZ"
    "VAVCVEVGVIVNVU"
    "WFWS"
    "YEYT"
    "ZAZMZW";

// Invoices (FT FS FR ND NC), goods movements (GR GT GA GC GD), working documents (CM CC FC FO
// NE OU OR PF DC RP RE CS LD RA) and receipts (RC RG).
constexpr std::array<std::string_view, 26> kDocumentTypes{
    "FT", "FS", "FR", "ND", "NC", "GR", "GT", "GA", "GC", "GD", "CM", "CC", "FC",
    "FO", "NE", "OU", "OR", "PF", "DC", "RP", "RE", "CS", "LD", "RA", "RC", "RG"};

// N normal, S self-billed, A cancelled, R summary, F invoiced, T on behalf of third parties.
constexpr std::string_view kStatuses = "NSARFT";

}  // namespace

bool IsDigits(std::string_view value) {
  return !value.empty() && std::all_of(value.begin(), value.end(), IsDigit);
}

bool IsMoney(std::string_view value) {
  const auto dot = value.find('.');
  return dot != std::string_view::npos && dot > 0 && IsDigits(value.substr(0, dot)) &&
         value.size() - dot == 3 && IsDigits(value.substr(dot + 1));
}

std::optional<long long> MoneyCents(std::string_view value) {
  if (!IsMoney(value) || value.size() > 18) return std::nullopt;
  long long cents = 0;
  for (char c : value)
    if (c != '.') cents = cents * 10 + (c - '0');
  return cents;
}

bool IsRealDate(std::string_view value) {
  if (value.size() != 8 || !IsDigits(value)) return false;
  auto number = [&](std::size_t from, std::size_t count) {
    int n = 0;
    for (std::size_t i = from; i < from + count; ++i) n = n * 10 + (value[i] - '0');
    return n;
  };
  const int year = number(0, 4), month = number(4, 2), day = number(6, 2);
  if (year == 0 || month < 1 || month > 12 || day < 1) return false;
  constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool IsNif(std::string_view value) {
  if (value.size() != 9 || !IsDigits(value)) return false;
  int sum = 0;
  for (int i = 0; i < 8; ++i) sum += (value[i] - '0') * (9 - i);
  const int rest = sum % 11;
  const int check = rest < 2 ? 0 : 11 - rest;
  return value[8] - '0' == check;
}

bool IsCountry(std::string_view value) {
  if (value == "Desconhecido") return true;
  if (value.size() != 2 || !IsUpper(value[0]) || !IsUpper(value[1])) return false;
  for (std::size_t i = 0; i < kCountries.size(); i += 2)
    if (kCountries.substr(i, 2) == value) return true;
  return false;
}

bool IsDocumentType(std::string_view value) {
  return std::find(kDocumentTypes.begin(), kDocumentTypes.end(), value) != kDocumentTypes.end();
}

bool IsDocumentStatus(std::string_view value) {
  return value.size() == 1 && kStatuses.find(value[0]) != std::string_view::npos;
}

std::string_view DocumentIdType(std::string_view value) {
  return value.substr(0, value.find(' '));
}

bool IsDocumentId(std::string_view value) {
  const auto space = value.find(' ');
  if (space == std::string_view::npos || space == 0) return false;
  const std::string_view rest = value.substr(space + 1);
  const auto slash = rest.find('/');
  if (slash == std::string_view::npos || slash == 0) return false;
  const std::string_view series = rest.substr(0, slash);
  if (series.find(' ') != std::string_view::npos) return false;
  return IsDigits(rest.substr(slash + 1));
}

bool IsAtcud(std::string_view value) {
  if (value == "0") return true;
  const auto hyphen = value.find('-');
  if (hyphen == std::string_view::npos || hyphen < 8) return false;
  const std::string_view code = value.substr(0, hyphen);
  return std::all_of(code.begin(), code.end(), IsUpperOrDigit) &&
         IsDigits(value.substr(hyphen + 1));
}

bool IsAtcudWithoutHyphen(std::string_view value) {
  return value.size() > 8 && std::all_of(value.begin(), value.end(), IsUpperOrDigit);
}

bool IsTaxRegion(std::string_view value) {
  return value == "PT" || value == "PT-AC" || value == "PT-MA";
}

}  // namespace qrticket::portaria
