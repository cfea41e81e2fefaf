// The window's text conversions: line breaks, Windows-1252 bytes, the count and the port rule.
#include <gtest/gtest.h>

#include "temp_dir.h"
#include "ticket_text.h"

namespace qrticket::ui {
namespace {

using testing::Hex;

struct TextCase {
  const char* name;
  QString text;
  const char* bytesHex;
  qsizetype count;
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
        TextCase{"Empty", QString(), "", 0},
        TextCase{"TwoLinesCountTheBreakTwice", QStringLiteral("AB\nC"), "41 42 0D 0A 43", 5},
        TextCase{"BreakAlreadyCrLfStaysOne", QStringLiteral("A\r\nB"), "41 0D 0A 42", 4},
        TextCase{"TrailingBreak", QStringLiteral("A\n"), "41 0D 0A", 3},
        TextCase{"LatinLettersAreOneByte", QStringLiteral("Ção"), "C7 E3 6F", 3},
        TextCase{"EuroSignIsCp1252Byte80", QStringLiteral("€"), "80", 1},
        TextCase{"CharacterOutsideCp1252IsQuestionMark", QStringLiteral("ŁA"), "3F 41", 2},
        TextCase{"AstralPairIsOneQuestionMark", QString::fromUtf8("\xF0\x9F\x98\x80"), "3F", 1},
        TextCase{"TabIsKept", QStringLiteral("A\tB"), "41 09 42", 3}),
    [](const auto& info) { return std::string(info.param.name); });

struct SpacesCase {
  const char* name;
  QString text;
  bool hasContent;
};

class PortText : public ::testing::TestWithParam<SpacesCase> {};

TEST_P(PortText, OnlySpacesCountAsEmpty) {
  EXPECT_EQ(HasTextBesidesSpaces(GetParam().text), GetParam().hasContent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortText,
    ::testing::Values(SpacesCase{"Empty", QString(), false},
                      SpacesCase{"SpacesOnly", QStringLiteral("   "), false},
                      SpacesCase{"PortWithSpaces", QStringLiteral(" COM1: "), true},
                      SpacesCase{"TabIsContent", QStringLiteral("\t"), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeviceName, IsUtf8AsTyped) {
  EXPECT_EQ(DeviceNameFromText(QStringLiteral(" COM1: ")), " COM1: ");
  EXPECT_EQ(DeviceNameFromText(QStringLiteral("/tmp/talão")), "/tmp/tal\xC3\xA3o");
}

}  // namespace
}  // namespace qrticket::ui
