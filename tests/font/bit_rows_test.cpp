// Bit rows: spans set, cleared and copied across byte boundaries, most significant bit first.
#include "font/bit_rows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pindot {
namespace {

using Bytes = std::vector<uint8_t>;

struct SpanCase {
  const char* name;
  size_t first, count;
  Bytes set;      // SetBits on 00 00 00
  Bytes cleared;  // ClearBits on ff ff ff
};

TEST(BitRows, SetsAndClearsSpans) {
  const SpanCase cases[] = {
      // ..###... ........ ........
      {"within a byte", 2, 3, {0x38, 0x00, 0x00}, {0xc7, 0xff, 0xff}},
      // ......## ######## ##......
      {"across bytes", 6, 12, {0x03, 0xff, 0xc0}, {0xfc, 0x00, 0x3f}},
      {"a whole byte", 8, 8, {0x00, 0xff, 0x00}, {0xff, 0x00, 0xff}},
      {"up to the end", 20, 4, {0x00, 0x00, 0x0f}, {0xff, 0xff, 0xf0}},
      {"nothing", 5, 0, {0x00, 0x00, 0x00}, {0xff, 0xff, 0xff}},
  };
  for (const SpanCase& c : cases) {
    Bytes set(3, 0x00);
    SetBits(set.data(), c.first, c.count);
    EXPECT_EQ(set, c.set) << c.name;
    Bytes cleared(3, 0xff);
    ClearBits(cleared.data(), c.first, c.count);
    EXPECT_EQ(cleared, c.cleared) << c.name;
    // The same span in two rows of four bytes, the fourth byte of each left alone.
    Bytes twoRows = {0, 0, 0, 0x5a, 0, 0, 0, 0x5a};
    SetBits(twoRows.data(), c.first, c.count, 2, 4);
    Bytes expected = c.set;
    expected.push_back(0x5a);
    const Bytes oneRow = expected;
    expected.insert(expected.end(), oneRow.begin(), oneRow.end());
    EXPECT_EQ(twoRows, expected) << c.name << ", two rows";
  }
}

struct CopyCase {
  const char* name;
  Bytes source;
  size_t from, to, count;
  Bytes target, result;  // before and after
};

TEST(BitRows, OrsSpansIntoPlace) {
  const Bytes counting = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b};
  const Bytes shifted = {0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xa0, 0xb0};
  const CopyCase cases[] = {
      // Bits 4..11 of 10101011 11001101 are 1011 1100, put at 12..19.
      {"same bit in the byte", {0xab, 0xcd}, 4, 12, 8, {0, 0, 0}, {0x00, 0x0b, 0xc0}},
      // 11110000 00001111 three bits to the right: ...11110 00000001 111.....
      {"shifted right", {0xf0, 0x0f}, 0, 3, 16, {0, 0, 0}, {0x1e, 0x01, 0xe0}},
      // Bits 4..9 of 00001111 11110000 are 111111, ORed over 00000001: 11111101.
      {"shifted left", {0x0f, 0xf0}, 4, 0, 6, {0x01}, {0xfd}},
      // The source's other bits stay where they are: only bits 9..15 of the target are set.
      {"only the span", {0xff, 0xff, 0xff}, 3, 9, 7, {0, 0, 0}, {0x00, 0x7f, 0x00}},
      {"only the span, same bit", {0xff, 0xff}, 3, 11, 2, {0, 0}, {0x00, 0x18}},
      {"nothing", {0xff}, 0, 0, 0, {0x00}, {0x00}},
      // Long rows go eight bytes at a time: 01 02 .. 0b moved on and back by half a byte.
      {"long, shifted right", counting, 0, 4, 88, Bytes(12, 0), shifted},
      {"long, shifted left", counting, 4, 0, 80, Bytes(10, 0), Bytes(&shifted[1], &shifted[11])},
  };
  for (const CopyCase& c : cases) {
    // Exactly as long as the case says, so a read past the source's last byte shows in a
    // sanitizer build.
    const Bytes source = c.source;
    Bytes target = c.target;
    OrBits(source.data(), c.from, target.data(), c.to, c.count);
    EXPECT_EQ(target, c.result) << c.name;
  }
}

}  // namespace
}  // namespace pindot
