// The printed symbol against the rule: the level, the version and the width in millimetres at
// the printer's density, with rows on both sides of 30 mm at 180, 203 and 300 dpi.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "portaria/portaria_symbol.h"
#include "portaria/portaria_texts.h"

namespace qrticket::portaria {
namespace {

struct WidthRow {
  const char* name;
  int dots;
  int dpi;
  bool under;
  const char* millimetres;
};
void PrintTo(const WidthRow& row, std::ostream* out) { *out << row.name; }

class PortariaSymbolWidth : public ::testing::TestWithParam<WidthRow> {};

TEST_P(PortariaSymbolWidth, IsJudgedAt30Millimetres) {
  const WidthRow& row = GetParam();
  const Findings findings = CheckSymbol({'M', 9, false, row.dots, row.dpi});
  EXPECT_EQ(UnderMinimumWidth(row.dots, row.dpi), row.under);
  EXPECT_EQ(MillimetresAt(row.dots, row.dpi), row.millimetres);
  if (row.under) {
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].point, Point::kSymbolWidth);
    EXPECT_EQ(findings[0].weight, Weight::kFails);
  } else {
    EXPECT_TRUE(findings.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PortariaSymbolWidth,
    ::testing::Values(
        // 30 mm is 239.8 dots at 203 dpi, 212.6 at 180 and 354.3 at 300.
        WidthRow{"At203Widest_under", 239, 203, true, "29,9"},
        WidthRow{"At203Narrowest_over", 240, 203, false, "30,0"},
        WidthRow{"At180Widest_under", 212, 180, true, "29,9"},
        WidthRow{"At180Narrowest_over", 213, 180, false, "30,0"},
        WidthRow{"At300Widest_under", 354, 300, true, "29,9"},
        WidthRow{"At300Narrowest_over", 355, 300, false, "30,0"},
        // Version 9 (53 modules): 4-dot modules at 203 dpi, the mistake a new user makes.
        WidthRow{"Version9Modules4At203", 53 * 4, 203, true, "26,5"},
        WidthRow{"Version9Modules5At203", 53 * 5, 203, false, "33,1"},
        WidthRow{"Version9Modules5At180", 53 * 5, 180, false, "37,3"},
        WidthRow{"Version9Modules6At300", 53 * 6, 300, true, "26,9"},
        WidthRow{"Version9Modules7At300", 53 * 7, 300, false, "31,4"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortariaSymbol, OnlyLevelMMeetsTheRule) {
  for (char level : {'L', 'Q', 'H'}) {
    const Findings findings = CheckSymbol({level, 9, false, 318, 203});
    ASSERT_EQ(findings.size(), 1u) << level;
    EXPECT_EQ(findings[0].point, Point::kSymbolLevel);
    EXPECT_EQ(FindingLine(findings[0]),
              std::string("Símbolo: nível ") + level + "; a portaria pede o nível M (não cumpre)");
  }
  EXPECT_TRUE(CheckSymbol({'M', 9, false, 318, 203}).empty());
}

TEST(PortariaSymbol, BelowVersion9IsAWarning) {
  const Findings findings = CheckSymbol({'M', 8, false, 294, 203});
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].point, Point::kSymbolVersion);
  EXPECT_EQ(VerdictOf(findings), Verdict::kMeetsWithWarnings);
  EXPECT_TRUE(CheckSymbol({'M', 9, false, 318, 203}).empty());
  EXPECT_EQ(CheckSymbol({'M', 4, true, 318, 203}).size(), 1u);  // Micro QR M4
}

TEST(PortariaSymbol, TheWidthNamesTheDensity) {
  const Findings findings = CheckSymbol({'M', 9, false, 212, 203});
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(FindingLine(findings[0]),
            "Símbolo: 26,5 mm de largura a 203 ppp; a portaria pede pelo menos 30 mm "
            "(não cumpre)");
}

TEST(PortariaSymbol, KnownDensities) {
  for (int dpi : {180, 203, 300}) EXPECT_TRUE(IsKnownDpi(dpi));
  for (int dpi : {0, 200, 600}) EXPECT_FALSE(IsKnownDpi(dpi));
}

}  // namespace
}  // namespace qrticket::portaria
