// The receipts' JSON: the escaping rows (job text is hostile: quotes, controls, HTML, bytes that
// are not UTF-8) and one whole receipt checked field by field.
#include <gtest/gtest.h>

#include "receipt_json.h"

namespace qrticket::viewer::web {
namespace {

struct EscapeRow {
  const char* name;
  std::string text;
  std::string json;
};

class JsonStrings : public ::testing::TestWithParam<EscapeRow> {};

TEST_P(JsonStrings, AreEscaped) { EXPECT_EQ(JsonString(GetParam().text), GetParam().json); }

INSTANTIATE_TEST_SUITE_P(
    Rows, JsonStrings,
    ::testing::Values(
        EscapeRow{"plain", "Olá € 1", "\"Olá € 1\""},
        EscapeRow{"empty", "", "\"\""},
        EscapeRow{"quote_and_backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        EscapeRow{"line_breaks_and_tab", "a\nb\r\tc", "\"a\\nb\\r\\tc\""},
        EscapeRow{"controls", std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
        EscapeRow{"nul", std::string("a\0b", 3), "\"a\\u0000b\""},
        EscapeRow{"script_tag", "<script>alert('x')</script>",
                  "\"\\u003cscript\\u003ealert(\\u0027x\\u0027)\\u003c/script\\u003e\""},
        EscapeRow{"ampersand", "a&amp;", "\"a\\u0026amp;\""},
        EscapeRow{"javascript_line_separators", "a\u2028b\u2029c", "\"a\\u2028b\\u2029c\""},
        EscapeRow{"four_byte_letter", "\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},
        EscapeRow{"lone_latin1_byte", "caf\xE9!", "\"caf\\ufffd!\""},
        EscapeRow{"stray_continuation", "\x80\xBF", "\"\\ufffd\\ufffd\""},
        EscapeRow{"overlong_slash", "\xC0\xAF", "\"\\ufffd\\ufffd\""},
        EscapeRow{"overlong_three_bytes", "\xE0\x80\xAF", "\"\\ufffd\\ufffd\\ufffd\""},
        EscapeRow{"surrogate", "\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
        EscapeRow{"beyond_unicode", "\xF4\x90\x80\x80", "\"\\ufffd\\ufffd\\ufffd\\ufffd\""},
        EscapeRow{"cut_at_the_end", "ok\xE2\x82", "\"ok\\ufffd\\ufffd\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UtcTime, IsWrittenAsIso8601WithMilliseconds) {
  using namespace std::chrono;
  const auto time = sys_days{2026y / December / 10} + 7h + 5min + 3s + 250ms;
  EXPECT_EQ(UtcTimeText(time), "2026-12-10T07:05:03.250Z");
  EXPECT_EQ(UtcTimeText(sys_days{1999y / January / 1}), "1999-01-01T00:00:00.000Z");
}

TEST(ReceiptJson, HoldsEveryFieldAndTheFilesPaths) {
  Receipt receipt;
  receipt.id = 12;
  receipt.time = std::chrono::sys_days{std::chrono::year{2026} / 12 / 10};
  receipt.sender = "[::1]:5000";
  receipt.bytes = 4096;
  receipt.report = {"linha 1", "<b>linha 2</b>"};
  receipt.picture = "ticket-0012.png";
  receipt.raw = "ticket-0012.bin";
  EXPECT_EQ(ReceiptJson(receipt),
            "{\"id\":12,\"time\":\"2026-12-10T00:00:00.000Z\",\"sender\":\"[::1]:5000\","
            "\"bytes\":4096,\"report\":\"linha 1\\n\\u003cb\\u003elinha 2\\u003c/b\\u003e\","
            "\"picture\":\"/recibos/12.png\",\"raw\":\"/recibos/12.bin\"}");
  receipt.raw.clear();
  EXPECT_NE(ReceiptJson(receipt).find("\"raw\":null}"), std::string::npos);
}

TEST(ReceiptJson, ListsNewestFirstAsGiven) {
  Receipt older, newer;
  older.id = 1;
  newer.id = 2;
  const std::string json = ReceiptListJson({std::make_shared<const Receipt>(newer),
                                            std::make_shared<const Receipt>(older)});
  EXPECT_EQ(json.rfind("[{\"id\":2,", 0), 0u);
  EXPECT_NE(json.find("},{\"id\":1,"), std::string::npos);
  EXPECT_EQ(ReceiptListJson({}), "[]");
}

}  // namespace
}  // namespace qrticket::viewer::web
