#include "text/string_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace pindot {
namespace {

// Sets the four locale variables for one case and puts the old values back afterwards.
class LocaleEnvironment {
 public:
  static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

  LocaleEnvironment() {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
      unsetenv(name);
    }
  }
  ~LocaleEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  void Set(const char* name, const char* value) { setenv(name, value, 1); }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

struct LanguageCase {
  const char* name;
  const char* language;  // nullptr: unset
  const char* lcAll;
  const char* lcMessages;
  const char* lang;
  Language expected;
};

TEST(StringTable, LanguageComesFromTheFirstVariableThatIsSetAndNotEmpty) {
  const LanguageCase cases[] = {
      {"nothing set", nullptr, nullptr, nullptr, nullptr, Language::kEnglish},
      {"LANG=C", nullptr, nullptr, nullptr, "C", Language::kEnglish},
      {"LANG zh_CN", nullptr, nullptr, nullptr, "zh_CN.UTF-8", Language::kChinese},
      {"LANG zh_TW", nullptr, nullptr, nullptr, "zh_TW.UTF-8", Language::kChinese},
      {"LANGUAGE list", "zh_CN:en_US", nullptr, nullptr, "en_US.UTF-8", Language::kChinese},
      {"LANGUAGE before LANG", "en_US", nullptr, nullptr, "zh_CN.UTF-8", Language::kEnglish},
      {"LC_ALL before LC_MESSAGES", nullptr, "zh_SG.UTF-8", "de_DE", "de_DE", Language::kChinese},
      {"LC_MESSAGES before LANG", nullptr, nullptr, "en_GB.UTF-8", "zh_CN.UTF-8",
       Language::kEnglish},
      {"empty ones are skipped", "", "", "", "zh_HK.UTF-8", Language::kChinese},
      {"only the first two letters count", nullptr, nullptr, nullptr, "z", Language::kEnglish},
  };
  for (const LanguageCase& c : cases) {
    LocaleEnvironment environment;
    if (c.language) environment.Set("LANGUAGE", c.language);
    if (c.lcAll) environment.Set("LC_ALL", c.lcAll);
    if (c.lcMessages) environment.Set("LC_MESSAGES", c.lcMessages);
    if (c.lang) environment.Set("LANG", c.lang);
    EXPECT_EQ(LanguageFromEnvironment(), c.expected) << c.name;
  }
}

TEST(StringTable, HoldsTheWindowsStringsInBothLanguages) {
  struct Row {
    int id;
    std::u16string_view english;
    std::u16string_view chinese;
  };
  const Row rows[] = {
      {101, u"About Kalvo(&A)...", u"关于字体产生工具(&A)..."},
      {106, u"Sort by Unicode", u"按Unicode排序"},
      {110, u"Generate", u"产生"},
      {113, u"0123456789abcd", u"中国人"},
      {114, u"Fixedsys", u"宋体"},
      {116, u"Pindot 1.0", u"Pindot 1.0"},
      {118, u"Visit out website", u"访问我们的网站"},
      {119, u"Contact with us", u"和我们联系"},
      {122, u"Export...", u"导出..."},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LoadString(Language::kEnglish, row.id), row.english) << row.id;
    EXPECT_EQ(LoadString(Language::kChinese, row.id), row.chinese) << row.id;
  }
}

TEST(StringTable, EveryIdOfTheWindowHasATextAndOthersHaveNone) {
  for (int id = 95; id <= 130; ++id) {
    bool inTable = id >= 101 && id <= 122 && id != 112 && id != 115;
    for (Language language : {Language::kEnglish, Language::kChinese}) {
      EXPECT_EQ(!LoadString(language, id).empty(), inTable) << id;
    }
  }
}

TEST(StringTable, ProjectAddressesAreTheSameInBothLanguagesAndUsableAsLinks) {
  for (int id : {120, 121}) {
    EXPECT_EQ(LoadString(Language::kEnglish, id), LoadString(Language::kChinese, id)) << id;
  }
  EXPECT_EQ(LoadString(Language::kEnglish, 120).substr(0, 8), u"https://");
  EXPECT_NE(LoadString(Language::kEnglish, 121).find(u'@'), std::u16string_view::npos);
  EXPECT_NE(LoadString(Language::kChinese, 117), LoadString(Language::kEnglish, 117));
}

TEST(StringTable, DefaultFaceNameFitsAWindowsFaceNameField) {
  // A face name field holds 32 units with its terminating zero.
  EXPECT_LT(LoadString(Language::kEnglish, 114).size(), 32u);
  EXPECT_LT(LoadString(Language::kChinese, 114).size(), 32u);
}

}  // namespace
}  // namespace pindot
