// The module size box's text to a signed 16-bit number.
#include <gtest/gtest.h>

#include "devices/failure.h"
#include "ticket/module_size.h"

namespace qrticket {
namespace {

struct SizeRow {
  const char* name;
  const char* text;
  int expected;
};
void PrintTo(const SizeRow& row, std::ostream* os) { *os << row.name; }


class ModuleSize : public ::testing::TestWithParam<SizeRow> {};

TEST_P(ModuleSize, Converts) { EXPECT_EQ(ConvertModuleSize(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Texts, ModuleSize,
    ::testing::Values(SizeRow{"plain", "6", 6},
                      SizeRow{"empty", "", 0},
                      SizeRow{"letter_first", "a6", 0},
                      SizeRow{"half_down_to_even", "6.5", 6},
                      SizeRow{"half_up_to_even", "7.5", 8},
                      SizeRow{"just_over_half", "6.5000001", 7},
                      SizeRow{"below_half", "6.49999", 6},
                      SizeRow{"comma_ends_the_number", "6,5", 6},
                      SizeRow{"blank_inside_is_removed", "1 2", 12},
                      SizeRow{"tabs_and_line_feeds_removed", "\t1\n2 ", 12},
                      SizeRow{"sign_plus", "+9", 9},
                      SizeRow{"negative", "-3", -3},
                      SizeRow{"negative_half_to_even", "-2.5", -2},
                      SizeRow{"fraction_only", ".6", 1},
                      SizeRow{"point_only", ".", 0},
                      SizeRow{"trailing_garbage", "12px", 12},
                      SizeRow{"exponent_not_read", "1e3", 1},
                      SizeRow{"hex_not_read", "0x10", 0},
                      SizeRow{"leading_zeros", "0000000000000000000000007", 7},
                      SizeRow{"largest", "32767", 32767},
                      SizeRow{"smallest", "-32768", -32768},
                      SizeRow{"smallest_half_rounds_to_even", "-32768.5", -32768},
                      SizeRow{"minus_zero_half", "-0.5", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ModuleSize, OutsideSixteenBitsOverflows) {
  for (const char* text : {"40000", "32767.5", "32768", "-32769", "-32768.6",
                           "99999999999999999999999999999999"}) {
    try {
      ConvertModuleSize(text);
      ADD_FAILURE() << text << " was accepted";
    } catch (const PrintFailure& f) {
      EXPECT_EQ(f.code(), FailureCode::Overflow) << text;
    }
  }
}

}  // namespace
}  // namespace qrticket
