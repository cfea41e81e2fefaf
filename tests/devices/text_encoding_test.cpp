// Unicode text to Windows-1252 bytes: one byte per character, whatever comes in.
#include <gtest/gtest.h>

#include "devices/text_encoding.h"
#include "temp_dir.h"

namespace qrticket {
namespace {

using testing::Hex;

struct Utf8Row {
  const char* name;
  std::string utf8;
  const char* hex;
};
void PrintTo(const Utf8Row& row, std::ostream* os) { *os << row.name; }


class FromUtf8 : public ::testing::TestWithParam<Utf8Row> {};

TEST_P(FromUtf8, OneByteForEachCodePoint) {
  const auto bytes = Utf8ToCp1252(GetParam().utf8);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(Hex(*bytes), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FromUtf8,
    ::testing::Values(
        Utf8Row{"ascii", "Ab1", "41 62 31"},
        Utf8Row{"portuguese", "ÇÃçãáéõ", "C7 C3 E7 E3 E1 E9 F5"},
        Utf8Row{"euro_and_quotes", "€“”…", "80 93 94 85"},
        Utf8Row{"nul_kept", std::string("a\0b", 3), "61 00 62"},
        Utf8Row{"latin_extended_unrepresentable", "łŁ", "3F 3F"},
        Utf8Row{"astral_plane_is_one_question_mark", "a😀b", "61 3F 62"},
        Utf8Row{"undefined_codes_keep_their_value", "\xC2\x81\xC2\x9D", "81 9D"},
        Utf8Row{"other_c1_controls_are_unrepresentable", "\xC2\x80\xC2\x85", "3F 3F"},
        Utf8Row{"cjk", "中", "3F"},
        Utf8Row{"empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FromUtf8, InvalidInputIsRefused) {
  const std::string invalid[] = {
      "\xFF",              // never valid
      "\xC3",              // truncated two-byte sequence
      "a\xE2\x82",         // truncated three-byte sequence
      "\xC0\xAF",          // overlong '/'
      "\xED\xA0\x80",      // an encoded surrogate
      "\xF4\x90\x80\x80",  // beyond U+10FFFF
      "\x80",              // a lone continuation byte
  };
  for (const std::string& s : invalid) EXPECT_FALSE(Utf8ToCp1252(s).has_value()) << Hex(s);
}

// U+0080..U+009F, each through both roads (the command line's UTF-8, the window's UTF-16):
// Windows-1252 represents none of them, so they become '?', except the five codes it leaves
// undefined, which keep their byte as Windows converts them. U+0080 is not the euro sign.
TEST(C1Controls, BecomeQuestionMarksExceptTheFiveUndefinedCodes) {
  const std::u16string undefined = u"\u0081\u008D\u008F\u0090\u009D";
  for (char16_t c = 0x80; c <= 0x9F; ++c) {
    const char expected = undefined.find(c) != std::u16string::npos ? static_cast<char>(c) : '?';
    const std::string utf8{static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    const auto fromUtf8 = Utf8ToCp1252(utf8);
    ASSERT_TRUE(fromUtf8.has_value());
    EXPECT_EQ(Hex(*fromUtf8), Hex(Bytes(1, expected))) << "U+00" << std::hex << int{c};
    EXPECT_EQ(Hex(Utf16ToCp1252(std::u16string(1, c))), Hex(Bytes(1, expected)))
        << "U+00" << std::hex << int{c};
  }
  // The characters Windows-1252 does put at 0x80..0x9F still get their bytes.
  EXPECT_EQ(Hex(*Utf8ToCp1252("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ")),
            "80 82 83 84 85 86 87 88 89 8A 8B 8C 8E 91 92 93 94 95 96 97 98 99 9A 9B 9C 9E 9F");
  EXPECT_EQ(Hex(Utf16ToCp1252(u"€Ÿ")), "80 9F");
}

TEST(FromUtf16, SurrogatesBecomeOneQuestionMarkEach) {
  const std::u16string pair = u"a\U0001F600b";
  EXPECT_EQ(Hex(Utf16ToCp1252(pair)), "61 3F 62");
  const char16_t lone[] = {u'x', 0xD800, u'y', 0xDC00};
  EXPECT_EQ(Hex(Utf16ToCp1252(std::u16string_view(lone, 4))), "78 3F 79 3F");
  const char16_t highAtEnd[] = {u'x', 0xDBFF};
  EXPECT_EQ(Hex(Utf16ToCp1252(std::u16string_view(highAtEnd, 2))), "78 3F");
  EXPECT_EQ(Hex(Utf16ToCp1252(u"Página €")), "50 E1 67 69 6E 61 20 80");
}

TEST(Cp1252, EveryByteSurvivesTheTripThroughUtf8) {
  for (int b = 0; b <= 255; ++b) {
    const Bytes one(1, static_cast<char>(b));
    const auto back = Utf8ToCp1252(Cp1252ToUtf8(one));
    ASSERT_TRUE(back.has_value()) << b;
    EXPECT_EQ(Hex(*back), Hex(one));
  }
  EXPECT_EQ(Cp1252ToCodePoint(0x80), U'\u20AC');
  EXPECT_EQ(Cp1252ToCodePoint(0x8D), U'\u008D');
}

// A phone reads the symbol's bytes as ISO-8859-1: the same as Windows-1252 except 0x80..0x9F.
TEST(Latin1, ReadsTheBytesAsAStandardQrReaderDoes) {
  const struct {
    const char* name;
    Bytes bytes;
    std::string reading;
  } rows[] = {
      {"ascii", "abc", "abc"},
      {"c cedilla is the same", "\xE7", "\u00E7"},
      {"euro becomes a C1 control", "\x80", "\u0080"},
      {"curly quotes and en dash", "\x93x\x94 \x96", "\u0093x\u0094 \u0096"},
      {"undefined code keeps its value", "\x81", "\u0081"},
  };
  for (const auto& row : rows) EXPECT_EQ(Latin1ToUtf8(row.bytes), row.reading) << row.name;
}

// Text from printers and schedulers reaches a terminal with its control characters as bytes:
// ESC, the C1 codes (U+009B is CSI to many terminals), DEL and bytes that are not UTF-8.
TEST(ShownControls, WritesControlCharactersAsBytes) {
  const struct {
    const char* name;
    std::string text;
    std::string shown;
  } rows[] = {
      {"plain text stays", "TM-T20II Receipt", "TM-T20II Receipt"},
      {"accents and the euro stay", "Impressão € ✓", "Impressão € ✓"},
      {"escape sequence", "A\x1B[2JB", "A[0x1B][2JB"},
      {"bell, tab and line feed", "\a\t\n", "[0x07][0x09][0x0A]"},
      {"delete", "\x7F", "[0x7F]"},
      {"C1 CSI as UTF-8", "\u009B31m", "[0x9B]31m"},
      {"next-line C1", "\u0085", "[0x85]"},
      {"no-break space stays", "\u00A0", "\u00A0"},
      {"a lone continuation byte", "a\x9B" "b", "a[0x9B]b"},
      {"a cut sequence", "\xE2\x82", "[0xE2][0x82]"},
  };
  for (const auto& row : rows) EXPECT_EQ(ShownControls(row.text), row.shown) << row.name;
}

}  // namespace
}  // namespace qrticket
