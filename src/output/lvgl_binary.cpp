#include "output/lvgl_binary.h"

#include <algorithm>
#include <cstddef>

namespace pindot {

namespace {

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// A table: its size (label included) and its four-letter label, then what `body` appends.
template <typename Body>
void PutTable(std::string& out, const char* label, Body body) {
  const size_t start = out.size();
  Put32(out, 0);
  out.append(label, 4);
  body();
  const auto size = static_cast<uint32_t>(out.size() - start);
  for (int i = 0; i < 4; ++i) out[start + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
}

// Bits written most significant first, as LVGL's loader reads them.
class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void Put(uint32_t value, int bits) {
    while (bits-- > 0) {
      pending_ = static_cast<uint8_t>((pending_ << 1) | ((value >> bits) & 1));
      if (++count_ == 8) Flush();
    }
  }
  // Fills the last byte with zeros.
  void Finish() {
    if (count_ > 0) {
      pending_ = static_cast<uint8_t>(pending_ << (8 - count_));
      Flush();
    }
  }

 private:
  void Flush() {
    out_.push_back(static_cast<char>(pending_));
    pending_ = 0;
    count_ = 0;
  }
  std::string& out_;
  uint8_t pending_ = 0;
  int count_ = 0;
};

int UnsignedBits(uint32_t value) {
  int bits = 1;
  while (bits < 32 && (value >> bits) != 0) ++bits;
  return bits;
}

// Bits for a two's complement field holding every value from low to high; at least two, since
// the loader's sign extension needs a sign bit beside a value bit.
int SignedBits(int32_t low, int32_t high) {
  int bits = 2;
  while (bits < 32 && (low < -(int64_t{1} << (bits - 1)) || high >= (int64_t{1} << (bits - 1)))) {
    ++bits;
  }
  return bits;
}

}  // namespace

std::string WriteLvglBinary(const InkFont& font) {
  CheckLvglLimits(font);
  const FaceLines lines = FontLines(font);
  const std::vector<LvglCharacterMap> maps = PlanCharacterMaps(font.glyphs);

  uint32_t widest = 0;
  uint32_t advance = 0;
  int32_t lowOffset = 0;
  int32_t highOffset = 0;
  for (const InkGlyph& glyph : font.glyphs) {
    widest = std::max({widest, glyph.width, glyph.height});
    advance = std::max(advance, static_cast<uint32_t>(std::max(glyph.advance, 0)));
    const int32_t bottom = glyph.top - static_cast<int32_t>(glyph.height);
    lowOffset = std::min({lowOffset, glyph.left, bottom});
    highOffset = std::max({highOffset, glyph.left, bottom});
  }
  const int advanceBits = UnsignedBits(advance);
  const int offsetBits = SignedBits(lowOffset, highOffset);
  const int boxBits = UnsignedBits(widest);

  // The glyphs first: loca needs their offsets, and its entry size depends on the last one.
  std::string glyphData;
  std::vector<uint32_t> offsets{0};  // glyph 0, "no glyph", has no data
  for (const InkGlyph& glyph : font.glyphs) {
    offsets.push_back(static_cast<uint32_t>(glyphData.size()));
    BitWriter bits(glyphData);
    bits.Put(static_cast<uint32_t>(std::max(glyph.advance, 0)), advanceBits);
    bits.Put(static_cast<uint32_t>(glyph.left), offsetBits);
    bits.Put(static_cast<uint32_t>(glyph.top - static_cast<int32_t>(glyph.height)), offsetBits);
    bits.Put(glyph.width, boxBits);
    bits.Put(glyph.height, boxBits);
    for (const uint8_t level : glyph.levels) bits.Put(level, glyph.bpp);
    bits.Finish();
  }
  // Offsets count from the start of the glyf table, its size and label included.
  const bool longOffsets = glyphData.size() + 8 > 0xFFFF;

  std::string out;
  PutTable(out, "head", [&] {
    Put32(out, 1);  // version
    Put16(out, 3);  // tables after this one: cmap, loca, glyf (a fourth would be kern)
    Put16(out, static_cast<uint32_t>(font.lines.lineHeight));
    Put16(out, static_cast<uint32_t>(lines.ascent));
    Put16(out, static_cast<uint32_t>(-lines.descent));
    Put16(out, static_cast<uint32_t>(lines.ascent));    // typographic ascent
    Put16(out, static_cast<uint32_t>(-lines.descent));  // typographic descent
    Put16(out, static_cast<uint32_t>(lines.lineHeight - lines.ascent - lines.descent));
    Put16(out, static_cast<uint32_t>(-lines.descent));  // lowest ink
    Put16(out, static_cast<uint32_t>(lines.ascent));    // highest ink
    Put16(out, 0);                                      // default advance: every glyph has its own
    Put16(out, 0);                                      // kerning scale: no kerning
    out.push_back(static_cast<char>(longOffsets ? 1 : 0));
    out.push_back(static_cast<char>(font.glyphs.size() + 1 > 0xFF ? 1 : 0));  // glyph id size
    out.push_back(0);  // advances in whole pixels
    out.push_back(static_cast<char>(font.bpp));
    out.push_back(static_cast<char>(offsetBits));
    out.push_back(static_cast<char>(boxBits));
    out.push_back(static_cast<char>(advanceBits));
    out.push_back(0);  // uncompressed
    out.push_back(0);  // no subpixels
    out.push_back(0);
    Put16(out, static_cast<uint32_t>(std::clamp(lines.underlinePosition, -128, 127)));
    Put16(out, static_cast<uint32_t>(std::clamp(lines.underlineThickness, 0, 127)));
  });
  const size_t cmapStart = out.size();
  PutTable(out, "cmap", [&] {
    Put32(out, static_cast<uint32_t>(maps.size()));
    // Headers first, then each sparse map's codes; data offsets count from the table's start.
    uint32_t dataOffset = static_cast<uint32_t>(12 + 16 * maps.size());
    for (const LvglCharacterMap& map : maps) {
      const bool sparse = !map.offsets.empty();
      Put32(out, sparse ? dataOffset : 0);
      Put32(out, map.rangeStart);
      Put16(out, map.rangeLength);
      Put16(out, map.firstGlyph);
      Put16(out, static_cast<uint32_t>(map.offsets.size()));
      out.push_back(static_cast<char>(sparse ? 3 : 2));  // sparse tiny : format 0 tiny
      out.push_back(0);
      dataOffset += static_cast<uint32_t>((map.offsets.size() * 2 + 3) / 4 * 4);
    }
    for (const LvglCharacterMap& map : maps) {
      for (const uint16_t offset : map.offsets) Put16(out, offset);
      while ((out.size() - cmapStart) % 4 != 0) out.push_back(0);
    }
  });
  PutTable(out, "loca", [&] {
    Put32(out, static_cast<uint32_t>(offsets.size()));
    for (const uint32_t offset : offsets) {
      if (longOffsets) {
        Put32(out, offset + 8);
      } else {
        Put16(out, offset + 8);
      }
    }
  });
  PutTable(out, "glyf", [&] { out += glyphData; });
  return out;
}

}  // namespace pindot
