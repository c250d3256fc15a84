#include "font/font_lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "font/font_canvas.h"
#include "text/user_error.h"

namespace pindot {
namespace {

FontSpec Named(std::u16string name, int weight = 400, bool italic = false) {
  FontSpec fontSpec;
  fontSpec.faceName = std::move(name);
  fontSpec.weight = weight;
  fontSpec.italic = italic;
  return fontSpec;
}

TEST(FontLookup, WindowsFaceNamesFindFreeFontsThroughTheAliasFile) {
  struct Case {
    std::u16string asked;
    std::u16string family;
    const char* file;
  };
  const Case cases[] = {
      {u"Fixedsys", u"Unifont", "/unifont.otf"},
      {u"宋体", u"AR PL UMing CN", "/uming.ttc"},
      {u"SimSun", u"AR PL UMing CN", "/uming.ttc"},
      {u"新宋体", u"AR PL UMing CN", "/uming.ttc"},
      {u"NSimSun", u"AR PL UMing CN", "/uming.ttc"},
      {u"黑体", u"WenQuanYi Zen Hei", "/wqy-zenhei.ttc"},
      {u"SimHei", u"WenQuanYi Zen Hei", "/wqy-zenhei.ttc"},
  };
  for (const Case& c : cases) {
    ResolvedFace face = ResolveFace(Named(c.asked));
    EXPECT_EQ(face.family, c.family);
    EXPECT_FALSE(face.familyIsAsked);
    EXPECT_NE(face.path.find(c.file), std::string::npos) << face.path;
    EXPECT_EQ(face.faceIndex, 0);
  }
}

TEST(FontLookup, AnInstalledFamilyIsFoundUnderItsOwnNameInAnySpelling) {
  for (std::u16string asked : {u"Unifont", u"unifont", u"UNI FONT", u"AR PL UMing CN"}) {
    ResolvedFace face = ResolveFace(Named(asked));
    EXPECT_TRUE(face.familyIsAsked);
    EXPECT_EQ(face.family, asked);
  }
  // A family name in another language is one of the face's names too.
  EXPECT_TRUE(ResolveFace(Named(u"文泉驿正黑")).familyIsAsked);
}

TEST(FontLookup, NamesWithoutAFontOrAliasAreErrors) {
  for (std::u16string asked : {u"No Such Face Pindot", u"Fixedsys Excelsior 9", u"宋体宋体"}) {
    EXPECT_THROW(ResolveFace(Named(asked)), UserError);
  }
  try {
    ResolveFace(Named(u"Nowhere Sans"));
    ADD_FAILURE() << "no error";
  } catch (const UserError& error) {
    EXPECT_NE(std::string(error.what()).find("no font matches face name \"Nowhere Sans\""),
              std::string::npos)
        << error.what();
  }
  EXPECT_THROW(ResolveFace(Named(u"")), UserError);
}

TEST(FontLookup, GenericFamiliesStayTheSystemsAndAreNotTakenOverByTheAliases) {
  // The system lists "NSimSun" and friends among its monospace and sans-serif fonts; the alias
  // file must not lift their Chinese stand-ins above the system's own choice.
  for (std::u16string generic : {u"monospace", u"sans-serif", u"serif"}) {
    ResolvedFace face = ResolveFace(Named(generic));
    EXPECT_NE(face.family, u"AR PL UMing CN");
    EXPECT_NE(face.family, u"Unifont");
  }
}

TEST(FontLookup, BoldAndItalicThatTheFaceLacksAreSynthesised) {
  ResolvedFace regular = ResolveFace(Named(u"Fixedsys"));
  EXPECT_FALSE(regular.embolden);
  EXPECT_FALSE(regular.hasMatrix && regular.matrix[1] != 0);

  // Unifont has no bold and no italic face.
  EXPECT_TRUE(ResolveFace(Named(u"Fixedsys", 700)).embolden);
  ResolvedFace italic = ResolveFace(Named(u"Fixedsys", 400, true));
  ASSERT_TRUE(italic.hasMatrix);
  EXPECT_GT(italic.matrix[1], 0.0);  // the top leans right
}

TEST(FontLookup, TheAliasFileIsFound) {
  std::string path = AliasFilePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.substr(path.size() - 11), "pindot.conf");
}

TEST(FontLookup, CanvasOfANameReportsTheFaceReallyUsed) {
  FontSpec fontSpec = Named(u"Fixedsys");
  auto canvas = FontCanvas::Open(fontSpec);
  EXPECT_EQ(canvas->ResolvedFamily(), u"Unifont");
  EXPECT_NE(canvas->ResolvedPath().find("unifont.otf"), std::string::npos);
  EXPECT_EQ(canvas->MeasureCharacter(u'a').cx, 8u);
  EXPECT_THROW(FontCanvas::Open(Named(u"Nowhere Sans")), UserError);
}

}  // namespace
}  // namespace pindot
