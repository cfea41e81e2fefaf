// The message checker: one pass over the fields in their order, then what needs several fields
// (mandatory fields, the regions' blocks, the buyer's NIF, G against D, the sums).
#include "portaria/portaria_check.h"

#include <array>
#include <optional>
#include <string>

#include "portaria/portaria_fields.h"
#include "portaria/portaria_formats.h"
#include "portaria/portaria_message.h"

namespace qrticket::portaria {
namespace {

constexpr std::size_t kFieldCount = 40;

class Checker {
 public:
  explicit Checker(Findings& out) : out_(out) {}

  void Read(std::string_view text) {
    const std::vector<MessageField> fields = SplitMessage(text);
    std::string_view previous = "A";
    int highestRank = -1;
    for (const MessageField& field : fields) {
      if (!field.hasColon) {
        // A "*" inside S cuts it: the rest stands as a piece without a code.
        if (previous == "S" && Has("S"))
          Add("S", Point::kOtherStar);
        else
          Add(std::string(previous), Point::kNoColon);
        continue;
      }
      previous = field.code;
      if (field.spaced) Add(std::string(field.code), Point::kSpaces);
      const int rank = RankOf(field.code);
      if (rank < 0) {
        Add(std::string(field.code), Point::kUnknownCode);
        continue;
      }
      if (seen_[rank]) {
        Add(std::string(field.code), Point::kRepeated);
        continue;
      }
      seen_[rank] = true;
      if (rank < highestRank)
        Add(std::string(field.code), Point::kOutOfOrder,
            std::string(FieldRules()[highestRank].code));
      highestRank = std::max(highestRank, rank);
      Value(FieldRules()[rank], field.value);
    }
  }

  void Afterwards() {
    for (std::size_t i = 0; i < FieldRules().size(); ++i)
      if (FieldRules()[i].mandatory && !seen_[i])
        Add(std::string(FieldRules()[i].code), Point::kMissing);
    BuyerNif();
    DocumentIdType();
    Regions();
    Sums();
  }

 private:
  void Add(std::string subject, Point point, std::string detail = {}, long long first = 0,
           long long second = 0, Weight weight = Weight::kFails) {
    out_.push_back(Finding{std::move(subject), point, weight, std::move(detail), first, second});
  }

  bool Has(std::string_view code) const { return seen_[RankOf(code)]; }
  // The value of a field that was read and judged well formed.
  std::optional<std::string_view> Good(std::string_view code) const {
    return good_[RankOf(code)];
  }

  void Value(const FieldRule& rule, std::string_view value) {
    const std::string code(rule.code);
    if (value.empty()) return Add(code, Point::kEmpty);
    if (static_cast<int>(value.size()) > rule.maxLength)
      return Add(code, Point::kTooLong, {}, rule.maxLength, static_cast<long long>(value.size()));
    const std::optional<Point> broken = Form(rule, value);
    if (broken)
      Add(code, *broken);
    else
      good_[RankOf(rule.code)] = value;
  }

  // The point a value breaks, judged on its own.
  static std::optional<Point> Form(const FieldRule& rule, std::string_view value) {
    switch (rule.form) {
      case ValueForm::kIssuerNif:
        if (!IsNif(value)) return Point::kIssuerNif;
        break;
      case ValueForm::kBuyerNif: break;  // depends on C: see BuyerNif
      case ValueForm::kCountry:
        if (!IsCountry(value)) return Point::kCountry;
        break;
      case ValueForm::kDocumentType:
        if (!IsDocumentType(value)) return Point::kDocumentType;
        break;
      case ValueForm::kStatus:
        if (!IsDocumentStatus(value)) return Point::kDocumentStatus;
        break;
      case ValueForm::kDate:
        if (!IsRealDate(value)) return Point::kDate;
        break;
      case ValueForm::kDocumentId:
        if (!IsDocumentId(value)) return Point::kDocumentIdForm;
        break;
      case ValueForm::kAtcud:
        if (IsAtcudWithoutHyphen(value)) return Point::kAtcudNoHyphen;
        if (!IsAtcud(value)) return Point::kAtcudForm;
        break;
      case ValueForm::kRegion:
        // Only I1 may be "0": a document without a VAT rate.
        if (!IsTaxRegion(value) && !(rule.code == "I1" && value == "0")) return Point::kRegion;
        break;
      case ValueForm::kMoney:
        if (!IsMoney(value)) return Point::kMoney;
        break;
      case ValueForm::kHash:
        if (value.size() != 4) return Point::kHashLength;
        break;
      case ValueForm::kCertificate:
        if (!IsDigits(value)) return Point::kCertificate;
        break;
      case ValueForm::kOther:
        if (value.front() == ';' || value.back() == ';' ||
            value.find(";;") != std::string_view::npos)
          return Point::kOtherItems;
        break;
    }
    return std::nullopt;
  }

  // A Portuguese buyer's NIF has its check digit; 999999990 is the final consumer's.
  void BuyerNif() {
    const auto buyer = Good("B");
    const auto country = Good("C");
    if (buyer && country && *country == "PT" && !IsNif(*buyer)) Add("B", Point::kBuyerNif);
  }

  void DocumentIdType() {
    const auto id = Good("G");
    const auto type = Good("D");
    if (id && type && portaria::DocumentIdType(*id) != *type) Add("G", Point::kDocumentIdType);
  }

  void Regions() {
    // A missing I1 is named as a missing mandatory field already.
    constexpr std::array<std::string_view, 2> kBlocks{"J", "K"};
    for (std::string_view block : kBlocks) {
      const std::string region = std::string(block) + "1";
      if (Has(region)) continue;
      for (char n = '2'; n <= '8'; ++n) {
        const std::string code = std::string(block) + n;
        if (Has(code)) {
          Add(code, Point::kBlockWithoutRegion, region);
          break;
        }
      }
    }
    if (Has("K1") && !Has("J1")) Add("K1", Point::kThirdWithoutSecond);
    const auto i1 = Good("I1"), j1 = Good("J1"), k1 = Good("K1");
    if (i1 && *i1 == "0") {
      bool amounts = Has("J1") || Has("K1");
      for (char n = '2'; n <= '8'; ++n) amounts = amounts || Has(std::string("I") + n);
      if (amounts) Add("I1", Point::kRegionZero);
    }
    if (j1 && i1 && *j1 == *i1) Add("J1", Point::kRegionRepeated, "I1");
    if (k1 && i1 && *k1 == *i1) Add("K1", Point::kRegionRepeated, "I1");
    else if (k1 && j1 && *k1 == *j1) Add("K1", Point::kRegionRepeated, "J1");
  }

  // The sum of the money fields named, or nothing when one of them is present but malformed.
  std::optional<long long> Sum(std::initializer_list<std::string_view> codes) const {
    long long sum = 0;
    for (std::string_view code : codes) {
      if (!Has(code)) continue;
      const auto value = Good(code);
      if (!value) return std::nullopt;
      sum += *MoneyCents(*value);
    }
    return sum;
  }

  void CompareSum(std::string_view code, Point point, std::optional<long long> sum) {
    const auto value = Good(code);
    if (!value || !sum) return;
    const long long stated = *MoneyCents(*value);
    if (stated != *sum) Add(std::string(code), point, {}, stated, *sum, Weight::kWarning);
  }

  // N: VAT of every region and stamp duty; O: every base, the untaxed amount and N.
  void Sums() {
    CompareSum("N", Point::kTaxSum,
               Sum({"I4", "I6", "I8", "J4", "J6", "J8", "K4", "K6", "K8", "M"}));
    if (!Good("N")) return;  // O's sum takes N in
    const auto bases = Sum({"I2", "I3", "I5", "I7", "J2", "J3", "J5", "J7", "K2", "K3", "K5",
                            "K7", "L", "N"});
    CompareSum("O", Point::kTotalSum, bases);
  }

  Findings& out_;
  std::array<bool, kFieldCount> seen_{};
  std::array<std::optional<std::string_view>, kFieldCount> good_{};
};

}  // namespace

Findings CheckMessage(std::string_view text) {
  Findings findings;
  Checker checker(findings);
  checker.Read(text);
  checker.Afterwards();
  return findings;
}

Verdict VerdictOf(const Findings& findings) {
  Verdict verdict = Verdict::kMeets;
  for (const Finding& f : findings) {
    if (f.weight == Weight::kFails) return Verdict::kFails;
    verdict = Verdict::kMeetsWithWarnings;
  }
  return verdict;
}

bool IsInvoiceCode(std::string_view text) { return text.starts_with("A:"); }

}  // namespace qrticket::portaria
