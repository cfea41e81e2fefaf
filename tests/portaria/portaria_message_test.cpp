// The message checker against tables: the Authority's examples and other texts that meet the
// rule give nothing, and each row that breaks one point once gives that one finding.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "portaria/portaria_check.h"
#include "portaria/portaria_texts.h"
#include "portaria_examples.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::portaria {
namespace {

using testing::kSimplifiedInvoice;

// The simplified invoice with `from` replaced by `to` (which must occur once).
std::string Changed(std::string_view from, std::string_view to) {
  std::string text(kSimplifiedInvoice);
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string Describe(const Findings& findings) {
  std::string all;
  for (const Finding& f : findings) all += FindingLine(f) + "\n";
  return all;
}

TEST(PortariaMessage, TheAuthorityExamplesMeetTheRule) {
  for (std::string_view example : testing::kAuthorityExamples) {
    const Findings findings = CheckMessage(example);
    EXPECT_TRUE(findings.empty()) << example << "\n" << Describe(findings);
    EXPECT_EQ(VerdictOf(findings), Verdict::kMeets);
  }
}

TEST(PortariaMessage, TheExamplesAreTheLengthsTheAuthorityGives) {
  EXPECT_EQ(testing::kInvoiceThreeRegions.size(), 452u);
  EXPECT_EQ(testing::kSimplifiedInvoice.size(), 141u);
  EXPECT_EQ(testing::kProForma.size(), 209u);
  EXPECT_EQ(testing::kTransportDocument.size(), 116u);
}

struct MeetsRow {
  const char* name;
  std::string text;
};
void PrintTo(const MeetsRow& row, std::ostream* out) { *out << row.name; }

class PortariaMeets : public ::testing::TestWithParam<MeetsRow> {};

TEST_P(PortariaMeets, GivesNoFinding) {
  const Findings findings = CheckMessage(GetParam().text);
  EXPECT_TRUE(findings.empty()) << Describe(findings);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, PortariaMeets,
    ::testing::Values(
        MeetsRow{"AtcudZeroWhileTheSeriesHasNoCode", Changed("H:CDF7T5HD-12345", "H:0")},
        MeetsRow{"ForeignBuyerWithALongNumber",
                 Changed("B:999999990*C:PT", "B:ESB12345678*C:ES")},
        MeetsRow{"UnknownCountry", Changed("C:PT", "C:Desconhecido")},
        MeetsRow{"LeapDay", Changed("F:20190812", "F:20200229")},
        MeetsRow{"LongestOtherInformation",
                 Changed("S:NU;0.80", "S:NU;0.80;" + std::string(57, 'x'))},
        MeetsRow{"LongestDocumentId",
                 Changed("G:FS CDVF/12345", "G:FS CDVF/" + std::string(52, '1'))},
        MeetsRow{"OptionalFieldsLeftOut", Changed("*S:NU;0.80", "")},
        MeetsRow{"SecondRegionWithItsBlock",
                 Changed("I8:0.15*N:0.15*O:0.80", "I8:0.15*J1:PT-MA*J7:1.00*J8:0.22*N:0.37*O:2.02")},
        MeetsRow{"CertificateOfOneDigit", Changed("R:9999", "R:7")}),
    [](const auto& info) { return std::string(info.param.name); });

struct BrokenRow {
  const char* name;
  std::string text;
  const char* subject;
  Point point;
  Weight weight = Weight::kFails;
};
void PrintTo(const BrokenRow& row, std::ostream* out) { *out << row.name; }

class PortariaBroken : public ::testing::TestWithParam<BrokenRow> {};

TEST_P(PortariaBroken, GivesItsOneFinding) {
  const BrokenRow& row = GetParam();
  const Findings findings = CheckMessage(row.text);
  ASSERT_EQ(findings.size(), 1u) << row.text << "\n" << Describe(findings);
  EXPECT_EQ(findings[0].subject, row.subject) << Describe(findings);
  EXPECT_EQ(findings[0].point, row.point) << Describe(findings);
  EXPECT_EQ(findings[0].weight, row.weight);
  EXPECT_EQ(VerdictOf(findings),
            row.weight == Weight::kFails ? Verdict::kFails : Verdict::kMeetsWithWarnings);
}

constexpr Weight kWarning = Weight::kWarning;

INSTANTIATE_TEST_SUITE_P(
    Shape, PortariaBroken,
    ::testing::Values(
        BrokenRow{"PieceWithoutColon", Changed("Q:YhGV*", "Q:YhGV*YhGV*"), "Q", Point::kNoColon},
        BrokenRow{"StarAtTheEnd", std::string(kSimplifiedInvoice) + "*", "S", Point::kOtherStar},
        BrokenRow{"UnknownCode", Changed("R:9999*", "R:9999*T:1*"), "T", Point::kUnknownCode},
        BrokenRow{"LowerCaseCode", Changed("S:NU", "s:NU"), "s", Point::kUnknownCode},
        BrokenRow{"Repeated", Changed("E:N", "E:N*E:N"), "E", Point::kRepeated},
        BrokenRow{"TwoFieldsSwapped", Changed("B:999999990*C:PT", "C:PT*B:999999990"), "B",
                  Point::kOutOfOrder},
        BrokenRow{"EmptyOptional", Changed("*Q:", "*P:*Q:"), "P", Point::kEmpty},
        BrokenRow{"EmptyMandatory", Changed("Q:YhGV", "Q:"), "Q", Point::kEmpty},
        BrokenRow{"SpaceBeforeValue", Changed("D:FS", "D: FS"), "D", Point::kSpaces},
        BrokenRow{"SpaceAfterCode", Changed("E:N", "E :N"), "E", Point::kSpaces},
        BrokenRow{"SpaceBeforeStar", Changed("E:N*", "E:N *"), "E", Point::kSpaces},
        BrokenRow{"SpaceAfterStar", Changed("*F:", "* F:"), "F", Point::kSpaces}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Missing, PortariaBroken,
    ::testing::Values(
        BrokenRow{"A", Changed("A:123456789*", ""), "A", Point::kMissing},
        BrokenRow{"B", Changed("B:999999990*", ""), "B", Point::kMissing},
        BrokenRow{"C", Changed("C:PT*", ""), "C", Point::kMissing},
        BrokenRow{"D", Changed("D:FS*", ""), "D", Point::kMissing},
        BrokenRow{"E", Changed("E:N*", ""), "E", Point::kMissing},
        BrokenRow{"F", Changed("F:20190812*", ""), "F", Point::kMissing},
        BrokenRow{"G", Changed("G:FS CDVF/12345*", ""), "G", Point::kMissing},
        BrokenRow{"H", Changed("H:CDF7T5HD-12345*", ""), "H", Point::kMissing},
        BrokenRow{"I1", Changed("I1:PT*", ""), "I1", Point::kMissing},
        BrokenRow{"N", Changed("N:0.15*", ""), "N", Point::kMissing},
        BrokenRow{"O", Changed("O:0.80*", ""), "O", Point::kMissing},
        BrokenRow{"Q", Changed("Q:YhGV*", ""), "Q", Point::kMissing},
        BrokenRow{"R", Changed("R:9999*", ""), "R", Point::kMissing}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Lengths, PortariaBroken,
    ::testing::Values(
        BrokenRow{"IssuerNifWithCountryPrefix", Changed("A:123456789", "A:PT123456789"), "A",
                  Point::kTooLong},
        BrokenRow{"DocumentIdOneTooMany",
                  Changed("G:FS CDVF/12345", "G:FS CDVF/" + std::string(53, '1')), "G",
                  Point::kTooLong},
        BrokenRow{"OtherInformationOneTooMany",
                  Changed("S:NU;0.80", "S:NU;0.80;" + std::string(58, 'x')), "S",
                  Point::kTooLong},
        BrokenRow{"CertificateOfFiveDigits", Changed("R:9999", "R:99999"), "R", Point::kTooLong},
        BrokenRow{"AmountOfSeventeen", Changed("I7:0.65", "I7:00000000000000.65"), "I7",
                  Point::kTooLong}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Formats, PortariaBroken,
    ::testing::Values(
        BrokenRow{"CommaDecimal", Changed("I7:0.65", "I7:0,65"), "I7", Point::kMoney},
        BrokenRow{"NoDecimals", Changed("I8:0.15", "I8:1"), "I8", Point::kMoney},
        BrokenRow{"OneDecimal", Changed("I8:0.15", "I8:0.1"), "I8", Point::kMoney},
        BrokenRow{"ThousandsSeparator", Changed("I7:0.65", "I7:1,000.65"), "I7", Point::kMoney},
        BrokenRow{"NegativeAmount", Changed("I7:0.65", "I7:-0.65"), "I7", Point::kMoney},
        BrokenRow{"NoUnits", Changed("I7:0.65", "I7:.65"), "I7", Point::kMoney},
        BrokenRow{"NotADay", Changed("F:20190812", "F:20190230"), "F", Point::kDate},
        BrokenRow{"NotALeapYear", Changed("F:20190812", "F:19000229"), "F", Point::kDate},
        BrokenRow{"DateWithHyphens", Changed("F:20190812", "F:2019-8-1"), "F", Point::kDate},
        BrokenRow{"IssuerCheckDigit", Changed("A:123456789", "A:123456788"), "A",
                  Point::kIssuerNif},
        BrokenRow{"IssuerNifShort", Changed("A:123456789", "A:12345678"), "A", Point::kIssuerNif},
        BrokenRow{"BuyerCheckDigit", Changed("B:999999990", "B:123456788"), "B",
                  Point::kBuyerNif},
        BrokenRow{"CountryLowerCase", Changed("C:PT", "C:pt"), "C", Point::kCountry},
        BrokenRow{"CountryNotInTheList", Changed("C:PT", "C:XX"), "C", Point::kCountry},
        BrokenRow{"DocumentType", Changed("D:FS", "D:XX"), "D", Point::kDocumentType},
        BrokenRow{"DocumentStatus", Changed("E:N", "E:X"), "E", Point::kDocumentStatus},
        BrokenRow{"DocumentIdWithoutSpace", Changed("G:FS CDVF/12345", "G:FSCDVF/12345"), "G",
                  Point::kDocumentIdForm},
        BrokenRow{"DocumentIdWithoutSlash", Changed("G:FS CDVF/12345", "G:FS CDVF12345"), "G",
                  Point::kDocumentIdForm},
        BrokenRow{"DocumentIdOfAnotherType", Changed("G:FS CDVF/12345", "G:FT CDVF/12345"), "G",
                  Point::kDocumentIdType},
        BrokenRow{"AtcudWithoutHyphen", Changed("H:CDF7T5HD-12345", "H:CDF7T5HD12345"), "H",
                  Point::kAtcudNoHyphen},
        BrokenRow{"AtcudCodeTooShort", Changed("H:CDF7T5HD-12345", "H:CDF7T5H-12345"), "H",
                  Point::kAtcudForm},
        BrokenRow{"AtcudNumberNotDigits", Changed("H:CDF7T5HD-12345", "H:CDF7T5HD-123A5"), "H",
                  Point::kAtcudForm},
        BrokenRow{"Region", Changed("I1:PT", "I1:PT-XX"), "I1", Point::kRegion},
        BrokenRow{"HashShort", Changed("Q:YhGV", "Q:YhG"), "Q", Point::kHashLength},
        BrokenRow{"CertificateWithALetter", Changed("R:9999", "R:99A9"), "R",
                  Point::kCertificate},
        BrokenRow{"OtherInformationWithAStar", Changed("S:NU;0.80", "S:NU*0.80"), "S",
                  Point::kOtherStar},
        BrokenRow{"OtherInformationWithAnEmptyItem", Changed("S:NU;0.80", "S:NU;;0.80"), "S",
                  Point::kOtherItems}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Regions, PortariaBroken,
    ::testing::Values(
        BrokenRow{"ZeroWithAmounts", Changed("I1:PT", "I1:0"), "I1", Point::kRegionZero},
        BrokenRow{"SecondRegionZero", Changed("I8:0.15*", "I8:0.15*J1:0*"), "J1",
                  Point::kRegion},
        BrokenRow{"BlockWithoutRegion", Changed("I8:0.15*", "I8:0.15*J7:0.00*"), "J7",
                  Point::kBlockWithoutRegion},
        BrokenRow{"SameRegionTwice", Changed("I8:0.15*", "I8:0.15*J1:PT*"), "J1",
                  Point::kRegionRepeated},
        BrokenRow{"ThirdWithoutSecond", Changed("I8:0.15*", "I8:0.15*K1:PT-MA*"), "K1",
                  Point::kThirdWithoutSecond}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Sums, PortariaBroken,
    ::testing::Values(
        BrokenRow{"TaxesOneCentOff", Changed("N:0.15*O:0.80", "N:0.16*O:0.81"), "N",
                  Point::kTaxSum, kWarning},
        BrokenRow{"TotalOneCentOff", Changed("O:0.80", "O:0.81"), "O", Point::kTotalSum,
                  kWarning}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortariaMessage, TheDefaultTextIsNamedForItsAtcud) {
  const Findings findings = CheckMessage(kSampleDataText);
  EXPECT_EQ(PortariaReport(findings),
            "Portaria 195/2020: não cumpre\n"
            "H: ATCUD sem hífen entre o código de validação e o número sequencial "
            "(ex.: CDF7T5HD-12345) (não cumpre)");
}

TEST(PortariaMessage, SumsQuoteBothAmountsToTheCent) {
  const Findings findings = CheckMessage(Changed("O:0.80", "O:10.05"));
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(FindingLine(findings[0]),
            "O: 10.05 difere da soma das bases, de L e de N (0.80) (aviso)");
}

TEST(PortariaMessage, OnlyInvoiceCodesAreJudged) {
  EXPECT_TRUE(IsInvoiceCode(kSampleDataText));
  EXPECT_FALSE(IsInvoiceCode("https://example.pt"));
  EXPECT_FALSE(IsInvoiceCode("a:123456789"));
  EXPECT_FALSE(IsInvoiceCode(""));
}

TEST(PortariaMessage, AnyTextGivesFindingsWithoutFailing) {
  for (std::string_view text : {"", "*", "::", "A:*", "***", "A", ":A:B:"})
    EXPECT_EQ(VerdictOf(CheckMessage(text)), Verdict::kFails) << text;
}

}  // namespace
}  // namespace qrticket::portaria
