#include "glyph/glyph_scan.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "text/number_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pindot {

namespace {

// Grows `text` by `count` units and gives where they start; the caller writes every one of them.
char16_t* Extend(std::u16string& text, size_t count) {
  const size_t start = text.size();
  text.resize(start + count);
  return &text[start];
}

// Eight pixels to one byte, the first pixel in bit 7.
#if defined(__SSE2__)
uint8_t PackEight(const Colour* colours, Colour ink) {
  // movemask puts lane k in bit k, the reverse of the byte's order: a table turns each nibble.
  static constexpr uint8_t kReversed[16] = {0x0, 0x8, 0x4, 0xc, 0x2, 0xa, 0x6, 0xe,
                                            0x1, 0x9, 0x5, 0xd, 0x3, 0xb, 0x7, 0xf};
  const __m128i inks = _mm_set1_epi32(static_cast<int>(ink));
  const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colours));
  const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colours + 4));
  const int high = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(first, inks)));
  const int low = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(second, inks)));
  return static_cast<uint8_t>(kReversed[high] << 4 | kReversed[low]);
}
#else
uint8_t PackEight(const Colour* colours, Colour ink) {
  unsigned byte = 0;
  for (size_t bit = 0; bit < 8; ++bit) byte = (byte << 1) | (colours[bit] == ink ? 1u : 0u);
  return static_cast<uint8_t>(byte);
}
#endif

// The preview's picture of the eight pixels of each byte, the first in bit 7: "11" for ink, two
// blanks for anything else, looked up rather than drawn pixel by pixel.
const std::array<std::array<char16_t, 16>, 256>& PixelPictures() {
  static const auto pictures = [] {
    std::array<std::array<char16_t, 16>, 256> table{};
    for (size_t byte = 0; byte < 256; ++byte) {
      for (size_t pixel = 0; pixel < 8; ++pixel) {
        const char16_t mark = (byte >> (7 - pixel)) & 1 ? u'1' : u' ';
        table[byte][2 * pixel] = mark;
        table[byte][2 * pixel + 1] = mark;
      }
    }
    return table;
  }();
  return pictures;
}

}  // namespace

void ScanGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell,
               std::vector<uint8_t>& bytes) {
  const size_t width = cell.Width();
  const size_t rowBytes = RowBytesOf(cell.Width());
  bytes.assign(cell.Rows() * rowBytes, 0);
  uint8_t* row = bytes.data();
  constexpr size_t kChunk = 256;  // pixels read at a time, a multiple of 8
  Colour colours[kChunk];
  for (int32_t y = cell.top; y < cell.bottom; ++y, row += rowBytes) {
    // Every row starts on a fresh byte, leftmost pixel in bit 7; a partial last byte keeps its
    // pixels in the high bits and zeros below them.
    for (size_t start = 0; start < width; start += kChunk) {
      const size_t count = std::min(kChunk, width - start);
      pixels.ReadPixelRow(static_cast<int32_t>(cell.left + int64_t(start)), y,
                          static_cast<int32_t>(count), colours);
      uint8_t* packed = row + start / 8;
      // A pixel is ink only when it equals the ink colour in all 32 bits. Whole bytes are built
      // in a register, eight pixels at a time.
      size_t i = 0;
      for (; i + 8 <= count; i += 8) packed[i >> 3] = PackEight(colours + i, ink);
      for (; i < count; ++i) {
        const unsigned isInk = colours[i] == ink ? 1u : 0u;
        packed[i >> 3] |= static_cast<uint8_t>(isInk << (7 - (i & 7)));
      }
    }
  }
}

void ScanGlyph(const GlyphCanvas& canvas, const GlyphCell& cell, std::vector<uint8_t>& bytes) {
  if (!canvas.ReadPackedCell(cell, bytes)) ScanGlyph(canvas, canvas.InkColour(), cell, bytes);
}

void AppendPreviewLines(const uint8_t* bytes, size_t width, size_t rows,
                        std::u16string& previewLines) {
  const size_t rowBytes = RowBytesOf(static_cast<uint32_t>(width));
  // Row hex text, one blank, the picture ("11" for ink, two blanks for anything else), CR LF.
  const size_t lineLength = 2 * rowBytes + 1 + 2 * width + 2;
  char16_t* out = Extend(previewLines, rows * lineLength);
  const auto& pictures = PixelPictures();
  for (size_t y = 0; y < rows; ++y, bytes += rowBytes) {
    for (size_t i = 0; i < rowBytes; ++i) {
      *out++ = kHexDigits[bytes[i] >> 4];
      *out++ = kHexDigits[bytes[i] & 0xF];
    }
    *out++ = u' ';
    for (size_t i = 0; i < width / 8; ++i, out += 16) {
      std::memcpy(out, pictures[bytes[i]].data(), sizeof pictures[0]);
    }
    if (width % 8 != 0) {
      std::copy_n(pictures[bytes[width / 8]].data(), 2 * (width % 8), out);
      out += 2 * (width % 8);
    }
    out[0] = u'\r';
    out[1] = u'\n';
    out += 2;
  }
}

}  // namespace pindot
