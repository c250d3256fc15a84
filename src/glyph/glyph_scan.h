// Reads a drawn glyph cell back (its pixels, or its canvas's packed cell) as bytes, row by row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "glyph/glyph_canvas.h"
#include "glyph/pixel_source.h"

namespace pindot {

// The scan keeps the bytes; the texts are written from them when they are wanted. A bit is set
// exactly where a pixel is ink. Replaces `bytes` with the packed cell: height x ceil(width / 8)
// bytes, rows from the top, each row starting on a fresh byte.
void ScanGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell,
               std::vector<uint8_t>& bytes);
// The same bytes for a glyph drawn on a canvas: its packed cell when it gives one (one call per
// glyph), otherwise its pixels against its ink colour.
void ScanGlyph(const GlyphCanvas& canvas, const GlyphCell& cell, std::vector<uint8_t>& bytes);
// Appends the preview lines of `rows` rows of `width` pixels packed as ScanGlyph packs them.
void AppendPreviewLines(const uint8_t* bytes, size_t width, size_t rows,
                        std::u16string& previewLines);

}  // namespace pindot
