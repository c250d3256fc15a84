#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace pindot {
namespace {

TEST(ParseNumber, ReadsDecimalOrHexadecimalAfter0x) {
  const std::pair<const char*, std::optional<uint64_t>> cases[] = {
      {"16", 16},
      {"010", 10},  // a leading zero is no octal
      {"0x1F", 31},
      {"0X1f", 31},
      {"0", 0},
      {"0x0", 0},
      {"", std::nullopt},
      {"0x", std::nullopt},
      {"12a", std::nullopt},
      {"-1", std::nullopt},
      {" 1", std::nullopt},
      {"0x1g", std::nullopt},
      {"18446744073709551615", UINT64_MAX},
      {"18446744073709551616", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseNumber(text), value) << text;
}

TEST(ParseNumber, RefusesValuesAboveTheMaximum) {
  EXPECT_EQ(ParseNumber("1000", 1000), 1000u);
  EXPECT_EQ(ParseNumber("1001", 1000), std::nullopt);
  EXPECT_EQ(ParseNumber("0x3e9", 1000), std::nullopt);
  EXPECT_EQ(ParseNumber("9", 8), std::nullopt);  // one digit above a maximum below the base
}

TEST(NumberText, NamesAndDigitsAsPeopleReadThem) {
  EXPECT_EQ(CodePointName(0x41), "U+0041");
  EXPECT_EQ(CodePointName(0x1F600), "U+1F600");
  EXPECT_EQ(HexText(0xd0d6), "0xd0d6");
  std::u16string text = u"0x";
  AppendHex(text, 0x61, 4);
  EXPECT_EQ(text, u"0x0061");
  std::u16string decimal;
  AppendDecimal(decimal, INT64_MIN);
  EXPECT_EQ(decimal, u"-9223372036854775808");
  decimal.clear();
  AppendDecimal(decimal, 0);
  EXPECT_EQ(decimal, u"0");
}

}  // namespace
}  // namespace pindot
