// Status bytes to facts to Portuguese lines: each bit of DLE EOT 1 to 4 on its own, the
// combinations printers really send, the fixed bits ignored, and what counts as ready.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "status/printer_status.h"
#include "status/status_texts.h"

namespace qrticket {
namespace {

struct StatusCase {
  const char* name;
  StatusAnswers answers;
  std::vector<std::string> lines;  // the decoded facts, in order
  bool ready;
};

std::vector<std::string> FactLines(const StatusAnswers& answers) {
  std::vector<std::string> lines;
  for (const StatusFact fact : DecodeStatus(answers)) lines.emplace_back(StatusFactText(fact));
  return lines;
}

class DecodeStatusTable : public ::testing::TestWithParam<StatusCase> {};

TEST_P(DecodeStatusTable, Lines) {
  const StatusCase& c = GetParam();
  EXPECT_EQ(FactLines(c.answers), c.lines);
  EXPECT_EQ(IsReady(c.answers), c.ready);
}

// Bits 1 and 4 are always on in an answer (0x12 is "nothing to report").
INSTANTIATE_TEST_SUITE_P(
    Bits, DecodeStatusTable,
    ::testing::Values(
        StatusCase{"AllClear", {0x12, 0x12, 0x12, 0x12},
                   {"em linha", "tampa fechada", "papel presente"}, true},
        StatusCase{"Offline", {0x1A, 0x12, 0x12, 0x12},
                   {"fora de linha", "tampa fechada", "papel presente"}, false},
        StatusCase{"WaitingForOnlineRecovery", {0x3A, 0x12, 0x12, 0x12},
                   {"fora de linha", "à espera de voltar a ficar em linha", "tampa fechada",
                    "papel presente"}, false},
        StatusCase{"FeedButtonPressed", {0x52, 0x12, 0x12, 0x12},
                   {"em linha", "botão de avanço do papel premido", "tampa fechada",
                    "papel presente"}, true},
        StatusCase{"CoverOpen", {0x1A, 0x16, 0x12, 0x12},
                   {"fora de linha", "tampa aberta", "papel presente"}, false},
        StatusCase{"PaperBeingFed", {0x12, 0x1A, 0x12, 0x12},
                   {"em linha", "tampa fechada", "papel presente", "papel a ser alimentado"},
                   true},
        StatusCase{"StoppedAtPaperEnd", {0x1A, 0x32, 0x12, 0x12},
                   {"fora de linha", "tampa fechada", "sem papel"}, false},
        StatusCase{"ErrorWithoutCause", {0x1A, 0x52, 0x12, 0x12},
                   {"fora de linha", "tampa fechada", "papel presente",
                    "erro (sem causa indicada)"}, false},
        StatusCase{"CutterError", {0x1A, 0x52, 0x1A, 0x12},
                   {"fora de linha", "tampa fechada", "papel presente", "erro do cortador"},
                   false},
        StatusCase{"UnrecoverableError", {0x1A, 0x52, 0x32, 0x12},
                   {"fora de linha", "tampa fechada", "papel presente", "erro irrecuperável"},
                   false},
        StatusCase{"AutoRecoverableError", {0x1A, 0x52, 0x52, 0x12},
                   {"fora de linha", "tampa fechada", "papel presente", "erro recuperável"},
                   false},
        StatusCase{"ErrorCauseBit2IsUndefined", {0x12, 0x12, 0x16, 0x12},
                   {"em linha", "tampa fechada", "papel presente"}, true},
        StatusCase{"NearEndBothBits", {0x12, 0x12, 0x12, 0x1E},
                   {"em linha", "tampa fechada", "papel a acabar"}, true},
        StatusCase{"NearEndSecondSensorOnly", {0x12, 0x12, 0x12, 0x1A},
                   {"em linha", "tampa fechada", "papel a acabar"}, true},
        StatusCase{"PaperEndSensor", {0x1A, 0x32, 0x12, 0x72},
                   {"fora de linha", "tampa fechada", "sem papel"}, false},
        StatusCase{"PaperOutBeatsNearEnd", {0x1A, 0x32, 0x12, 0x7E},
                   {"fora de linha", "tampa fechada", "sem papel"}, false},
        StatusCase{"PresenterBitAloneIsNotPaperOut", {0x12, 0x12, 0x12, 0x52},
                   {"em linha", "tampa fechada", "papel presente"}, true},
        StatusCase{"FixedBitsDoNotMatter", {0x00, 0x00, 0x00, 0x00},
                   {"em linha", "tampa fechada", "papel presente"}, true},
        StatusCase{"EverythingWrong", {0x7A, 0x7E, 0x7A, 0x7E},
                   {"fora de linha", "à espera de voltar a ficar em linha",
                    "botão de avanço do papel premido", "tampa aberta", "sem papel",
                    "papel a ser alimentado", "erro do cortador", "erro irrecuperável",
                    "erro recuperável"}, false},
        // On line, but paper, cover and errors unknown: not known to be ready.
        StatusCase{"OnlyTheFirstAnswer", {0x12, std::nullopt, std::nullopt, std::nullopt},
                   {"em linha"}, false},
        StatusCase{"AllButThePaperSensor", {0x12, 0x12, 0x12, std::nullopt},
                   {"em linha", "tampa fechada"}, false},
        StatusCase{"NoAnswerIsNotReady", {std::nullopt, 0x12, 0x12, 0x12},
                   {"tampa fechada", "papel presente"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProblemCauses, NamesEachProblemOnce) {
  EXPECT_EQ(ProblemCauses({0x1A, 0x36, 0x12, 0x72}), "fora de linha, tampa aberta, sem papel");
  EXPECT_EQ(ProblemCauses({0x12, 0x12, 0x12, 0x1E}), "")
      << "paper near end alone is no problem";
}

struct TypeCase {
  const char* name;
  std::uint8_t type;
  std::vector<TypeFeature> features;
};

class DecodeTypeTable : public ::testing::TestWithParam<TypeCase> {};

TEST_P(DecodeTypeTable, Features) { EXPECT_EQ(DecodeType(GetParam().type), GetParam().features); }

INSTANTIATE_TEST_SUITE_P(
    Bits, DecodeTypeTable,
    ::testing::Values(TypeCase{"None", 0x00, {}},
                      TypeCase{"Cutter", 0x02, {TypeFeature::Autocutter}},
                      TypeCase{"All", 0x07,
                               {TypeFeature::MultiByteCharacters, TypeFeature::Autocutter,
                                TypeFeature::CustomerDisplay}},
                      TypeCase{"ReservedBitsIgnored", 0x68, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusLines, IdentityThenFactsThenVerdict) {
  StatusReport report;
  report.status = {0x12, 0x12, 0x12, 0x1E};
  report.identity.maker = "ACME";
  report.identity.modelName = std::string("TM\x01" "80\xE9", 6);
  report.identity.typeId = 0x02;
  report.unanswered = {"GS I 68"};
  report.unaskedCount = 1;
  report.unasked = {"\x10\x00\x00\x00"};
  const std::vector<std::string> expected = {
      "fabricante: ACME",
      "modelo: TM[0x01]80é",
      "ID do tipo: 0x02 (cortador automático)",
      "em linha",
      "tampa fechada",
      "papel a acabar",
      "sem resposta a: GS I 68",
      "estado automático (GS a) recebido sem ser pedido: 1 vez(es)",
      "pronta a imprimir",
  };
  EXPECT_EQ(StatusLines(report), expected);
}

TEST(StatusLines, OfflinePrinterIsNotAskedWhoItIs) {
  StatusReport report;
  report.status = {0x1A, 0x16, 0x12, 0x12};
  report.identitySkippedOffline = true;
  const auto lines = StatusLines(report);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(),
            "identificação não pedida: a impressora só a envia quando está em linha");
  EXPECT_EQ(lines.back(), "não está pronta: fora de linha, tampa aberta");
}

}  // namespace
}  // namespace qrticket
