#include "ui/output_lines.h"

#include <algorithm>

#include "glyph/glyph_scan.h"
#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

GlyphPreviewLines::GlyphPreviewLines(const Generator& generator) : generator_(generator) {
  uint32_t widest = 0;
  size_t line = 0;
  firstRow_.reserve(generator.Sample().size());
  for (char16_t unit : generator.Sample()) {
    const DrawnGlyph& glyph = generator.GlyphOfUnit(unit);
    firstRow_.push_back(line);
    if (glyph.rows > 0 && (glyph.width > widest || line == 0)) {
      widest = glyph.width;
      widestLine_ = line;
    }
    line += glyph.rows;
  }
  rowCount_ = line;
}

QString GlyphPreviewLines::Line(size_t index) const {
  if (index >= rowCount_) return {};
  // The last unit starting at or before the line; a unit of no rows starts where the next does.
  const auto unitIndex = static_cast<size_t>(
      std::upper_bound(firstRow_.begin(), firstRow_.end(), index) - firstRow_.begin() - 1);
  const size_t row = index - firstRow_[unitIndex];
  const DrawnGlyph& glyph = generator_.GlyphOfUnit(generator_.Sample()[unitIndex]);
  const size_t rowBytes = RowBytesOf(glyph.width);
  std::u16string text;
  AppendPreviewLines(generator_.GlyphBytes(glyph) + row * rowBytes, glyph.width, 1, text);
  text.resize(text.size() - 2);  // without its CR LF
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

namespace {

// The lead byte of a stored byte item; the byte's value follows it. Lead bytes of other units are
// below 0xF0.
constexpr unsigned char kByteItem = 0xF0;

int LowerHexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

}  // namespace

StoredText::StoredText() : lineStarts_{0} {}

void StoredText::NoteUnit(char16_t unit, size_t units) {
  lineUnits_ += units;
  if (unit == u'\n' && afterCr_) {
    lineUnits_ -= 2;  // the line ends before its CR LF
    if (lineUnits_ > widestUnits_) {
      widestUnits_ = lineUnits_;
      widestLine_ = lineStarts_.size() - 1;
    }
    lineUnits_ = 0;
    lineStarts_.push_back(bytes_.size());
  }
  afterCr_ = unit == u'\r';
}

void StoredText::AppendAscii(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char unit = text[i];
    if (unit == '0' && i + 6 <= text.size() && text[i + 1] == 'x' && text[i + 4] == ',' &&
        text[i + 5] == ' ') {
      const int high = LowerHexValue(text[i + 2]);
      const int low = LowerHexValue(text[i + 3]);
      if (high >= 0 && low >= 0) {
        bytes_.push_back(static_cast<char>(kByteItem));
        bytes_.push_back(static_cast<char>(high << 4 | low));
        NoteUnit(u' ', 6);
        i += 5;
        continue;
      }
    }
    bytes_.push_back(unit);
    NoteUnit(static_cast<char16_t>(unit));
  }
}

void StoredText::AppendText(std::u16string_view text) {
  for (char16_t unit : text) {
    if (unit < 0x80) {
      bytes_.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
      bytes_.push_back(static_cast<char>(0xC0 | (unit >> 6)));
      bytes_.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
      bytes_.push_back(static_cast<char>(0xE0 | (unit >> 12)));
      bytes_.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
      bytes_.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
    NoteUnit(unit);
  }
}

void StoredText::AppendBytes(std::string_view bytes) {
  AppendText(FromUtf8(bytes, "a file name"));
}

std::string_view StoredText::LineBytes(size_t index) const {
  const size_t start = lineStarts_[index];
  const size_t end = index + 1 < lineStarts_.size() ? lineStarts_[index + 1] - 2 : bytes_.size();
  return std::string_view(bytes_).substr(start, end - start);
}

QString StoredText::Line(size_t index) const {
  const std::string_view bytes = LineBytes(index);
  QString line(static_cast<qsizetype>(3 * bytes.size()), Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(line.data());
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == kByteItem) {
      const auto value = static_cast<unsigned char>(bytes[i + 1]);
      *out++ = u'0';
      *out++ = u'x';
      *out++ = kHexDigits[value >> 4];
      *out++ = kHexDigits[value & 0xF];
      *out++ = u',';
      *out++ = u' ';
      i += 2;
    } else if (byte >= 0xE0) {
      *out++ = static_cast<char16_t>(((byte & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) |
                                     (bytes[i + 2] & 0x3F));
      i += 3;
    } else if (byte >= 0xC0) {
      *out++ = static_cast<char16_t>(((byte & 0x1F) << 6) | (bytes[i + 1] & 0x3F));
      i += 2;
    } else {
      *out++ = byte;
      ++i;
    }
  }
  line.truncate(out - reinterpret_cast<char16_t*>(line.data()));
  return line;
}

size_t StoredText::WidestLine() const {
  return lineUnits_ > widestUnits_ ? lineStarts_.size() - 1 : widestLine_;
}

std::u16string StoredText::ToU16String() const {
  std::u16string text;
  for (size_t index = 0; index < lineStarts_.size(); ++index) {
    if (index > 0) text += u"\r\n";
    const QString line = Line(index);
    text.append(reinterpret_cast<const char16_t*>(line.utf16()), static_cast<size_t>(line.size()));
  }
  return text;
}

}  // namespace pindot
