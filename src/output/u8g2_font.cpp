#include "output/u8g2_font.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/user_error.h"
#include "text/number_text.h"

namespace pindot {

namespace {

constexpr size_t kHeaderBytes = 23;
constexpr size_t kMaximumGlyphBytes = 255;   // a glyph's size is one byte
constexpr size_t kMaximumBlockGlyphs = 200;  // 200 x 255 bytes stay within a 16-bit jump

// Bits appended from the least significant end of each byte, every value lowest bit first: the
// order u8g2 reads them in.
class BitWriter {
 public:
  void Put(uint32_t value, unsigned count) {
    for (unsigned i = 0; i < count; ++i, ++bit_) {
      if (bit_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(1 << (bit_ % 8));
    }
  }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t bit_ = 0;
};

// The fewest bits that hold 0..maximum, at least one.
unsigned UnsignedBits(uint32_t maximum) {
  unsigned bits = 1;
  while ((maximum >> bits) != 0) ++bits;
  return bits;
}

// The fewest bits that hold low..high stored with a bias of 2^(bits - 1), at least one.
unsigned SignedBits(int32_t low, int32_t high) {
  unsigned bits = 1;
  while (low < -(1 << (bits - 1)) || high > (1 << (bits - 1)) - 1) ++bits;
  return bits;
}

struct GlyphBox {
  const InkGlyph* glyph;
  int32_t x;                   // left edge from the pen
  int32_t y;                   // bottom edge above the baseline
  std::vector<uint32_t> runs;  // pixel runs row by row: zeros, ones, zeros, ... starting with zeros
};

std::vector<uint32_t> RunsOf(const InkGlyph& glyph) {
  std::vector<uint32_t> runs{0};
  uint8_t current = 0;
  for (uint8_t level : glyph.levels) {
    const uint8_t ink = level != 0;
    if (ink != current) runs.push_back(0), current = ink;
    ++runs.back();
  }
  return runs;
}

// Calls `group(a, b, count)` for every run of equal (zeros, ones) pairs the runs become when a pair
// holds at most max0 zeros and max1 ones: u8g2 draws a zeros then b ones, count times over.
template <typename Group>
void ForEachGroup(const std::vector<uint32_t>& runs, uint32_t max0, uint32_t max1, Group group) {
  uint32_t a = 0, b = 0, count = 0;
  const auto pair = [&](uint32_t zeros, uint32_t ones) {
    if (count != 0 && zeros == a && ones == b) {
      ++count;
      return;
    }
    if (count != 0) group(a, b, count);
    a = zeros, b = ones, count = 1;
  };
  for (size_t i = 0; i < runs.size(); i += 2) {
    uint32_t zeros = runs[i];
    uint32_t ones = i + 1 < runs.size() ? runs[i + 1] : 0;
    for (; zeros > max0; zeros -= max0) pair(max0, 0);
    uint32_t take = std::min(ones, max1);
    pair(zeros, take);
    for (ones -= take; ones > 0; ones -= take) pair(0, take = std::min(ones, max1));
  }
  if (count != 0) group(a, b, count);
}

struct FieldBits {
  unsigned zeros = 0, ones = 0, width = 0, height = 0, x = 0, y = 0, advance = 0;
  unsigned Fixed() const { return width + height + x + y + advance; }
};

void CheckFits(const InkGlyph& glyph, int32_t bottom) {
  const auto inside = [](int32_t v) { return v >= -128 && v <= 127; };
  if (glyph.width > 127 || glyph.height > 127 || !inside(glyph.left) || !inside(bottom) ||
      !inside(glyph.advance)) {
    throw UserError(
        "u8g2 fonts hold glyphs up to 127 pixels wide and high, offsets and advances "
        "of -128 to 127: " +
        CodePointName(glyph.unit) + " is " + std::to_string(glyph.width) + " x " +
        std::to_string(glyph.height) + " pixels at " + std::to_string(glyph.left) + ", " +
        std::to_string(bottom) + " with an advance of " + std::to_string(glyph.advance) +
        "; draw the font smaller");
  }
}

int8_t Clamped(int32_t value) {
  return static_cast<int8_t>(std::clamp(value, -128, 127));
}

void PutWord(std::vector<uint8_t>& bytes, size_t at, size_t value) {
  bytes[at] = static_cast<uint8_t>(value >> 8);
  bytes[at + 1] = static_cast<uint8_t>(value);
}

}  // namespace

std::vector<uint8_t> EncodeU8g2Font(const std::vector<InkGlyph>& glyphs, const FaceLines& lines) {
  std::vector<GlyphBox> boxes;
  boxes.reserve(glyphs.size());
  for (const InkGlyph& glyph : glyphs) {
    const int32_t bottom = glyph.top - static_cast<int32_t>(glyph.height);
    CheckFits(glyph, bottom);
    boxes.push_back(GlyphBox{&glyph, glyph.left, bottom,
                             glyph.width ? RunsOf(glyph) : std::vector<uint32_t>{}});
  }
  std::sort(boxes.begin(), boxes.end(),
            [](const GlyphBox& a, const GlyphBox& b) { return a.glyph->unit < b.glyph->unit; });

  // The bit fields: as narrow as the values allow.
  FieldBits bits;
  uint32_t maxWidth = 0, maxHeight = 0;
  int32_t xLow = 0, xHigh = 0, yLow = 0, yHigh = 0, dLow = 0, dHigh = 0;
  int32_t boxLeft = INT32_MAX, boxRight = INT32_MIN, boxBottom = INT32_MAX, boxTop = INT32_MIN;
  for (const GlyphBox& box : boxes) {
    const InkGlyph& g = *box.glyph;
    maxWidth = std::max(maxWidth, g.width), maxHeight = std::max(maxHeight, g.height);
    xLow = std::min(xLow, box.x), xHigh = std::max(xHigh, box.x);
    yLow = std::min(yLow, box.y), yHigh = std::max(yHigh, box.y);
    dLow = std::min(dLow, g.advance), dHigh = std::max(dHigh, g.advance);
    if (g.width == 0 || g.height == 0) continue;
    boxLeft = std::min(boxLeft, box.x);
    boxRight = std::max(boxRight, box.x + static_cast<int32_t>(g.width));
    boxBottom = std::min(boxBottom, box.y);
    boxTop = std::max(boxTop, g.top);
  }
  if (boxLeft == INT32_MAX) boxLeft = boxRight = boxBottom = boxTop = 0;
  bits.width = UnsignedBits(maxWidth);
  bits.height = UnsignedBits(maxHeight);
  bits.x = SignedBits(xLow, xHigh);
  bits.y = SignedBits(yLow, yHigh);
  bits.advance = SignedBits(dLow, dHigh);

  // The run-length widths that make the font smallest while every glyph keeps to 255 bytes.
  size_t bestTotal = SIZE_MAX;
  size_t smallestLargest = SIZE_MAX;
  const InkGlyph* largestGlyph = nullptr;
  for (unsigned zeros = 1; zeros <= 8; ++zeros) {
    for (unsigned ones = 1; ones <= 8; ++ones) {
      size_t total = 0, largest = 0;
      const InkGlyph* largestHere = nullptr;
      for (const GlyphBox& box : boxes) {
        size_t glyphBits = bits.Fixed();
        ForEachGroup(
            box.runs, (1u << zeros) - 1, (1u << ones) - 1,
            [&](uint32_t, uint32_t, uint32_t count) { glyphBits += zeros + ones + count; });
        const size_t bytes = (box.glyph->unit > 0xFF ? 3 : 2) + (glyphBits + 7) / 8;
        total += bytes;
        if (bytes > largest) largest = bytes, largestHere = box.glyph;
      }
      if (largest < smallestLargest) smallestLargest = largest, largestGlyph = largestHere;
      if (largest <= kMaximumGlyphBytes && total < bestTotal) {
        bestTotal = total, bits.zeros = zeros, bits.ones = ones;
      }
    }
  }
  if (bits.zeros == 0) {
    throw UserError(
        "u8g2 fonts hold up to 255 bytes a glyph: " + CodePointName(largestGlyph->unit) +
        " takes " + std::to_string(smallestLargest) + "; draw the font smaller");
  }

  std::vector<uint8_t> font(kHeaderBytes, 0);
  font[0] = static_cast<uint8_t>(std::min<size_t>(boxes.size(), 255));
  font[1] = 0;  // each glyph has its own box
  const unsigned headerBits[] = {bits.zeros, bits.ones, bits.width,  bits.height,
                                 bits.x,     bits.y,    bits.advance};
  std::copy(std::begin(headerBits), std::end(headerBits), font.begin() + 2);
  font[9] = static_cast<uint8_t>(Clamped(boxRight - boxLeft));
  font[10] = static_cast<uint8_t>(Clamped(boxTop - boxBottom));
  font[11] = static_cast<uint8_t>(Clamped(boxLeft));
  font[12] = static_cast<uint8_t>(Clamped(boxBottom));
  // Ascent of "A", descent of "g", ascent and descent of "(": from those glyphs when drawn, else
  // the face's own lines.
  const auto find = [&](char16_t unit) -> const GlyphBox* {
    for (const GlyphBox& box : boxes)
      if (box.glyph->unit == unit && box.glyph->height != 0) return &box;
    return nullptr;
  };
  const GlyphBox* capital = find(u'A');
  const GlyphBox* descender = find(u'g');
  const GlyphBox* parenthesis = find(u'(');
  font[13] = static_cast<uint8_t>(Clamped(capital ? capital->glyph->top : lines.ascent));
  font[14] = static_cast<uint8_t>(Clamped(descender ? descender->y : -lines.descent));
  font[15] = static_cast<uint8_t>(Clamped(parenthesis ? parenthesis->glyph->top : lines.ascent));
  font[16] = static_cast<uint8_t>(Clamped(parenthesis ? parenthesis->y : -lines.descent));

  const auto glyphRecord = [&](const GlyphBox& box) {
    const InkGlyph& g = *box.glyph;
    BitWriter writer;
    writer.Put(g.width, bits.width);
    writer.Put(g.height, bits.height);
    writer.Put(static_cast<uint32_t>(box.x + (1 << (bits.x - 1))), bits.x);
    writer.Put(static_cast<uint32_t>(box.y + (1 << (bits.y - 1))), bits.y);
    writer.Put(static_cast<uint32_t>(g.advance + (1 << (bits.advance - 1))), bits.advance);
    ForEachGroup(box.runs, (1u << bits.zeros) - 1, (1u << bits.ones) - 1,
                 [&](uint32_t a, uint32_t b, uint32_t count) {
                   writer.Put(a, bits.zeros);
                   writer.Put(b, bits.ones);
                   for (uint32_t i = 1; i < count; ++i) writer.Put(1, 1);
                   writer.Put(0, 1);
                 });
    std::vector<uint8_t> record;
    if (g.unit > 0xFF) record.push_back(static_cast<uint8_t>(g.unit >> 8));
    record.push_back(static_cast<uint8_t>(g.unit));
    record.push_back(static_cast<uint8_t>(record.size() + 1 + writer.Bytes().size()));
    record.insert(record.end(), writer.Bytes().begin(), writer.Bytes().end());
    return record;
  };

  // Glyphs up to U+00FF: code, size, bits; the search for a letter starts at "A" or "a".
  size_t upperA = SIZE_MAX, lowerA = SIZE_MAX;
  auto unicode = boxes.begin();
  for (; unicode != boxes.end() && unicode->glyph->unit <= 0xFF; ++unicode) {
    const size_t offset = font.size() - kHeaderBytes;
    if (upperA == SIZE_MAX && unicode->glyph->unit >= u'A') upperA = offset;
    if (lowerA == SIZE_MAX && unicode->glyph->unit >= u'a') lowerA = offset;
    const std::vector<uint8_t> record = glyphRecord(*unicode);
    font.insert(font.end(), record.begin(), record.end());
  }
  const size_t end = font.size() - kHeaderBytes;
  PutWord(font, 17, std::min(upperA, end));
  PutWord(font, 19, std::min(lowerA, end));
  font.push_back(0), font.push_back(0);
  PutWord(font, 21, font.size() - kHeaderBytes);

  // Above U+00FF: a jump table of (bytes to the block's first glyph from the previous one, the
  // block's last code; 0xffff for the last block so every search stops), then the blocks.
  const size_t count = static_cast<size_t>(boxes.end() - unicode);
  const size_t perBlock =
      std::clamp<size_t>(static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(count)))), 1,
                         kMaximumBlockGlyphs);
  const size_t blocks = std::max<size_t>((count + perBlock - 1) / perBlock, 1);
  const size_t table = font.size();
  font.resize(table + 4 * blocks, 0);
  size_t previous = 4 * blocks;  // the first jump is from the table's start
  for (size_t block = 0; block < blocks; ++block) {
    const size_t start = font.size();
    for (size_t i = block * perBlock; i < std::min(count, (block + 1) * perBlock); ++i) {
      const std::vector<uint8_t> record = glyphRecord(unicode[static_cast<ptrdiff_t>(i)]);
      font.insert(font.end(), record.begin(), record.end());
    }
    PutWord(font, table + 4 * block, previous);
    const size_t last = std::min(count, (block + 1) * perBlock);
    PutWord(font, table + 4 * block + 2,
            block + 1 == blocks ? 0xFFFF : unicode[static_cast<ptrdiff_t>(last - 1)].glyph->unit);
    previous = font.size() - start;
  }
  font.push_back(0), font.push_back(0);
  return font;
}

SourcePair WriteU8g2Font(std::string_view name, std::string_view headerName,
                         const std::vector<InkGlyph>& glyphs, const FaceLines& lines) {
  const std::vector<uint8_t> font = EncodeU8g2Font(glyphs, lines);
  SourcePair files;
  files.header = HeaderStart(name, std::string(name) + ": a u8g2 font made by pindot, for " +
                                       "u8g2_SetFont(&u8g2, " + std::string(name) + ")");
  files.header += "\nextern const uint8_t " + std::string(name) + "[" +
                  std::to_string(font.size()) + "];\n" + HeaderEnd(name);
  files.source = "#include \"" + std::string(headerName) + "\"\n\n" + kProgramMemoryLines +
                 "\nconst uint8_t " + std::string(name) + "[" + std::to_string(font.size()) +
                 "] PROGMEM = {\n";
  AppendByteList(files.source, font.data(), font.size());
  files.source += "};\n";
  return files;
}

}  // namespace pindot
