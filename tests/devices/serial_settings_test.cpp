// Serial settings written after a port name: every field, its edges and the text it reads back as.
#include <gtest/gtest.h>

#include "devices/device_failures.h"
#include "devices/serial_settings.h"

namespace qrticket {
namespace {

using Parity = SerialSettings::Parity;
using StopBits = SerialSettings::StopBits;
using Flow = SerialSettings::Flow;

struct GoodRow {
  const char* name;
  std::string typed;
  SerialSettings expected;
  std::string text;  // SerialSettingsText of the result
};

void PrintTo(const GoodRow& row, std::ostream* out) { *out << row.name; }

class GoodSettings : public ::testing::TestWithParam<GoodRow> {};

TEST_P(GoodSettings, ParseAndWriteBack) {
  const SerialSettingsParse parse = ParseSerialSettings(GetParam().typed);
  ASSERT_TRUE(parse.settings) << failures::SerialFieldText(parse.field, parse.value);
  EXPECT_EQ(*parse.settings, GetParam().expected);
  EXPECT_EQ(SerialSettingsText(*parse.settings), GetParam().text);
  // What is written is read back the same.
  EXPECT_EQ(ParseSerialSettings(GetParam().text).settings, parse.settings);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, GoodSettings,
    ::testing::Values(
        GoodRow{"SpeedAlone", "19200", {.speed = 19200}, "19200,n,8,1"},
        GoodRow{"AllFour", "9600,n,8,1", {.speed = 9600}, "9600,n,8,1"},
        GoodRow{"EvenSevenOne", "9600,e,7,1", {9600, Parity::Even, 7}, "9600,e,7,1"},
        GoodRow{"OddUpperCase", "4800,O,8,2", {4800, Parity::Odd, 8, StopBits::Two}, "4800,o,8,2"},
        GoodRow{"MarkAndSpace", "2400,m,7", {2400, Parity::Mark, 7}, "2400,m,7,1"},
        GoodRow{"Space", "2400,S", {2400, Parity::Space}, "2400,s,8,1"},
        GoodRow{"FiveDataOneAndAHalf", "1200,n,5,1.5", {1200, Parity::None, 5, StopBits::OnePointFive},
                "1200,n,5,1.5"},
        GoodRow{"SixData", "1200,n,6,1", {1200, Parity::None, 6}, "1200,n,6,1"},
        GoodRow{"FlowNoneIsLeftOut", "9600,n,8,1,n", {.speed = 9600}, "9600,n,8,1"},
        GoodRow{"FlowXon", "9600,n,8,1,x", {9600, Parity::None, 8, StopBits::One, Flow::XonXoff},
                "9600,n,8,1,x"},
        GoodRow{"FlowRts", "115200,n,8,1,R", {115200, Parity::None, 8, StopBits::One, Flow::RtsCts},
                "115200,n,8,1,r"},
        GoodRow{"FlowDtr", "9600,n,8,1,d", {9600, Parity::None, 8, StopBits::One, Flow::DtrDsr},
                "9600,n,8,1,d"},
        GoodRow{"FlowHardware", "9600,n,8,1,p", {9600, Parity::None, 8, StopBits::One, Flow::Hardware},
                "9600,n,8,1,p"},
        GoodRow{"EmptyFieldsKeepDefaults", "9600,,7,,r", {9600, Parity::None, 7, StopBits::One, Flow::RtsCts},
                "9600,n,7,1,r"},
        GoodRow{"SpacesAroundFields", " 19200 , n , 8 , 1 ", {.speed = 19200}, "19200,n,8,1"},
        GoodRow{"OddSpeedThroughBother", "250000", {.speed = 250000}, "250000,n,8,1"},
        GoodRow{"Lowest", "50", {.speed = 50}, "50,n,8,1"},
        GoodRow{"Highest", "12000000", {.speed = 12000000}, "12000000,n,8,1"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadRow {
  const char* name;
  std::string typed;
  std::string message;  // what the operator reads
};

void PrintTo(const BadRow& row, std::ostream* out) { *out << row.name; }

class BadSettings : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadSettings, NameTheField) {
  const SerialSettingsParse parse = ParseSerialSettings(GetParam().typed);
  ASSERT_FALSE(parse.settings);
  EXPECT_EQ(failures::SerialFieldText(parse.field, parse.value), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BadSettings,
    ::testing::Values(
        BadRow{"LetterInSpeed", "12x00", "velocidade inválida: 12x00"},
        BadRow{"NoSpeed", ",n,8,1", "falta a velocidade"},
        BadRow{"SpeedZero", "0", "velocidade inválida: 0"},
        BadRow{"BelowLowest", "49", "velocidade inválida: 49"},
        BadRow{"AboveHighest", "12000001", "velocidade inválida: 12000001"},
        BadRow{"NegativeSpeed", "-9600", "velocidade inválida: -9600"},
        BadRow{"FractionalSpeed", "9600.5", "velocidade inválida: 9600.5"},
        BadRow{"Parity", "9600,z", "paridade inválida: z (n, e, o, m ou s)"},
        BadRow{"ParityWord", "9600,none", "paridade inválida: none (n, e, o, m ou s)"},
        BadRow{"NineDataBits", "9600,n,9", "bits de dados inválidos: 9 (5 a 8)"},
        BadRow{"FourDataBits", "9600,n,4", "bits de dados inválidos: 4 (5 a 8)"},
        BadRow{"ThreeStopBits", "9600,n,8,3", "bits de paragem inválidos: 3 (1, 1.5 ou 2)"},
        BadRow{"CommaIsNotAPoint", "9600,n,8,1,5", "controlo de fluxo inválido: 5 (n, x, r, d ou p)"},
        BadRow{"Flow", "9600,n,8,1,h", "controlo de fluxo inválido: h (n, x, r, d ou p)"},
        BadRow{"SixthField", "9600,n,8,1,n,7", "definições a mais: 7"},
        BadRow{"SeveralExtra", "9600,n,8,1,n, 7,8", "definições a mais: 7,8"},
        // Nothing after the fifth comma but the comma itself: the message still names it.
        BadRow{"EmptySixthField", "9600,,,,,", "definições a mais: uma vírgula no fim"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineTime, CountsEveryBitOfAFrame) {
  EXPECT_EQ(FrameBits({.speed = 9600}), 10);
  EXPECT_EQ(FrameBits({9600, Parity::Even, 7, StopBits::Two}), 11);
  EXPECT_EQ(FrameBits({9600, Parity::None, 5, StopBits::OnePointFive}), 8);
  EXPECT_EQ(LineTime(960, {.speed = 9600}), std::chrono::milliseconds(1000));
  EXPECT_EQ(LineTime(1, {.speed = 115200}), std::chrono::milliseconds(1));  // rounded up
  EXPECT_EQ(LineTime(0, {.speed = 9600}), std::chrono::milliseconds(0));
}

}  // namespace
}  // namespace qrticket
