// The window's two output texts as lines for a TextView: made from the glyphs, or kept compact.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator.h"
#include "output/text_sink.h"
#include "ui/text_view.h"

namespace pindot {

// The glyph preview text of a run, each line made from the packed glyphs when it is asked for, so
// the text itself (some 300 units per glyph row at 128 pixels) is never held.
class GlyphPreviewLines : public TextLines {
 public:
  // `generator` stays unchanged while this is shown.
  explicit GlyphPreviewLines(const Generator& generator);

  size_t LineCount() const override { return rowCount_ + 1; }
  QString Line(size_t index) const override;
  size_t WidestLine() const override { return widestLine_; }

 private:
  const Generator& generator_;
  std::vector<size_t> firstRow_;  // per sample unit: its first line
  size_t rowCount_ = 0;
  size_t widestLine_ = 0;
};

// A text kept as it is written, compactly, split into lines at CR LF. An ASCII unit is one byte,
// any other unit two or three (UTF-8's patterns applied to each unit alone, so lone surrogates
// survive), and a byte item of a C table, "0x3f, ", two. The font data text of 20,902 glyphs at
// 64 pixels, 66 million units, takes 22 MB here instead of 132 as UTF-16.
class StoredText : public TextSink, public TextLines {
 public:
  StoredText();
  // Makes room for a text of up to about `units` units, so the text is not copied as it grows
  // (room never written costs no memory).
  void Reserve(size_t units) { bytes_.reserve(units); }

  void AppendAscii(std::string_view text) override;
  void AppendLiteralUnit(char16_t unit) override { AppendText(std::u16string_view(&unit, 1)); }
  void AppendText(std::u16string_view text) override;
  void AppendBytes(std::string_view bytes) override;  // UTF-8

  size_t LineCount() const override { return lineStarts_.size(); }
  QString Line(size_t index) const override;
  size_t WidestLine() const override;
  std::u16string ToU16String() const;

 private:
  // Counts a unit just stored into its line, and starts the next line after a CR LF.
  void NoteUnit(char16_t unit, size_t units = 1);
  std::string_view LineBytes(size_t index) const;

  std::string bytes_;
  std::vector<size_t> lineStarts_;
  bool afterCr_ = false;
  size_t lineUnits_ = 0;  // of the last line so far
  size_t widestLine_ = 0;
  size_t widestUnits_ = 0;
};

}  // namespace pindot
