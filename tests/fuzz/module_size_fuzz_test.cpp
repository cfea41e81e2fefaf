// Random and adversarial module size texts: the conversion gives a 16-bit number or the
// overflow failure, never anything else, and agrees with the number the text was made from.
#include <cstdint>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "devices/failure.h"
#include "ticket/module_size.h"

namespace qrticket {
namespace {

constexpr unsigned kSeed = 20201095;
constexpr int kRounds = 20000;

// The conversion's result, or nullopt for the overflow failure. Any other outcome fails.
std::optional<std::int16_t> Convert(const std::string& text) {
  try {
    return ConvertModuleSize(text);
  } catch (const PrintFailure& failure) {
    EXPECT_EQ(failure.code(), FailureCode::Overflow) << "for " << ::testing::PrintToString(text);
    return std::nullopt;
  }
}

// `text` with blanks, tabs and line feeds sprinkled anywhere, which the conversion ignores.
std::string Sprinkle(const std::string& text, std::mt19937& random) {
  static constexpr char kBlanks[] = {' ', '\t', '\n'};
  std::string out;
  for (const char c : text) {
    while (random() % 4 == 0) out += kBlanks[random() % 3];
    out += c;
  }
  while (random() % 4 == 0) out += kBlanks[random() % 3];
  return out;
}

// Something that cannot continue a number (no digit, point, blank, nor a letter that a later
// reader of exponents or hexadecimal might take up).
std::string Tail(std::mt19937& random) {
  static const std::string kStarts[] = {",", ";", "a", "Z", "€", "\r", "\x01", "mm", "%", "+", "-"};
  std::string tail = kStarts[random() % std::size(kStarts)];
  for (int n = random() % 8; n > 0; --n) tail += static_cast<char>(random() % 256);
  return tail;
}

TEST(ModuleSizeFuzz, WholeNumbersInRangeComeBackExactly) {
  std::mt19937 random(kSeed);
  std::uniform_int_distribution<int> value(INT16_MIN, INT16_MAX);
  for (int round = 0; round < kRounds; ++round) {
    const int n = value(random);
    std::string text = std::to_string(n);
    if (n >= 0 && random() % 2 == 0) text.insert(0, "+");
    if (random() % 3 == 0) text.insert(text.find_first_of("0123456789"), std::string(random() % 40, '0'));
    if (random() % 3 == 0) text += random() % 2 ? "." : ".000";
    if (random() % 2 == 0) text += Tail(random);
    text = Sprinkle(text, random);
    ASSERT_EQ(Convert(text), static_cast<std::int16_t>(n)) << ::testing::PrintToString(text);
  }
}

TEST(ModuleSizeFuzz, HalvesGoToTheEvenNeighbour) {
  std::mt19937 random(kSeed + 1);
  std::uniform_int_distribution<int> value(-32767, 32766);
  for (int round = 0; round < kRounds; ++round) {
    const int n = value(random);
    // n + 0.5 or n - 0.5 written out; the even one of the two neighbours wins.
    const bool negative = n < 0;
    const int magnitude = negative ? -n : n;
    const std::string text = Sprinkle((negative ? "-" : "") + std::to_string(magnitude) + ".5", random);
    const int even = magnitude % 2 == 0 ? magnitude : magnitude + 1;
    ASSERT_EQ(Convert(text), static_cast<std::int16_t>(negative ? -even : even)) << text;
  }
}

TEST(ModuleSizeFuzz, HugeNumbersOverflow) {
  std::mt19937 random(kSeed + 2);
  for (int round = 0; round < kRounds; ++round) {
    std::string digits = std::to_string(32768 + random() % 1000000);
    for (int extra = random() % 3 == 0 ? random() % 5000 : 0; extra > 0; --extra)
      digits += static_cast<char>('0' + random() % 10);
    const std::string text = Sprinkle((random() % 2 ? "-" : "") + digits, random);
    if (text.find('-') != std::string::npos && digits == "32768") continue;  // -32768 fits
    ASSERT_EQ(Convert(text), std::nullopt) << text.substr(0, 80);
  }
}

TEST(ModuleSizeFuzz, AnyBytesGiveANumberOrOverflow) {
  std::mt19937 random(kSeed + 3);
  // Bytes weighted towards what the conversion looks at.
  static const std::string kInteresting = "0123456789+-. \t\n\r,eExX";
  for (int round = 0; round < kRounds; ++round) {
    std::string text;
    const std::size_t length = random() % 200 == 0 ? random() % 100000 : random() % 40;
    for (std::size_t i = 0; i < length; ++i)
      text += random() % 2 ? kInteresting[random() % kInteresting.size()]
                           : static_cast<char>(random() % 256);
    const auto first = Convert(text);
    ASSERT_EQ(Convert(text), first) << "not the same answer twice";
  }
}

}  // namespace
}  // namespace qrticket
