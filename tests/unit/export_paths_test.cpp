#include <gtest/gtest.h>

#include <string>

#include "output/exporter.h"
#include "text/user_error.h"

namespace pindot {
namespace {

TEST(DeriveExportPathsTest, TitleAndBothPaths) {
  struct Case {
    const char* name;
    std::string fullPath;
    std::u16string title;
    std::string header;
    std::string source;
  };
  const Case cases[] = {
      {"extension replaced", "/home/u/fonts/song16.txt", u"song16", "/home/u/fonts/song16.h",
       "/home/u/fonts/song16.c"},
      {"no extension: appended", "/home/u/fonts/song16", u"song16", "/home/u/fonts/song16.h",
       "/home/u/fonts/song16.c"},
      {"folder keeps its letters", "/d/txt/a.txt", u"a", "/d/txt/a.h", "/d/txt/a.c"},
      {"dot in a folder name, name with extension", "/home/u/v1.2/a.txt", u"a", "/home/u/v1.2/a.h",
       "/home/u/v1.2/a.c"},
      {"dot in a folder name, name without extension", "/home/u/v1.2/song16", u"song16",
       "/home/u/v1.2/song16.h", "/home/u/v1.2/song16.c"},
      {"extension like the title", "abc.abc", u"abc", "abc.h", "abc.c"},
      {"chosen name is the header itself", "out/song16.h", u"song16", "out/song16.h",
       "out/song16.c"},
      {"only the last dot counts", "out/a.b.c", u"a.b", "out/a.b.h", "out/a.b.c"},
      {"relative without folder", "song16", u"song16", "song16.h", "song16.c"},
      {"hidden name: all extension", "out/.fonts", u"", "out/.h", "out/.c"},
      // The source includes "<title>.h", so a trailing dot must not give "song16..h".
      {"trailing dot", "out/song16.", u"song16", "out/song16.h", "out/song16.c"},
      {"UTF-8 names", "\xe5\xad\x97/\xe5\xae\x8b.txt", u"\u5b8b", "\xe5\xad\x97/\xe5\xae\x8b.h",
       "\xe5\xad\x97/\xe5\xae\x8b.c"},
      {"blanks kept", "my fonts/big font", u"big font", "my fonts/big font.h",
       "my fonts/big font.c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExportPaths paths = DeriveExportPaths(c.fullPath);
    EXPECT_EQ(paths.fileTitle, c.title);
    EXPECT_EQ(paths.headerPath, c.header);
    EXPECT_EQ(paths.sourcePath, c.source);
  }
}

TEST(DeriveExportPathsTest, PathsThatNameNoFileAreUserErrors) {
  for (const char* path : {"", "out/", "/", "out/.", "out/..", "bad\xff.txt"}) {
    SCOPED_TRACE(path);
    EXPECT_THROW(DeriveExportPaths(path), UserError);
  }
}

}  // namespace
}  // namespace pindot
