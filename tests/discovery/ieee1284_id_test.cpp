// IEEE 1284 device IDs as printers report them, and the name shown for each.
#include "devices/ieee1284_id.h"

#include <gtest/gtest.h>

namespace qrticket {
namespace {

struct IdRow {
  const char* name;
  std::string id;
  std::string make, model, commandSet;
  std::string shown;  // PrinterName
};

void PrintTo(const IdRow& row, std::ostream* out) { *out << row.name; }

class Ieee1284 : public ::testing::TestWithParam<IdRow> {};

TEST_P(Ieee1284, ReadsTheFieldsAndNamesThePrinter) {
  const IdRow& row = GetParam();
  const Ieee1284Id id = ParseIeee1284Id(row.id);
  EXPECT_EQ(id.make, row.make);
  EXPECT_EQ(id.model, row.model);
  EXPECT_EQ(id.commandSet, row.commandSet);
  EXPECT_EQ(PrinterName(id), row.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, Ieee1284,
    ::testing::Values(
        IdRow{"ShortKeys", "MFG:EPSON;CMD:ESC/POS,MLC;MDL:TM-T20II;CLS:PRINTER;", "EPSON",
              "TM-T20II", "ESC/POS,MLC", "EPSON TM-T20II"},
        IdRow{"LongKeysOneALine",
              "CLASS:PRINTER;\nMODEL:TM-U220;\nMANUFACTURER:EPSON;\n"
              "COMMAND SET:ESC/POS;\n",
              "EPSON", "TM-U220", "ESC/POS", "EPSON TM-U220"},
        IdRow{"KeysInAnyCaseAndSpaced", " mfg : Star ; mdl: TSP100 ;", "Star", "TSP100", "",
              "Star TSP100"},
        IdRow{"ModelAlreadyNamesTheMake", "MFG:HP;MDL:HP LaserJet 1020;", "HP", "HP LaserJet 1020",
              "", "HP LaserJet 1020"},
        IdRow{"MakeOnly", "MFG:Xprinter;", "Xprinter", "", "", "Xprinter"},
        IdRow{"DescriptionWhenNothingElse", "DES:Thermal Receipt Printer;", "", "", "",
              "Thermal Receipt Printer"},
        IdRow{"FirstValueWins", "MDL:A;MODEL:B;MDL:C;", "", "A", "", "A"},
        IdRow{"ColonInsideAValue", "MFG:ACME;MDL:X:1;", "ACME", "X:1", "", "ACME X:1"},
        IdRow{"PiecesWithoutColonSkipped", "garbage;MFG:ACME;;", "ACME", "", "", "ACME"},
        IdRow{"Empty", "", "", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket
