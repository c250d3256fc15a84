#include "output/font_data_text.h"

#include <gtest/gtest.h>

#include "glyph/generator.h"
#include "text/code_page.h"

namespace pindot {
namespace {

GlyphList ListOf(std::u16string_view characters, const CodePage& codePage) {
  GlyphList list;
  for (char16_t unit : characters) list.Append(MakeGlyphEntry(unit, u"0x0f", true, codePage));
  return list;
}

TEST(FontDataText, HeaderLinesFollowTheWidthSetting) {
  GeneratorSettings settings;
  settings.width = 16;
  settings.height = 16;
  std::u16string text = u"old text is replaced";
  FormatTableHeader(text, TableKind::kThin, settings, 95);
  EXPECT_EQ(text,
            u"struct _thin_unicode_font8x16 {unsigned short value; unsigned char data[1][16];} "
            u"thin_unicode_font8x16[95] = ");
  FormatTableHeader(text, TableKind::kWide, settings, 3);
  EXPECT_EQ(text,
            u"struct _wide_unicode_font16x16 {unsigned short value; unsigned char data[2][16];} "
            u"wide_unicode_font16x16[3] = ");

  settings.width = 15;
  settings.height = 12;
  settings.sortByUnicode = false;
  FormatTableHeader(text, TableKind::kThin, settings, 1);
  EXPECT_EQ(text,
            u"struct _thin_ansi_font8x12 {unsigned short value; unsigned char data[1][12];} "
            u"thin_ansi_font8x12[1] = ");
  FormatTableHeader(text, TableKind::kWide, settings, 1);
  EXPECT_EQ(text,
            u"struct _wide_ansi_font15x12 {unsigned short value; unsigned char data[2][12];} "
            u"wide_ansi_font15x12[1] = ");
  settings.width = 4;
  FormatTableHeader(text, TableKind::kThin, settings, 7);
  EXPECT_EQ(text.substr(0, 58), u"struct _thin_ansi_font2x12 {unsigned short value; unsigned");
  EXPECT_NE(text.find(u"data[1][12]"), std::u16string::npos);
}

TEST(FontDataText, ClosersDependOnWhichListsHaveEntries) {
  CodePage codePage(1252);
  GeneratorSettings settings;
  NoProgress progress;
  GlyphList empty;
  GlyphList some = ListOf(u"ab", codePage);

  std::u16string onlyThin = BuildFontDataText(some, empty, settings, progress);
  EXPECT_EQ(onlyThin.substr(onlyThin.size() - 9), u"}\r\n};\r\n\r\n");
  EXPECT_EQ(onlyThin.find(u"wide"), std::u16string::npos);

  std::u16string onlyWide = BuildFontDataText(empty, some, settings, progress);
  EXPECT_EQ(onlyWide.substr(onlyWide.size() - 7), u"}\r\n};\r\n");
  // The preamble is followed directly by the wide header line.
  EXPECT_EQ(onlyWide.substr(151, 23), u"struct _wide_unicode_fo");

  EXPECT_EQ(BuildFontDataText(empty, empty, settings, progress), u"");
}

TEST(FontDataText, EntriesWithoutBytesAndTheirSeparators) {
  CodePage codePage(1252);
  GlyphList list;
  list.Append(MakeGlyphEntry(u'a', u"", true, codePage));
  list.Append(MakeGlyphEntry(u'b', u"0x01", true, codePage));
  std::u16string text;
  NoProgress progress;
  AppendEntryTexts(list, text, true, progress);
  EXPECT_EQ(text,
            u"\r\n{\r\n\t{\r\n\t\tEX_FONT_CHAR(\"a\")\r\n\t\tEX_FONT_UNICODE_VAL(0x0061)\r\n\t\t{}"
            u"\r\n\t},\r\n\t{\r\n\t\tEX_FONT_CHAR(\"b\")\r\n\t\tEX_FONT_UNICODE_VAL(0x0062)\r\n\t\t"
            u"{0x01}\r\n\t}");
}

TEST(FontDataText, CharacterLiteralIsEscapedSoTheCCompiles) {
  struct Case {
    std::u16string character;
    std::u16string literal;
  };
  const Case cases[] = {
      {u"\"", u"\\\""},       {u"\\", u"\\\\"},    {u"\r", u"\\r"},
      {u"\n", u"\\n"},        {u"\t", u"\\t"},     {u"\x01", u"\\001"},
      {u"\x1f", u"\\037"},    {u"\x7f", u"\\177"}, {std::u16string(1, u'\0'), u"\\000"},
      {u"'", u"'"},           {u"?", u"?"},        {u"\u4e2d", u"\u4e2d"},
      {u"\u00a0", u"\u00a0"}, {u"a", u"a"},
  };
  for (const Case& c : cases) {
    std::u16string text;
    AppendCharacterLiteral(text, c.character);
    EXPECT_EQ(text, c.literal) << static_cast<int>(c.character[0]);
  }
}

}  // namespace
}  // namespace pindot
