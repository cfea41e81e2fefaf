// Messages on Windows: a console gets whole characters as UTF-16, a pipe the UTF-8 bytes with
// CR LF line ends, however the text is cut into writes.
#include <gtest/gtest.h>

#include <ostream>

#include "fake_system_calls.h"
#include "temp_dir.h"
#include "devices/win/console_text.h"

namespace qrticket::testing {
namespace {

using qrticket::ConsoleTextBuffer;

struct TextRow {
  const char* name;
  std::vector<std::string> pieces;  // one stream write each
  std::wstring shown;               // what a console shows
  std::string piped;                // what a pipe receives
};
void PrintTo(const TextRow& row, std::ostream* out) { *out << row.name; }

class ConsoleText : public ::testing::TestWithParam<TextRow> {};

TEST_P(ConsoleText, ReachesAConsoleAsCharacters) {
  FakeConsole console;
  {
    ConsoleTextBuffer buffer(console, kFakeHandle);
    EXPECT_TRUE(buffer.isConsole());
    std::ostream stream(&buffer);
    for (const std::string& piece : GetParam().pieces) stream << piece;
    EXPECT_TRUE(stream.good());
  }
  EXPECT_EQ(console.shown, GetParam().shown);
  // No write splits a character: a cut one would show as U+FFFD.
  if (GetParam().shown.find(L'\xFFFD') == std::wstring::npos) {
    for (const std::wstring& write : console.writes) EXPECT_EQ(write.find(L'\xFFFD'), std::wstring::npos);
  }
  EXPECT_TRUE(console.piped.empty());
}

TEST_P(ConsoleText, ReachesAPipeAsUtf8Bytes) {
  FakeConsole pipe;
  pipe.console = false;
  {
    ConsoleTextBuffer buffer(pipe, kFakeHandle);
    EXPECT_FALSE(buffer.isConsole());
    std::ostream stream(&buffer);
    for (const std::string& piece : GetParam().pieces) stream << piece;
  }
  EXPECT_EQ(Hex(pipe.piped), Hex(GetParam().piped));
  EXPECT_TRUE(pipe.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConsoleText,
    ::testing::Values(
        TextRow{"OneLine", {"Falha na impressão\n"}, L"Falha na impress\u00E3o\n",
                "Falha na impress\xC3\xA3o\r\n"},
        // "ã" is C3 A3: the stream may hand it over in two writes.
        TextRow{"ACharacterCutInTwo", {"impress\xC3", "\xA3o\n"}, L"impress\u00E3o\n",
                "impress\xC3\xA3o\r\n"},
        TextRow{"FourBytesOneAtATime", {"\xF0", "\x9F", "\x98", "\x80", "!"}, L"\U0001F600!",
                "\xF0\x9F\x98\x80!"},
        TextRow{"EuroAndLines", {"€ 1\n", "2\n"}, L"\u20AC 1\n2\n", "\xE2\x82\xAC 1\r\n2\r\n"},
        // A byte that starts nothing is shown as such, and the line is not lost.
        TextRow{"AStrayByte", {"a\xFF" "b\n"}, L"a\uFFFDb\n", "a\xFF" "b\r\n"},
        // The start of a character that never ends still goes out at the end.
        TextRow{"CutAtTheEnd", {"fim\xC3"}, L"fim\uFFFD", "fim\xC3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConsoleText, IncompleteTailCountsOnlyAnUnfinishedCharacter) {
  EXPECT_EQ(IncompleteTail(""), 0u);
  EXPECT_EQ(IncompleteTail("abc"), 0u);
  EXPECT_EQ(IncompleteTail("a\xC3"), 1u);
  EXPECT_EQ(IncompleteTail("a\xC3\xA3"), 0u);
  EXPECT_EQ(IncompleteTail("\xE2\x82"), 2u);
  EXPECT_EQ(IncompleteTail("\xF0\x9F\x98"), 3u);
  EXPECT_EQ(IncompleteTail("\xF0\x9F\x98\x80"), 0u);
  EXPECT_EQ(IncompleteTail("\xA3\xA3"), 0u);  // continuation bytes without a lead
}

TEST(ConsoleText, NoHandleTakesEverything) {
  FakeConsole console;
  ConsoleTextBuffer buffer(console, nullptr);
  std::ostream stream(&buffer);
  stream << "nada\n";
  EXPECT_TRUE(stream.good());
  EXPECT_TRUE(console.shown.empty());
}

}  // namespace
}  // namespace qrticket::testing
