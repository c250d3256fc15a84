// Generate on installed fonts with the FreeType canvas and its clones drawing on several threads,
// held against the same Generate on one thread.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "font/font_canvas.h"
#include "generate_outcome.h"
#include "glyph/generator.h"
#include "test_fonts.h"
#include "text/character_set.h"

namespace pindot {
namespace {

using namespace testing;  // the test fonts, their styles and the outcome of a run

std::u16string Range(char16_t first, char16_t last) {
  std::u16string text;
  AppendCharacterRange(text, {first, last});
  return text;
}

// Runs the sample on one thread and on three, on fresh canvases and generators; returns the
// one-thread outcome.
GenerateOutcome ExpectThreadsChangeNothing(const std::string& name, const FontRequest& fontRequest,
                                           const std::u16string& sample,
                                           bool sortByUnicode = true) {
  GenerateOutcome outcomes[2];
  for (const unsigned threads : {1u, 3u}) {
    std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(fontRequest);
    Generator generator{CodePage(936)};
    generator.Settings().width = static_cast<uint32_t>(fontRequest.cellHeight);
    generator.Settings().height = static_cast<uint32_t>(fontRequest.cellHeight);
    generator.Settings().sortByUnicode = sortByUnicode;
    outcomes[threads == 1 ? 0 : 1] = RunGenerate(generator, sample, *canvas, threads);
  }
  EXPECT_FALSE(outcomes[0].glyphs.empty()) << name;
  ExpectSameOutcome(outcomes[1], outcomes[0], name);
  return outcomes[0];
}

TEST(ThreadedGenerate, DrawsWhatOneThreadDraws) {
  const std::u16string latin = Range(0x20, 0x24f) + u"\r\n" + Range(0x20, 0x7e);
  const std::u16string hanzi = Range(0x4e00, 0x4fff) + u"\u3002\uff01" + Range(0x4e00, 0x4e80);
  const std::tuple<const char*, std::string, int, int, std::u16string> cases[] = {
      {"Unifont, grid outlines", kUnifont, 16, kPlain, latin + hanzi},
      {"Unifont at 32, bold and italic", kUnifont, 32, kBold | kItalic, latin + hanzi},
      {"DejaVu Sans, hinting program", kDejaVu, 16, kPlain, latin},
      {"DejaVu Sans with lines", kDejaVu, 24, kLines, latin},
      {"WenQuanYi Zen Hei", kZenHei, 16, kPlain, latin + hanzi},
      {"WenQuanYi Zen Hei with lines, italic", kZenHei, 16, kLines | kItalic, latin + hanzi},
      // Through fontconfig: a face of a collection other than its first, and a Windows name that
      // the alias file draws with a stand-in sized as the named face.
      {"AR PL UMing TW, by name", "AR PL UMing TW", 20, kPlain, latin + hanzi},
      {"SimHei, by name, bold", "SimHei", 16, kBold, latin + hanzi},
  };
  for (const auto& [name, font, size, style, sample] : cases) {
    ExpectThreadsChangeNothing(name, TestFont(font, size, style), sample);
  }
  // ANSI keys: characters that code page 936 lacks share the space's key and are left out.
  ExpectThreadsChangeNothing("WenQuanYi Zen Hei, ANSI keys", TestFont(kZenHei, 16, kPlain),
                             latin + hanzi, false);
}

// wide_glyph.bdf's W advances 30000 pixels, which the canvas refuses midway through the sample.
TEST(ThreadedGenerate, ThrowsWhatOneThreadThrows) {
  const std::string wide = kTestFonts + "wide_glyph.bdf";
  // W is the 505th unit: the drawing threads take 16 at a time, so it is not the first of its lot.
  const std::u16string sample = Range(0x100, 0x2f7) + u"W" + Range(0x300, 0x4ff) + u"W";
  const GenerateOutcome alone =
      ExpectThreadsChangeNothing("wide_glyph.bdf", TestFont(wide, 8, kPlain), sample);
  EXPECT_EQ(alone.error, "cannot open font file \"" + wide +
                             "\": its glyph for U+0057 advances 30000 pixels, more than 1000");
  EXPECT_EQ(alone.progress.back(), 504u);
}

}  // namespace
}  // namespace pindot
