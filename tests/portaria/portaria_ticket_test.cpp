// A ticket's settings judged against the rule as the window and `qrticket --portaria` judge them:
// the message the symbol holds and the symbol the printer draws, at a density.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "portaria/portaria_texts.h"
#include "portaria/portaria_ticket.h"
#include "portaria_examples.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::portaria {
namespace {

struct TicketRow {
  const char* name;
  std::string text;
  const char* moduleSize;
  std::int16_t level;  // list index: 0 L, 1 M, 2 Q, 3 H
  int dpi;
  Verdict verdict;
  std::vector<Point> points;
};
void PrintTo(const TicketRow& row, std::ostream* out) { *out << row.name; }

class PortariaTicket : public ::testing::TestWithParam<TicketRow> {};

TEST_P(PortariaTicket, JudgesMessageAndSymbol) {
  const TicketRow& row = GetParam();
  QrPrintSettings settings;
  settings.dataText = row.text;
  settings.moduleSizeText = row.moduleSize;
  settings.errorLevelIndex = row.level;
  const auto findings = CheckTicket(settings.dataText, SymbolFactsFor(settings), row.dpi);
  ASSERT_TRUE(findings);
  std::vector<Point> points;
  for (const Finding& f : *findings) points.push_back(f.point);
  EXPECT_EQ(points, row.points) << PortariaReport(*findings);
  EXPECT_EQ(VerdictOf(*findings), row.verdict);
}

const std::string kExample2(testing::kSimplifiedInvoice);
const std::string kExample1(testing::kInvoiceThreeRegions);

INSTANTIATE_TEST_SUITE_P(
    Rows, PortariaTicket,
    ::testing::Values(
        // The window's default: 140 bytes print as version 8, 6-dot modules (36.8 mm).
        TicketRow{"DefaultText", kSampleDataText, "6", 1, 203, Verdict::kFails,
                  {Point::kAtcudNoHyphen, Point::kSymbolVersion}},
        // The printer picks version 8 for 141 bytes at level M: a warning only.
        TicketRow{"Example2Modules5At203", kExample2, "5", 1, 203, Verdict::kMeetsWithWarnings,
                  {Point::kSymbolVersion}},
        TicketRow{"Example2Modules4At203", kExample2, "4", 1, 203, Verdict::kFails,
                  {Point::kSymbolVersion, Point::kSymbolWidth}},
        TicketRow{"Example2Modules4At180", kExample2, "4", 1, 180, Verdict::kFails,
                  {Point::kSymbolVersion, Point::kSymbolWidth}},
        TicketRow{"Example2Modules6At300", kExample2, "6", 1, 300, Verdict::kFails,
                  {Point::kSymbolVersion, Point::kSymbolWidth}},
        TicketRow{"Example2LevelL", kExample2, "6", 0, 203, Verdict::kFails,
                  {Point::kSymbolLevel, Point::kSymbolVersion}},
        // 452 bytes: version 17 at level M; 85 modules of 2 dots are 21.2 mm, of 3 are 31.8.
        TicketRow{"Example1Modules2At203", kExample1, "2", 1, 203, Verdict::kFails,
                  {Point::kSymbolWidth}},
        TicketRow{"Example1Modules3At203", kExample1, "3", 1, 203, Verdict::kMeets, {}},
        TicketRow{"TooLongForTheLevel", kExample1 + std::string(2000, 'x'), "4", 3, 203,
                  Verdict::kFails, {Point::kTooLong, Point::kNoSymbol}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortariaTicket, OnlyInvoiceCodesAreJudged) {
  QrPrintSettings settings;
  settings.dataText = "https://example.pt";
  settings.moduleSizeText = "6";
  EXPECT_FALSE(CheckTicket(settings.dataText, SymbolFactsFor(settings), 203));
}

}  // namespace
}  // namespace qrticket::portaria
