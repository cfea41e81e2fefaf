// The window's text rules: line breaks, Windows-1252 bytes, the count, the port rule and the
// preview's name, for the UTF-8 text both views hand over.
#include <gtest/gtest.h>

#include "form_text.h"
#include "form_texts.h"
#include "temp_dir.h"

namespace qrticket::ui {
namespace {

using testing::Hex;

struct TextCase {
  const char* name;
  const char* text;
  const char* bytesHex;
  std::size_t count;
};

class TicketText : public ::testing::TestWithParam<TextCase> {};

TEST_P(TicketText, BytesAndCountAgree) {
  const TextCase& c = GetParam();
  EXPECT_EQ(Hex(TicketBytesFromText(c.text)), c.bytesHex);
  EXPECT_EQ(TicketCharacterCount(c.text), c.count);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TicketText,
    ::testing::Values(
        TextCase{"Empty", "", "", 0},
        TextCase{"TwoLinesCountTheBreakTwice", "AB\nC", "41 42 0D 0A 43", 5},
        TextCase{"BreakAlreadyCrLfStaysOne", "A\r\nB", "41 0D 0A 42", 4},
        TextCase{"TrailingBreak", "A\n", "41 0D 0A", 3},
        TextCase{"LeadingBreak", "\nA", "0D 0A 41", 3},
        TextCase{"LoneCrStays", "A\rB", "41 0D 42", 3},
        TextCase{"CrBeforeCrLf", "\r\r\n", "0D 0D 0A", 3},
        TextCase{"LatinLettersAreOneByte", "Ção", "C7 E3 6F", 3},
        TextCase{"EuroSignIsCp1252Byte80", "€", "80", 1},
        TextCase{"NoBreakSpaceIsItsOwnByte", "A\u00A0B", "41 A0 42", 3},
        TextCase{"CharacterOutsideCp1252IsQuestionMark", "ŁA", "3F 41", 2},
        TextCase{"AstralPairIsOneQuestionMark", "\xF0\x9F\x98\x80", "3F", 1},
        TextCase{"ReplacementCharacterIsQuestionMark", "\xEF\xBF\xBD", "3F", 1},
        TextCase{"TabIsKept", "A\tB", "41 09 42", 3}),
    [](const auto& info) { return std::string(info.param.name); });

struct SpacesCase {
  const char* name;
  const char* text;
  bool hasContent;
};

class PortText : public ::testing::TestWithParam<SpacesCase> {};

TEST_P(PortText, OnlySpacesCountAsEmpty) {
  EXPECT_EQ(HasTextBesidesSpaces(GetParam().text), GetParam().hasContent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortText,
    ::testing::Values(SpacesCase{"Empty", "", false}, SpacesCase{"SpacesOnly", "   ", false},
                      SpacesCase{"PortWithSpaces", " COM1: ", true},
                      SpacesCase{"TabIsContent", "\t", true},
                      SpacesCase{"NoBreakSpaceIsContent", "\u00A0", true}),
    [](const auto& info) { return std::string(info.param.name); });

struct PreviewCase {
  const char* name;
  const char* text;
  bool preview;
};

class PreviewName : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewName, AnyCaseWithBlanksAround) {
  EXPECT_EQ(IsPreviewDeviceName(GetParam().text), GetParam().preview);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewName,
    ::testing::Values(PreviewCase{"AsListed", "VISUALIZAR:", true},
                      PreviewCase{"LowerCase", "visualizar:", true},
                      PreviewCase{"MixedCaseWithSpaces", "  Visualizar:  ", true},
                      PreviewCase{"TabsAround", "\tVISUALIZAR:\t", true},
                      PreviewCase{"WithoutColon", "VISUALIZAR", false},
                      PreviewCase{"SpaceInside", "VISUALIZAR :", false},
                      PreviewCase{"Longer", "VISUALIZAR:X", false},
                      PreviewCase{"Empty", "", false}, PreviewCase{"Blanks", "  ", false}),
    [](const auto& info) { return std::string(info.param.name); });

// The boxes' first line names the device as typed, with one colon after it.
TEST(BoxHeadings, OneColonAfterTheDevice) {
  const struct {
    const char* device;
    const char* status;
    const char* search;
  } rows[] = {
      {"COM3", "Estado de COM3:", "Procurar velocidade de COM3:"},
      {"COM3:", "Estado de COM3:", "Procurar velocidade de COM3:"},
      {"/dev/ttyUSB0", "Estado de /dev/ttyUSB0:", "Procurar velocidade de /dev/ttyUSB0:"},
      {"tcp://127.0.0.1", "Estado de tcp://127.0.0.1:", "Procurar velocidade de tcp://127.0.0.1:"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(texts::StatusHeading(row.device), row.status);
    EXPECT_EQ(texts::SpeedSearchHeading(row.device), row.search);
  }
}

}  // namespace
}  // namespace qrticket::ui
