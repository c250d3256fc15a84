// The user-visible strings in English (United States) and Chinese (Simplified).
#pragma once

#include <string_view>

namespace pindot {

enum class Language { kEnglish, kChinese };

// The window's captions keep the numbers the original string table gave them (101..122); the
// window's own messages follow from 201. Messages carry Qt-style placeholders ("%1").
enum class StringId {
  kAboutMenuItem = 101,
  kSizeGroup = 102,
  kSortGroup = 103,
  kWidthLabel = 104,
  kHeightLabel = 105,
  kSortByUnicodeButton = 106,
  kSortByAnsiButton = 107,
  kFontButton = 108,
  kAboutButton = 109,
  kGenerateButton = 110,
  kExitButton = 111,
  kDefaultSampleText = 113,
  kDefaultFaceName = 114,
  kProductNameAndVersion = 116,
  kCopyright = 117,
  kWebsiteLinkText = 118,
  kMailLinkText = 119,
  kWebsiteAddress = 120,
  kMailAddress = 121,
  kExportButton = 122,
  kNotUnsignedMessage = 201,
  kOutOfRangeMessage = 202,
  kTooLongMessage = 203,
  kFontUnusableMessage = 204,
  kCannotWriteMessage = 205,
  kThinTableName = 206,
  kWideTableName = 207,
  kOneCharacter = 208,
  kCharacters = 209,
  kOneGlyph = 210,
  kGlyphs = 211,
  kMoreCharacters = 212,
  kMissingGlyphsLoss = 213,
  kLeftOutLoss = 214,
  kCutGlyphsLoss = 215,
  kReferenceGlyphLoss = 216,
  kStrikeSizeLoss = 217,
  kLossSummaryHeading = 218,
  kReplaceFilesQuestion = 250,
  kSampleLineBreaksNote = 251,
  kSampleTabsNote = 252,
  kSampleLineBreaksAndTabsNote = 253,
};

// From LANGUAGE, LC_ALL, LC_MESSAGES, LANG in that order (the first that is set and not empty):
// a value starting with "zh" picks Chinese, anything else English.
Language LanguageFromEnvironment();

std::u16string_view LoadString(Language language, StringId id);

}  // namespace pindot
