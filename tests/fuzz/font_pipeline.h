// One untrusted font file through everything a font goes through, for the fuzzer and its replay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pindot {

// An input is a few bytes of settings and then the font file:
//
//   byte 0   bits 0-5: the size in pixels minus one (1..64); bit 6: an em height rather than a
//            cell height; bit 7: the glyph sheet is drawn too
//   byte 1   bit 0 bold, 1 italic, 2 underline, 3 strike-out, 4 ANSI keys, 5 const tables,
//            6 loss lines in Chinese, 7 every lost character listed
//   byte 2   bits 0-1: the sample (see kSamples); bits 2-3: the code page (1252, 936, 932, 950);
//            bits 4-7: how many UTF-16 units of the input follow to be added to the sample
//   byte 3   the wide cell's width as --width gives it; 0 keeps the measured width
//   then     two bytes per added unit, low byte first
//   the rest the font file
//
// The font is opened from a file holding those bytes, measured, a Generate is run on the sample
// (cut where its cells come to some four million pixels), and the glyph preview, the font data
// text, the loss lines and both export files are made (the files are written into a temporary
// folder and never put in place). A font refused with UserError is an expected end: its message is
// returned (empty when the font went through, and for an input too short to hold the settings).
// Anything else comes out: a crash, another exception, a sanitizer report.
std::string RunFontPipeline(const uint8_t* data, size_t size);

}  // namespace pindot
