#include "font/bit_rows.h"

#include <cstring>

namespace pindot {

namespace {

// The bits of a byte from bit `first` (0 the most significant) to the end of the byte.
constexpr uint8_t FromBit(size_t first) {
  return static_cast<uint8_t>(0xFF >> first);
}
// The bits of a byte before bit `end` (1..8).
constexpr uint8_t BeforeBit(size_t end) {
  return static_cast<uint8_t>(0xFF00 >> end);
}

// Eight bytes as one number, the first byte the most significant, as the bits run.
uint64_t LoadBigEndian(const uint8_t* bytes) {
  uint64_t value;
  std::memcpy(&value, bytes, sizeof value);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  value = __builtin_bswap64(value);
#endif
  return value;
}

void StoreBigEndian(uint8_t* bytes, uint64_t value) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  value = __builtin_bswap64(value);
#endif
  std::memcpy(bytes, &value, sizeof value);
}

// SetBits and ClearBits: the masks of the first and the last byte are worked out once for all
// rows.
template <bool kSet>
void ChangeBits(uint8_t* row, size_t first, size_t count, size_t rows, size_t rowBytes) {
  if (count == 0) return;
  const size_t firstByte = first / 8;
  const size_t lastByte = (first + count - 1) / 8;
  uint8_t head = FromBit(first % 8);
  const uint8_t tail = BeforeBit((first + count - 1) % 8 + 1);
  if (firstByte == lastByte) head &= tail;
  auto change = [](uint8_t& byte, uint8_t mask) {
    byte = kSet ? byte | mask : byte & static_cast<uint8_t>(~mask);
  };
  for (size_t y = 0; y < rows; ++y, row += rowBytes) {
    change(row[firstByte], head);
    if (firstByte == lastByte) continue;
    std::memset(row + firstByte + 1, kSet ? 0xFF : 0x00, lastByte - firstByte - 1);
    change(row[lastByte], tail);
  }
}

}  // namespace

void SetBits(uint8_t* row, size_t first, size_t count, size_t rows, size_t rowBytes) {
  ChangeBits<true>(row, first, count, rows, rowBytes);
}

void ClearBits(uint8_t* row, size_t first, size_t count, size_t rows, size_t rowBytes) {
  ChangeBits<false>(row, first, count, rows, rowBytes);
}

void OrBits(const uint8_t* source, size_t from, uint8_t* target, size_t to, size_t count) {
  if (count == 0) return;
  source += from / 8;
  target += to / 8;
  from %= 8;
  to %= 8;
  // Target bytes 0 .. lastTarget, the first and the last only in part.
  const size_t lastTarget = (to + count - 1) / 8;
  const size_t lastSource = (from + count - 1) / 8;
  const uint8_t head = FromBit(to);
  const uint8_t tail = BeforeBit((to + count - 1) % 8 + 1);
  if (from == to) {
    if (lastTarget == 0) {
      target[0] |= source[0] & head & tail;
      return;
    }
    target[0] |= source[0] & head;
    for (size_t i = 1; i < lastTarget; ++i) target[i] |= source[i];
    target[lastTarget] |= source[lastTarget] & tail;
    return;
  }
  // Target byte i takes the eight source bits from bit 8 i + from - to on: the low bits of one
  // source byte and the high bits of the next, `shift` bits apart.
  const unsigned shift = static_cast<unsigned>(from - to) & 7;
  const ptrdiff_t offset = from < to ? -1 : 0;  // the source byte of target byte i: i + offset
  auto sourceByte = [&](ptrdiff_t index) -> unsigned {
    return index >= 0 && static_cast<size_t>(index) <= lastSource ? source[index] : 0u;
  };
  auto window = [&](ptrdiff_t index) {
    return static_cast<uint8_t>(sourceByte(index) << shift | sourceByte(index + 1) >> (8 - shift));
  };
  if (lastTarget == 0) {
    target[0] |= window(offset) & head & tail;
    return;
  }
  target[0] |= window(offset) & head;
  // Between the first and the last target byte every source bit read lies within the span:
  // eight bytes at a time in a 64-bit word, then byte by byte.
  size_t i = 1;
  for (; i + 8 <= lastTarget; i += 8) {
    const uint64_t bits = LoadBigEndian(source + i + offset) << shift |
                          uint64_t{source[i + offset + 8]} >> (8 - shift);
    StoreBigEndian(target + i, LoadBigEndian(target + i) | bits);
  }
  for (; i < lastTarget; ++i) {
    const uint8_t* pair = source + i + offset;
    target[i] |= static_cast<uint8_t>(pair[0] << shift | pair[1] >> (8 - shift));
  }
  target[lastTarget] |= window(static_cast<ptrdiff_t>(lastTarget) + offset) & tail;
}

}  // namespace pindot
