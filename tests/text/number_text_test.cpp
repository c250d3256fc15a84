#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <tuple>

namespace pindot {
namespace {

// Decimal, or hexadecimal after 0x, never octal; up to a maximum (none by default).
TEST(ParseNumber, ReadsDecimalOrHexadecimalAfter0xUpToTheMaximum) {
  const std::tuple<const char*, std::optional<uint64_t>, uint64_t> cases[] = {
      {"16", 16, UINT64_MAX},
      {"010", 10, UINT64_MAX},  // a leading zero is no octal
      {"0x1F", 31, UINT64_MAX},
      {"0X1f", 31, UINT64_MAX},
      {"0", 0, UINT64_MAX},
      {"0x0", 0, UINT64_MAX},
      {"", std::nullopt, UINT64_MAX},
      {"0x", std::nullopt, UINT64_MAX},
      {"12a", std::nullopt, UINT64_MAX},
      {"-1", std::nullopt, UINT64_MAX},
      {" 1", std::nullopt, UINT64_MAX},
      {"0x1g", std::nullopt, UINT64_MAX},
      {"18446744073709551615", UINT64_MAX, UINT64_MAX},
      {"18446744073709551616", std::nullopt, UINT64_MAX},
      {"1000", 1000, 1000},
      {"1001", std::nullopt, 1000},
      {"0x3e9", std::nullopt, 1000},
      {"9", std::nullopt, 8},  // one digit above a maximum below the base
  };
  for (const auto& [text, value, maximum] : cases)
    EXPECT_EQ(ParseNumber(text, maximum), value) << text << " up to " << maximum;
}

}  // namespace
}  // namespace pindot
