#include "output/font_data_text.h"

#include <gtest/gtest.h>

#include "ascii_canvas.h"
#include "generate_outcome.h"
#include "glyph/generator.h"
#include "golden.h"
#include "text/code_page.h"
#include "text/utf.h"
#include "worked_example.h"

namespace pindot {
namespace {

TEST(FontDataText, WorkedExampleInBothKeys) {
  for (bool unicode : {true, false}) {
    testing::AsciiCanvas canvas = testing::WorkedExampleCanvas();
    testing::RecordingProgress progress;
    Generator generator{CodePage(936)};
    generator.Settings().width = 8;
    generator.Settings().height = 2;
    generator.Settings().sortByUnicode = unicode;
    generator.Generate(u"j\u4e2dij", canvas, progress);
    testing::ExpectMatchesGolden(
        unicode ? "font_data_worked_example.txt" : "font_data_worked_example_ansi936.txt",
        ToUtf8(BuildFontDataText(generator, progress)));
    // The render pass counts four units, the data text three entries.
    EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{4, 3}));
    EXPECT_EQ(progress.position, 3u);
  }
}

// The font data text of a sample of "a" and "c" (1 pixel wide, blank) and "b" (as wide as the wide
// cell, its last pixel inked), or of part of it.
std::u16string DataText(std::u16string_view sample, uint32_t width, uint32_t height,
                        bool unicode = true, const DataTextOptions& options = {}) {
  testing::AsciiCanvas canvas(height);
  canvas.SetGlyph(u'a', {"."});
  canvas.SetGlyph(u'c', {"."});
  canvas.SetGlyph(u'b', {std::string(width - 1, '.') + "#"});
  Generator generator{CodePage(1252)};
  generator.Settings().width = width;
  generator.Settings().height = height;
  generator.Settings().sortByUnicode = unicode;
  NoProgress progress;
  generator.Generate(sample, canvas, progress);
  return BuildFontDataText(generator, progress, options);
}

// Each table is declared with its cell's bytes (((w + 7) >> 3) x H) and its count, straight
// before its entries.
TEST(FontDataText, DeclaresEachTableWithItsCellAndCount) {
  const std::tuple<uint32_t, uint32_t, bool, DataTextOptions, std::u16string, std::u16string>
      cases[] = {
          {16,
           16,
           true,
           {},
           u"struct _thin_unicode_font8x16 {unsigned short value; unsigned char data[1][16];} "
           u"thin_unicode_font8x16[2] = ",
           u"struct _wide_unicode_font16x16 {unsigned short value; unsigned char data[2][16];} "
           u"wide_unicode_font16x16[1] = "},
          {15,
           12,
           false,
           {},
           u"struct _thin_ansi_font8x12 {unsigned short value; unsigned char data[1][12];} "
           u"thin_ansi_font8x12[2] = ",
           u"struct _wide_ansi_font15x12 {unsigned short value; unsigned char data[2][12];} "
           u"wide_ansi_font15x12[1] = "},
          {9,
           0,
           true,
           {true, u"tiny"},
           u"const struct _thin_tiny {unsigned short value; unsigned char data[1][0];} "
           u"thin_tiny[2] = ",
           u"const struct _wide_tiny {unsigned short value; unsigned char data[2][0];} "
           u"wide_tiny[1] = "},
      };
  for (const auto& [width, height, unicode, options, thin, wide] : cases) {
    const std::u16string text = DataText(u"abc", width, height, unicode, options);
    EXPECT_NE(text.find(thin + u"\r\n{\r\n"), std::u16string::npos) << ToUtf8(text);
    EXPECT_NE(text.find(wide + u"\r\n{\r\n"), std::u16string::npos) << ToUtf8(text);
  }
}

// The thin table ends with a blank line, the wide one without; a list without entries gets no
// table at all.
TEST(FontDataText, DeclaresOnlyTheTablesWithEntries) {
  const std::u16string onlyThin = DataText(u"ac", 16, 1);
  EXPECT_EQ(onlyThin.substr(onlyThin.size() - 18), u"{0x00}\r\n\t}\r\n};\r\n\r\n");
  EXPECT_EQ(onlyThin.find(u"wide"), std::u16string::npos);
  const std::u16string onlyWide = DataText(u"b", 2, 1);
  EXPECT_EQ(onlyWide.substr(151, 13), u"struct _wide_");  // straight after the preamble
  EXPECT_EQ(onlyWide.substr(onlyWide.size() - 16), u"{0x40}\r\n\t}\r\n};\r\n");
  EXPECT_EQ(DataText(u"", 16, 1), u"");
}

TEST(FontDataText, CharacterLiteralIsEscapedSoTheCCompiles) {
  const std::pair<char16_t, std::u16string> cases[] = {
      {u'"', u"\\\""},   {u'\\', u"\\\\"},    {u'\r', u"\\r"},        {u'\n', u"\\n"},
      {u'\t', u"\\t"},   {u'\x01', u"\\001"}, {u'\x1f', u"\\037"},    {u'\x7f', u"\\177"},
      {u'\0', u"\\000"}, {u'\'', u"'"},       {u'\u4e2d', u"\u4e2d"},
  };
  for (const auto& [character, literal] : cases) {
    std::u16string text;
    Utf16Sink sink(text);
    WriteCharacterLiteral(sink, character);
    EXPECT_EQ(text, literal);
  }
}

}  // namespace
}  // namespace pindot
