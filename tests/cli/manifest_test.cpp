// Reading a build manifest: its keys into the command's options, and every mistake on one line.
#include "cli/manifest.h"

#include <gtest/gtest.h>

namespace pindot {
namespace {

// Each mistake is one line naming the file, the line and the key; the manifest gives no fonts.
// An unknown key without a near one, a missing output, a bad flag and a cell width of 0 are in
// the next test.
TEST(ManifestTest, MistakesAreNamedByLineAndKey) {
  const std::pair<const char*, const char*> cases[] = {
      {"[[font]]\noutput = \"a\"\nsise = 16\n",
       "m.toml:3: key \"sise\": unknown key (did you mean \"size\"?)"},
      {"fonts = 1\n[[font]]\noutput = \"a\"\n",
       "m.toml:1: key \"fonts\": unknown key (did you mean \"font\"?)"},
      {"[[font]]\noutput = \"a\"\nrange = \"0-9\"\n",
       "m.toml:3: key \"range\": expects an array of strings, not a string"},
      {"[[font]]\noutput = 7\n", "m.toml:2: key \"output\": expects a string, not a whole number"},
      {"# nothing\n", "m.toml:1: key \"font\": no [[font]] table: the manifest lists no font"},
      {"font = 3\n", "m.toml:1: key \"font\": expects [[font]] tables, not a whole number"},
      {"[[font]]\noutput = \"a\"\nsize = 1001\n",
       "m.toml:3: key \"size\": 1001 is not a cell height from 1 to 1000 pixels"},
      {"[[font]]\noutput = \"a\"\ncodepage = -1\n",
       "m.toml:3: key \"codepage\": -1 is not a code page number such as 936 or 1252"},
      {"[[font]]\noutput = \"a\"\nsort = \"code\"\n",
       "m.toml:3: key \"sort\": \"code\" is not unicode or ansi"},
      {"[[font]]\noutput = \"a\"\nlayout = \"columns\"\n",
       "m.toml:3: key \"layout\": \"columns\" is not rows-msb, rows-lsb, pages-lsb or pages-msb"},
      {"[[font]]\noutput = \"a\"\nrotate = 45\n",
       "m.toml:3: key \"rotate\": 45 is not 0, 90, 180 or 270"},
      {"[[font]]\noutput = \"a\"\nrotate = 90\n",
       "m.toml:1: key \"format\": --layout and --rotate lay out raw cells: they need --format raw"},
      {"[[font]]\noutput = \"a\"\nrange = [\"9-1\"]\n",
       "m.toml:3: key \"range\": character range \"9-1\": reversed: 0x9 is above 0x1"},
      {"[[font]]\noutput = \"a\"\nfont-file = \"\"\n", "m.toml:3: key \"font-file\": is empty"},
      {"[[font]]\noutput = \"a\"\nname = \"song-16\"\n",
       "m.toml:3: key \"name\": \"song-16\" is not a C identifier"},
      {"[[font]]\noutput = \"out/\"\n",
       "m.toml:2: key \"output\": export path \"out/\" names no file"},
      {"[[font]]\noutput = \"a\"\nsize = 8\nem-size = 8\n",
       "m.toml:4: key \"em-size\": cannot be given with \"size\": a font takes one of them"},
      {"[[font]]\nfont-file = \"x\"\nfont = \"y\"\noutput = \"a\"\n",
       "m.toml:3: key \"font\": cannot be given with \"font-file\": a font takes one of them"},
      {"[[font]]\noutput = \"a\n",
       "m.toml:2: Error while parsing string: unescaped control characters other than TAB (U+0009) "
       "are explicitly prohibited"},
      {"[[font]]\noutput = \"a/song-16\"\n[[font]]\noutput = \"b/SONG_16.txt\"\n",
       "m.toml:3: key \"output\": \"b/SONG_16.txt\" and \"a/song-16\" (m.toml:1) make headers with "
       "the same include guard KV_SONG_16_H, which cannot be included together; give one another "
       "name"},
      {"[[font]]\noutput = \"a\"\nsheet = \"s.png\"\n[[font]]\noutput = \"b\"\nsheet = "
       "\"./s.png\"\n",
       "m.toml:4: key \"sheet\": \"./s.png\" is also written by the font at m.toml:1 (key "
       "\"sheet\")"},
      {"[[font]]\noutput = \"a\"\nbpp = 3\n", "m.toml:3: key \"bpp\": 3 is not 1, 2, 4 or 8"},
      // EXFONT's pair and LVGL's binary file of one title are different files, its source is not.
      {"[[font]]\noutput = \"a\"\n[[font]]\noutput = \"a\"\nformat = \"lvgl-bin\"\n"
       "[[font]]\noutput = \"a.txt\"\nformat = \"lvgl\"\nname = \"a\"\n",
       "m.toml:6: key \"output\": \"a.c\" is also written by the font at m.toml:1 (key "
       "\"output\")"},
  };
  for (const auto& [text, error] : cases) {
    const Manifest manifest = ParseManifest(text, "m.toml");
    EXPECT_EQ(manifest.errors, std::vector<std::string>{error}) << text;
    EXPECT_TRUE(manifest.fonts.empty()) << text;
  }
}

TEST(ManifestTest, EveryMistakeIsNamedInLineOrder) {
  const Manifest manifest =
      ParseManifest("[[font]]\nwidth = 0\nbold = 2\n[[font]]\noutput = \"b\"\nzzz = 1\n", "m.toml");
  EXPECT_EQ(manifest.errors,
            (std::vector<std::string>{
                "m.toml:1: key \"output\": missing: every [[font]] names the file its header and "
                "source are written after",
                "m.toml:2: key \"width\": 0 is not a cell width from 1 to 1000 pixels",
                "m.toml:3: key \"bold\": expects true or false, not a whole number",
                "m.toml:6: key \"zzz\": unknown key"}));
}

TEST(ManifestTest, ClosestKeyNeedsAFewEditsAtMost) {
  const std::vector<std::string_view> known = {"font", "font-file", "size", "em-size", "italic"};
  const std::pair<const char*, const char*> cases[] = {
      {"fnot", "font"},      {"font_file", "font-file"}, {"FontFile", "font-file"},
      {"italics", "italic"}, {"em-sise", "em-size"},     {"x", ""},
      {"weight", ""},        {"sizes", "size"},
  };
  for (const auto& [key, closest] : cases) EXPECT_EQ(ClosestKey(key, known), closest) << key;
}

}  // namespace
}  // namespace pindot
