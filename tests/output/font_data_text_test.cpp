#include "output/font_data_text.h"

#include <gtest/gtest.h>

#include "ascii_canvas.h"
#include "glyph/generator.h"
#include "golden.h"
#include "recording_progress.h"
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

TEST(FontDataText, HeaderLinesFollowTheWidthSetting) {
  struct Case {
    uint32_t width, height;
    bool unicode;
    TableKind kind;
    uint32_t count;
    std::u16string line;
  } const cases[] = {
      {16, 16, true, TableKind::kThin, 95,
       u"struct _thin_unicode_font8x16 {unsigned short value; unsigned char data[1][16];} "
       u"thin_unicode_font8x16[95] = "},
      {16, 16, true, TableKind::kWide, 3,
       u"struct _wide_unicode_font16x16 {unsigned short value; unsigned char data[2][16];} "
       u"wide_unicode_font16x16[3] = "},
      {15, 12, false, TableKind::kThin, 1,
       u"struct _thin_ansi_font8x12 {unsigned short value; unsigned char data[1][12];} "
       u"thin_ansi_font8x12[1] = "},
      {15, 12, false, TableKind::kWide, 1,
       u"struct _wide_ansi_font15x12 {unsigned short value; unsigned char data[2][12];} "
       u"wide_ansi_font15x12[1] = "},
      {4, 0, true, TableKind::kThin, 7,
       u"struct _thin_unicode_font2x0 {unsigned short value; unsigned char data[1][0];} "
       u"thin_unicode_font2x0[7] = "},
  };
  for (const Case& c : cases) {
    GeneratorSettings settings;
    settings.width = c.width;
    settings.height = c.height;
    settings.sortByUnicode = c.unicode;
    std::u16string text = u"replaced";
    FormatTableHeader(text, c.kind, settings, c.count);
    EXPECT_EQ(text, c.line);
    FormatTableHeader(text, c.kind, settings, c.count, DataTextOptions{true, {}});
    EXPECT_EQ(text, u"const " + c.line);
  }
}

// a is blank and 1 pixel wide, b 8 wide with its last pixel inked in its one row (0x01). At W = 2
// the thin cell is 1 wide, so a is thin and b wide; at W = 16 both are thin.
TEST(FontDataText, ClosersDependOnWhichListsHaveEntries) {
  testing::AsciiCanvas canvas(1);
  canvas.SetGlyph(u'a', {"."});
  canvas.SetGlyph(u'b', {".......#"});
  NoProgress progress;
  Generator generator{CodePage(1252)};
  generator.Settings().height = 1;
  const auto entryText = [](char16_t character, const char16_t* bytes) {
    return u"\t{\r\n\t\tEX_FONT_CHAR(\"" + std::u16string(1, character) +
           u"\")\r\n\t\tEX_FONT_UNICODE_VAL(0x006" +
           std::u16string(1, character == u'a' ? u'1' : u'2') + u")\r\n\t\t{" + bytes + u"}\r\n\t}";
  };

  generator.Settings().width = 16;
  generator.Generate(u"ab", canvas, progress);
  const std::u16string onlyThin = BuildFontDataText(generator, progress);
  const std::u16string thinEntries =
      u"\r\n{\r\n" + entryText(u'a', u"0x00") + u",\r\n" + entryText(u'b', u"0x01");
  EXPECT_EQ(onlyThin.substr(onlyThin.size() - thinEntries.size() - 8),
            thinEntries + u"\r\n};\r\n\r\n");
  EXPECT_EQ(onlyThin.find(u"wide"), std::u16string::npos);

  generator.Settings().width = 2;
  generator.Generate(u"b", canvas, progress);
  const std::u16string onlyWide = BuildFontDataText(generator, progress);
  EXPECT_EQ(onlyWide.substr(151, 13), u"struct _wide_");  // straight after the preamble
  EXPECT_EQ(onlyWide.substr(onlyWide.size() - 7), u"}\r\n};\r\n");

  generator.Generate(u"", canvas, progress);
  EXPECT_EQ(BuildFontDataText(generator, progress), u"");
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
