// Random and adversarial text for the Windows-1252 conversions: no crash, one byte for each
// code point, invalid UTF-8 refused wherever it hides.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "devices/text_encoding.h"

namespace qrticket {
namespace {

constexpr unsigned kSeed = 1252;
constexpr int kRounds = 5000;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// A code point from every region that matters: controls, NUL, Latin-1, C1, the euro sign,
// the rest of the BMP, non-characters, the astral planes up to U+10FFFF. Never a surrogate.
char32_t RandomCodePoint(std::mt19937& random) {
  static const char32_t kEdges[] = {0x00, 0x0A, 0x0D, 0x7F, 0x80, 0x81, 0x9F, 0xA0, 0xFF,
                                    0x100, 0x20AC, 0x2122, 0xD7FF, 0xE000, 0xFFFD, 0xFFFE,
                                    0xFFFF, 0x10000, 0x1F600, 0x10FFFF};
  switch (random() % 5) {
    case 0: return kEdges[random() % std::size(kEdges)];
    case 1: return random() % 0x80;
    case 2: return 0x80 + random() % 0x80;
    case 3: {
      char32_t c = random() % 0x10000;
      return c >= 0xD800 && c <= 0xDFFF ? c - 0x800 : c;
    }
    default: return 0x10000 + random() % 0x100000;
  }
}

TEST(TextEncodingFuzz, ValidUtf8GivesOneByteForEachCodePoint) {
  std::mt19937 random(kSeed);
  for (int round = 0; round < kRounds; ++round) {
    std::u32string codePoints(random() % 200, U'\0');
    for (char32_t& c : codePoints) c = RandomCodePoint(random);
    std::string utf8;
    for (const char32_t c : codePoints) AppendUtf8(utf8, c);

    const auto bytes = Utf8ToCp1252(utf8);
    ASSERT_TRUE(bytes.has_value()) << ::testing::PrintToString(utf8);
    ASSERT_EQ(bytes->size(), codePoints.size());
    for (std::size_t i = 0; i < codePoints.size(); ++i) {
      const char32_t c = codePoints[i];
      const auto byte = static_cast<unsigned char>((*bytes)[i]);
      if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        // ASCII, and Latin-1 from 0xA0, are Windows-1252 byte for byte.
        ASSERT_EQ(byte, c) << "code point " << static_cast<unsigned>(c);
      } else if (c <= 0x9F) {
        // C1 controls: only the five codes Windows-1252 leaves undefined keep their byte.
        const bool undefined = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
        ASSERT_EQ(byte, undefined ? c : '?') << "code point " << static_cast<unsigned>(c);
      } else {
        // Either the Windows-1252 byte of this very character, or "not representable".
        ASSERT_TRUE(byte == '?' || Cp1252ToCodePoint(byte) == c)
            << "code point " << static_cast<unsigned>(c) << " became " << static_cast<int>(byte);
      }
    }
  }
}

TEST(TextEncodingFuzz, InvalidUtf8AnywhereIsRefused) {
  static const std::string kInvalid[] = {
      "\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80",
      "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
      "\xFE", "\xFF", "\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xC3\x28", "\xE2\x28\xA1"};
  std::mt19937 random(kSeed + 1);
  for (int round = 0; round < kRounds; ++round) {
    std::string text;
    for (int n = random() % 50; n > 0; --n) AppendUtf8(text, RandomCodePoint(random));
    text += kInvalid[random() % std::size(kInvalid)];
    for (int n = random() % 50; n > 0; --n) AppendUtf8(text, RandomCodePoint(random));
    ASSERT_EQ(Utf8ToCp1252(text), std::nullopt) << ::testing::PrintToString(text);
  }
}

TEST(TextEncodingFuzz, AnyBytesAreRefusedOrOneBytePerCodePoint) {
  std::mt19937 random(kSeed + 2);
  for (int round = 0; round < kRounds * 4; ++round) {
    std::string text(random() % 64, '\0');
    for (char& c : text) c = static_cast<char>(random() % 256);
    const auto bytes = Utf8ToCp1252(text);
    if (!bytes) continue;
    std::size_t leads = 0;  // in valid UTF-8, every byte but a continuation byte starts a code point
    for (const char c : text) leads += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    ASSERT_EQ(bytes->size(), leads) << ::testing::PrintToString(text);
  }
}

TEST(TextEncodingFuzz, AnyUtf16GivesOneBytePerCharacter) {
  std::mt19937 random(kSeed + 3);
  for (int round = 0; round < kRounds * 4; ++round) {
    std::u16string text(random() % 64, u'\0');
    for (char16_t& c : text) {
      // Surrogates often, so pairs, lone halves and reversed pairs all come up.
      c = random() % 3 == 0 ? static_cast<char16_t>(0xD800 + random() % 0x800)
                            : static_cast<char16_t>(random() % 0x10000);
    }
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++characters) {
      const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
      if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    }
    const Bytes bytes = Utf16ToCp1252(text);
    ASSERT_EQ(bytes.size(), characters);
    for (std::size_t i = 0, b = 0; i < text.size(); ++i, ++b) {
      const char16_t c = text[i];
      if (c >= 0xD800 && c <= 0xDFFF) {
        ASSERT_EQ(bytes[b], '?');
        if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
      } else {
        // The window's road gives the byte the command line's gives for the same character.
        std::string utf8;
        AppendUtf8(utf8, c);
        ASSERT_EQ(bytes[b], Utf8ToCp1252(utf8).value().at(0)) << "U+" << std::hex << int{c};
      }
    }
  }
}

TEST(TextEncodingFuzz, LongTextsSurviveTheRoundTrip) {
  std::mt19937 random(kSeed + 4);
  for (int round = 0; round < 20; ++round) {
    Bytes original(32764 + random() % 40000, '\0');
    for (char& c : original) c = static_cast<char>(random() % 256);
    const auto back = Utf8ToCp1252(Cp1252ToUtf8(original));
    ASSERT_TRUE(back.has_value());
    ASSERT_TRUE(*back == original);
  }
}

}  // namespace
}  // namespace qrticket
