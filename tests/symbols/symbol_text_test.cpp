// The Portuguese wording of the facts: numbers as a Portuguese reader writes them, control
// characters made visible, and the report's lines for each dialect.
#include <gtest/gtest.h>

#include "symbols/symbol_facts.h"
#include "symbols/symbol_facts_text.h"
#include "ticket/ticket_defaults.h"

namespace qrticket {
namespace {

QrPrintSettings Settings(Bytes data, const char* size = "6", bool woosim = false) {
  QrPrintSettings s;
  s.dataText = std::move(data);
  s.moduleSizeText = size;
  s.woosimDialect = woosim;
  return s;
}

TEST(SymbolText, MillimetresAt203DotsPerInchWithAComma) {
  EXPECT_EQ(Millimetres(294), "36,8");
  EXPECT_EQ(Millimetres(576), "72,1");
  EXPECT_EQ(Millimetres(384), "48,0");
  EXPECT_EQ(Millimetres(8), "1,0");
  EXPECT_EQ(Millimetres(0), "0,0");
}

TEST(SymbolText, ReaderTextShowsControlsAndCuts) {
  EXPECT_EQ(VisibleReaderText("a\r\nb"), "a[0x0D][0x0A]b");
  EXPECT_EQ(VisibleReaderText("\xC2\x80x\xC2\x9F\xC2\xA0"), "[0x80]x[0x9F]\xC2\xA0");
  EXPECT_EQ(VisibleReaderText(std::string("\0\x7F", 2)), "[0x00][0x7F]");
  EXPECT_EQ(VisibleReaderText("ação", 2), "aç…");
  EXPECT_EQ(VisibleReaderText("ação", 4), "ação");
}

TEST(SymbolText, ReportOfTheDefaultTicket) {
  const std::string r = SymbolFactsReport(SymbolFactsFor(Settings(kSampleDataText)));
  for (const char* line :
       {"Comando: GS ( k, Modelo 2, nível M, módulo de 6 pontos\n", "Dados: 140 bytes\n",
        "Capacidade: o Modelo 2 de nível M leva até 2331 bytes\n",
        "Símbolo: versão 8, 49 × 49 módulos, 294 × 294 pontos (36,8 mm a 203 ppp)\n",
        "Papel de 80 mm (576 pontos): cabe\n", "Papel de 58 mm (384 pontos): cabe\n",
        "Um leitor comum mostra o texto tal como está\n",
        "Tamanhos de módulo aceites: 1 a 16 pontos"})
    EXPECT_NE(r.find(line), std::string::npos) << line << "\nin:\n" << r;
  EXPECT_NE(r.back(), '\n');
}

TEST(SymbolText, ReportOfAWoosimTicketSaysWhatTheFixedBytesDo) {
  const std::string r = SymbolFactsReport(SymbolFactsFor(Settings("\x80" "abc", "3", true)));
  EXPECT_NE(r.find("ESC Z (woosim) com parâmetros fixos"), std::string::npos) << r;
  EXPECT_NE(r.find("nível 0x0F (lido como L), módulo de 6 pontos"), std::string::npos) << r;
  EXPECT_NE(r.find("Dados: 7 bytes: o texto e mais CR LF e o \"S\""), std::string::npos) << r;
  // The reader shows the three bytes too.
  EXPECT_NE(r.find("mostra: «[0x80]abc[0x0D][0x0A]S»"), std::string::npos) << r;
}

TEST(SymbolText, VerdictSaysWhichCheckFailed) {
  EXPECT_EQ(CheckVerdict(SymbolFactsFor(Settings(kSampleDataText, "12"))),
            "O símbolo tem 588 pontos (73,6 mm): não cabe no papel de 80 mm (576 pontos)");
  // An ignored size is reported, but the symbol drawn at 3 dots fits.
  EXPECT_EQ(CheckVerdict(SymbolFactsFor(Settings(kSampleDataText, "0"))), "");
  EXPECT_EQ(CheckVerdict(SymbolFactsFor(Settings(""))),
            "Sem dados: a impressora não imprime nenhum símbolo");
}

}  // namespace
}  // namespace qrticket
