#include "font/font_lookup.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "base/user_error.h"
#include "font/named_face_metrics.h"
#include "text/utf.h"

namespace pindot {

namespace {

struct ConfigDeleter {
  void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using ConfigHandle = std::unique_ptr<FcConfig, ConfigDeleter>;
using PatternHandle = std::unique_ptr<FcPattern, PatternDeleter>;

// A family name that no configuration mentions: what substitution adds to it is what it adds to
// every name, the system's fallback.
constexpr char kNowhereFamily[] = "Pindot Nonexistent Family 7f3a";

bool IsRegularFile(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string ExecutableDirectory() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  std::string path(buffer, static_cast<size_t>(length));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

ConfigHandle LoadConfig() {
  ConfigHandle config(FcConfigCreate());
  // A null name loads the system's fonts.conf (or FONTCONFIG_FILE when that is set).
  if (!config || !FcConfigParseAndLoad(config.get(), nullptr, FcTrue)) {
    throw UserError("cannot load the fontconfig configuration (fonts.conf)");
  }
  std::string aliasFile = AliasFilePath();
  if (!aliasFile.empty() &&
      !FcConfigParseAndLoad(config.get(), reinterpret_cast<const FcChar8*>(aliasFile.c_str()),
                            FcTrue)) {
    throw UserError("cannot load the font alias file \"" + aliasFile + "\"");
  }
  if (!FcConfigBuildFonts(config.get())) {
    throw UserError("fontconfig cannot build its list of fonts");
  }
  return config;
}

// Loaded once per process: reading the system's configuration and font cache is the slow part.
FcConfig* SharedConfig() {
  static ConfigHandle config = LoadConfig();
  return config.get();
}

PatternHandle SubstitutedPattern(FcConfig* config, const std::string& family,
                                 const FontRequest& fontRequest) {
  PatternHandle pattern(FcPatternCreate());
  if (!pattern) throw UserError("out of memory while looking up a font");
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddDouble(pattern.get(), FC_PIXEL_SIZE,
                     fontRequest.emHeight > 0 ? fontRequest.emHeight : fontRequest.cellHeight);
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(fontRequest.weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT,
                      fontRequest.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

std::vector<std::string> Families(const FcPattern* pattern) {
  std::vector<std::string> families;
  FcChar8* value = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
    families.emplace_back(reinterpret_cast<const char*>(value));
  }
  return families;
}

// The families bound strongly: the asked name and what aliases put in its place with its binding.
std::vector<std::string> StrongFamilies(const FcPattern* pattern) {
  std::vector<std::string> families;
  FcPatternIter iterator;
  if (!FcPatternFindIter(pattern, &iterator, FC_FAMILY)) return families;
  int count = FcPatternIterValueCount(pattern, &iterator);
  for (int i = 0; i < count; ++i) {
    FcValue value;
    FcValueBinding binding = FcValueBindingWeak;
    if (FcPatternIterGetValue(pattern, &iterator, i, &value, &binding) == FcResultMatch &&
        value.type == FcTypeString && binding == FcValueBindingStrong) {
      families.emplace_back(reinterpret_cast<const char*>(value.u.s));
    }
  }
  return families;
}

// Family names compare as fontconfig compares them: ignoring blanks and the case of ASCII letters.
std::string FoldFamily(const std::string& family) {
  std::string folded;
  for (char c : family) {
    if (c == ' ') continue;
    folded.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return folded;
}

bool SameFamily(const std::string& a, const std::string& b) {
  return FoldFamily(a) == FoldFamily(b);
}

bool Contains(const std::vector<std::string>& families, const std::string& family) {
  for (const std::string& candidate : families) {
    if (SameFamily(candidate, family)) return true;
  }
  return false;
}

// One of Pindot's files in res/fontconfig: ../share/pindot/fontconfig/NAME beside the running
// executable, else the copy in the source tree; empty when neither exists.
std::string ResourceFilePath(const std::string& name) {
  std::string directory = ExecutableDirectory();
  if (!directory.empty()) {
    std::string installed = directory + "/../share/pindot/fontconfig/" + name;
    if (IsRegularFile(installed)) return installed;
  }
  std::string source = std::string(PINDOT_SOURCE_RES_DIR) + "/fontconfig/" + name;
  if (IsRegularFile(source)) return source;
  return {};
}

std::vector<NamedFaceMetrics> LoadFaceMetrics() {
  const std::string path = FaceMetricsFilePath();
  if (path.empty()) return {};
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  if (!file) throw UserError("cannot read the font metrics file \"" + path + "\"");
  return ParseNamedFaceMetrics(text.str(), path);
}

// Read once per process, as the configuration is.
const std::vector<NamedFaceMetrics>& SharedFaceMetrics() {
  static const std::vector<NamedFaceMetrics> table = LoadFaceMetrics();
  return table;
}

}  // namespace

std::string AliasFilePath() {
  return ResourceFilePath("pindot.conf");
}

std::string FaceMetricsFilePath() {
  return ResourceFilePath("windows-face-metrics.txt");
}

FaceMatch ResolveFace(const FontRequest& fontRequest) {
  if (fontRequest.faceName.empty()) throw UserError("no face name given");
  std::string asked = ToUtf8(fontRequest.faceName);
  FcConfig* config = SharedConfig();

  PatternHandle pattern = SubstitutedPattern(config, asked, fontRequest);
  FcResult result = FcResultNoMatch;
  PatternHandle match(FcFontMatch(config, pattern.get(), &result));
  if (!match) {
    throw UserError("no font matches face name \"" + asked + "\": fontconfig finds no font at all");
  }

  std::vector<std::string> askedFamilies = Families(pattern.get());
  std::vector<std::string> fallbackFamilies =
      Families(SubstitutedPattern(config, kNowhereFamily, fontRequest).get());
  bool generic = Contains(fallbackFamilies, asked);
  std::vector<std::string> accepted = StrongFamilies(pattern.get());
  accepted.push_back(asked);
  for (const std::string& family : askedFamilies) {
    if (generic || !Contains(fallbackFamilies, family)) accepted.push_back(family);
  }

  std::vector<std::string> matchFamilies = Families(match.get());
  FaceMatch face;
  const std::string* found = nullptr;
  for (const std::string& family : matchFamilies) {
    if (SameFamily(family, asked)) {
      found = &family;
      face.familyIsAsked = true;
      break;
    }
  }
  if (found == nullptr) {
    for (const std::string& family : matchFamilies) {
      if (Contains(accepted, family)) {
        found = &family;
        break;
      }
    }
  }
  if (found == nullptr) {
    std::string fallback = matchFamilies.empty() ? std::string("?") : matchFamilies.front();
    throw UserError("no font matches face name \"" + asked +
                    "\": neither a font of that name nor an alias for it is installed (the "
                    "system's fallback would be \"" +
                    fallback + "\")");
  }
  if (!face.familyIsAsked) {
    for (const NamedFaceMetrics& entry : SharedFaceMetrics()) {
      if (SameFamily(entry.name, asked)) face.namedFaceMetrics = entry.metrics;
    }
  }
  // The asked name stays when the face carries it; otherwise the face's first (English) name.
  face.family =
      face.familyIsAsked ? fontRequest.faceName : FromUtf8(matchFamilies.front(), "family name");

  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
    throw UserError("no font file for face name \"" + asked + "\"");
  }
  face.path = reinterpret_cast<const char*>(file);
  int index = 0;
  if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) {
    face.faceIndex = index;
  }
  FcBool embolden = FcFalse;
  if (FcPatternGetBool(match.get(), FC_EMBOLDEN, 0, &embolden) == FcResultMatch) {
    face.embolden = embolden != FcFalse;
  }
  FcMatrix* matrix = nullptr;
  if (FcPatternGetMatrix(match.get(), FC_MATRIX, 0, &matrix) == FcResultMatch &&
      matrix != nullptr) {
    face.hasMatrix = true;
    face.matrix[0] = matrix->xx;
    face.matrix[1] = matrix->xy;
    face.matrix[2] = matrix->yx;
    face.matrix[3] = matrix->yy;
  }
  return face;
}

}  // namespace pindot
