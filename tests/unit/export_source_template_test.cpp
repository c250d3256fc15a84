#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "output/source_template.h"

namespace pindot {
namespace {

// The lines of a text whose every line ends with CR LF; a missing last CR LF fails the test.
std::vector<std::u16string> Lines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u"\r\n", start);
    if (end == std::u16string::npos) {
      ADD_FAILURE() << "text does not end with CR LF";
      end = text.size();
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

struct Built {
  std::u16string header;
  std::u16string source;
};

Built BuildWith(int32_t height, int32_t wideWidth, int32_t thinWidth, int32_t isAnsi,
                std::u16string title, std::u16string data) {
  SourceTemplate sourceTemplate;
  sourceTemplate.SetHeight(height);
  sourceTemplate.SetWideWidth(wideWidth);
  sourceTemplate.SetThinWidth(thinWidth);
  sourceTemplate.SetIsAnsi(isAnsi);
  sourceTemplate.SetFileTitle(title);
  sourceTemplate.SetData(data);
  Built built;
  sourceTemplate.Build(built.header, built.source);
  return built;
}

TEST(SourceTemplateTest, HeaderIsFilledLineForLine) {
  Built built = BuildWith(7, 10, 5, 0, u"song7", u"ignored");
  EXPECT_EQ(built.header,
            u"#ifndef KV_SONG7_H\r\n"
            u"#define KV_SONG7_H\r\n"
            u"\r\n"
            u"#include \"ExFont.h\"\r\n"
            u"\r\n"
            u"#ifdef __cplusplus\r\n"
            u"extern \"C\" {\r\n"
            u"#endif\r\n"
            u"\r\n"
            u"extern EXFONT g_unicode_font7;\r\n"
            u"void install_unicode_10x7_font(draw_pixel_func my_draw_pixel);\r\n"
            u"\r\n"
            u"#ifdef __cplusplus\r\n"
            u"};\r\n"
            u"#endif\r\n"
            u"\r\n"
            u"#endif//KV_SONG7_H\r\n");
}

TEST(SourceTemplateTest, SourceLinesCarryTheSettings) {
  struct Case {
    const char* name;
    int32_t isAnsi;
    const char16_t* word;
  };
  for (const Case& c : {Case{"unicode", 0, u"unicode"}, Case{"ansi", 1, u"ansi"},
                        Case{"any non-zero is ansi", -7, u"ansi"}}) {
    SCOPED_TRACE(c.name);
    Built built = BuildWith(16, 16, 8, c.isAnsi, u"song16", u"DATA");
    std::vector<std::u16string> lines = Lines(built.source);
    ASSERT_EQ(lines.size(), 48u);
    const std::u16string word = c.word;
    EXPECT_EQ(lines[0], u"#include \"song16.h\"");
    EXPECT_EQ(lines[2], u"DATA");
    EXPECT_EQ(lines[4], u"#define thin_char_nr sizeof(thin_" + word + u"_font8x16)/sizeof(thin_" +
                            word + u"_font8x16[0]) ");
    EXPECT_EQ(lines[6], u"#define wide_char_nr sizeof(wide_" + word + u"_font16x16)/sizeof(wide_" +
                            word + u"_font16x16[0]) ");
    EXPECT_EQ(lines[8], u"static EXFONT_DATA_ITEM thin_font16_items[thin_char_nr];");
    EXPECT_EQ(lines[12], u"EXFONT g_" + word + u"_font16; ");
    EXPECT_EQ(lines[18], u"void install_" + word + u"_16x16_font(draw_pixel_func my_draw_pixel)");
    EXPECT_EQ(lines[37], u"\tEXFONT_init(&g_" + word + u"_font16, \"g_" + word + u"_font16\", ");

    std::vector<std::u16string> header = Lines(built.header);
    ASSERT_EQ(header.size(), 17u);
    EXPECT_EQ(header[9], u"extern EXFONT g_" + word + u"_font16;");
    EXPECT_EQ(header[10], u"void install_" + word + u"_16x16_font(draw_pixel_func my_draw_pixel);");
  }
}

// RGB(255, 0, 0) must be red, 0xff0000, whatever the height; and the wide table is set up with
// the wide width, which differs from the height here so a swap shows.
TEST(SourceTemplateTest, RgbFallbackAndWideSetUpUseTheirOwnNumbers) {
  std::vector<std::u16string> lines = Lines(BuildWith(12, 14, 7, 0, u"f", u"").source);
  ASSERT_EQ(lines.size(), 48u);
  EXPECT_EQ(lines[15], u"#define RGB(r, g, b) (((r) << 16) | ((g) << 8) | (b))");
  EXPECT_EQ(lines[34],
            u"\tEXFONT_data_init(&thin_font12, 7, 12, thin_char_nr, thin_font12_items);");
  EXPECT_EQ(lines[35],
            u"\tEXFONT_data_init(&wide_font12, 14, 12, wide_char_nr, wide_font12_items);");
}

TEST(SourceTemplateTest, ConstructedValuesAreHeight16Widths16And8Ansi) {
  SourceTemplate sourceTemplate;
  std::u16string header;
  std::u16string source;
  sourceTemplate.Build(header, source);
  std::vector<std::u16string> lines = Lines(source);
  ASSERT_EQ(lines.size(), 48u);
  EXPECT_EQ(lines[0], u"#include \".h\"");
  EXPECT_EQ(lines[4],
            u"#define thin_char_nr sizeof(thin_ansi_font8x16)/sizeof(thin_ansi_font8x16[0]) ");
  EXPECT_EQ(Lines(header)[0], u"#ifndef KV__H");
  EXPECT_EQ(Lines(header)[10], u"void install_ansi_16x16_font(draw_pixel_func my_draw_pixel);");
}

TEST(SourceTemplateTest, NumbersAreSignedDecimals) {
  std::vector<std::u16string> lines = Lines(BuildWith(-3, 0, INT32_MIN, 0, u"f", u"").source);
  EXPECT_EQ(lines[34],
            u"\tEXFONT_data_init(&thin_font-3, -2147483648, -3, thin_char_nr, "
            u"thin_font-3_items);");
  EXPECT_EQ(lines[35],
            u"\tEXFONT_data_init(&wide_font-3, 0, -3, wide_char_nr, wide_font-3_items);");
}

// Each step replaces in the text the earlier steps left, so what the title brings in is replaced
// only by the steps after "$filename$", that is "$data$" in the source; nothing the data brings
// in is ever replaced.
TEST(SourceTemplateTest, ReplacementOrder) {
  struct Case {
    const char* name;
    std::u16string title;
    std::u16string data;
    std::u16string sourceLine1;
    std::u16string sourceLine3;
    std::u16string headerLine1;
  };
  const Case cases[] = {
      {"title with $data$", u"a$data$b", u"D", u"#include \"aDb.h\"", u"D",
       u"#ifndef KV_A$DATA$B_H"},
      {"title with an earlier placeholder", u"$height$", u"D", u"#include \"$height$.h\"", u"D",
       u"#ifndef KV_$HEIGHT$_H"},
      {"data with every placeholder", u"t",
       u"$height$ $thin_width$ $wide_width$ $is_ansi$ $filename$ $data$", u"#include \"t.h\"",
       u"$height$ $thin_width$ $wide_width$ $is_ansi$ $filename$ $data$", u"#ifndef KV_T_H"},
      {"upper case only a-z, other text unchanged", u"s\u00f1-1 x_\u4e2d", u"",
       u"#include \"s\u00f1-1 x_\u4e2d.h\"", u"", u"#ifndef KV_S\u00f1-1 X_\u4e2d_H"},
      {"placeholders match case-sensitively", u"t", u"$HEIGHT$", u"#include \"t.h\"", u"$HEIGHT$",
       u"#ifndef KV_T_H"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Built built = BuildWith(16, 16, 8, 1, c.title, c.data);
    std::vector<std::u16string> source = Lines(built.source);
    std::vector<std::u16string> header = Lines(built.header);
    ASSERT_GE(source.size(), 3u);
    EXPECT_EQ(source[0], c.sourceLine1);
    EXPECT_EQ(source[2], c.sourceLine3);
    EXPECT_EQ(header[0], c.headerLine1);
  }
}

TEST(SourceTemplateTest, DataWithLineBreaksGoesInWhole) {
  std::u16string data = u"line1\r\nline2\r\n";
  std::u16string source = BuildWith(16, 16, 8, 0, u"t", data).source;
  const std::u16string expected =
      u"#include \"t.h\"\r\n\r\n" + data + u"\r\n#undef thin_char_nr\r\n";
  EXPECT_EQ(source.substr(0, expected.size()), expected);
}

TEST(SourceTemplateTest, BuildLeavesTheStoredTitleUpperCased) {
  SourceTemplate sourceTemplate;
  sourceTemplate.SetFileTitle(u"song");
  std::u16string header;
  std::u16string source;
  sourceTemplate.Build(header, source);
  EXPECT_EQ(sourceTemplate.FileTitle(), u"SONG");
  sourceTemplate.Build(header, source);
  EXPECT_EQ(Lines(source)[0], u"#include \"SONG.h\"");
}

TEST(ReplacePlaceholderTest, OnePassLeftToRight) {
  struct Case {
    const char* name;
    std::u16string text;
    std::u16string value;
    std::u16string expected;
  };
  const Case cases[] = {
      {"every occurrence", u"$a$-$a$$a$", u"X", u"X-XX"},
      {"overlapping occurrences: the first wins", u"$a$a$", u"X", u"Xa$"},
      {"inserted text is not searched again", u"$a$", u"$a$$a$", u"$a$$a$"},
      {"none", u"a$", u"X", u"a$"},
      {"empty text", u"", u"X", u""},
      {"empty value removes", u"<$a$>", u"", u"<>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::u16string text = c.text;
    ReplacePlaceholder(text, u"$a$", c.value);
    EXPECT_EQ(text, c.expected);
  }
}

// An empty table is not declared by the font data text, so the source must not name it, must not
// write a zero-length array, and must not loop `i < 0` over a size_t; the compile tests build
// these.
TEST(SourceTemplateTest, EmptyTablesAreNeverNamed) {
  struct Case {
    const char* name;
    bool thinEmpty;
    bool wideEmpty;
  };
  for (const Case& c : {Case{"thin empty", true, false}, Case{"wide empty", false, true},
                        Case{"both empty", true, true}, Case{"neither", false, false}}) {
    SCOPED_TRACE(c.name);
    const std::u16string text = SourceTemplateText(c.thinEmpty, c.wideEmpty);
    for (auto [kind, empty] : {std::pair{std::u16string(u"thin"), c.thinEmpty},
                               std::pair{std::u16string(u"wide"), c.wideEmpty}}) {
      const bool names = text.find(kind + u"_$is_ansi$_font") != std::u16string::npos;
      const bool loops = text.find(u"i < " + kind + u"_char_nr") != std::u16string::npos;
      const bool zero = text.find(u"#define " + kind + u"_char_nr 0\r\n") != std::u16string::npos;
      const bool noItems = text.find(u"static EXFONT_DATA_ITEM* const " + kind +
                                     u"_font$height$_items = 0;") != std::u16string::npos;
      EXPECT_EQ(names, !empty);
      EXPECT_EQ(loops, !empty);
      EXPECT_EQ(zero, empty);
      EXPECT_EQ(noItems, empty);
      // The library is still told about the table, with the count and items defined above.
      EXPECT_NE(text.find(u"\tEXFONT_data_init(&" + kind + u"_font$height$, "),
                std::u16string::npos);
    }
    EXPECT_EQ(text.find(u"\tsize_t i = 0;") != std::u16string::npos, !(c.thinEmpty && c.wideEmpty));
  }
}

}  // namespace
}  // namespace pindot
