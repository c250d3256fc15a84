#include "cli/manifest.h"

#include <toml++/toml.h>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

#include "base/user_error.h"
#include "cli/format_output.h"
#include "font/font_canvas.h"
#include "output/exporter.h"
#include "output/raw_font.h"
#include "output/source_template.h"
#include "output/target_path.h"
#include "text/character_set.h"
#include "text/utf.h"

namespace pindot {

namespace {

// How a key's value is read and where it goes.
enum class ValueType {
  kText,
  kPath,
  kPixels,
  kCodePage,
  kFlag,
  kTexts,
  kRanges,
  kSortKey,
  kFormat,
  kChoice,
  kLayout
};

struct KeyRule {
  std::string_view name;
  ValueType type;
  std::optional<std::string> CommandOptions::*text = nullptr;  // kText, kPath
  std::optional<int> CommandOptions::*pixels = nullptr;        // kPixels
  const char* pixelsMeaning = nullptr;   // "a cell height", as the command line says it
  bool CommandOptions::*flag = nullptr;  // kFlag
  std::vector<std::string> CommandOptions::*texts = nullptr;  // kTexts, kRanges
  int CommandOptions::*number = nullptr;                      // kChoice
  const NumberChoice* choice = nullptr;                       // kChoice
};

KeyRule TextKey(std::string_view name, std::optional<std::string> CommandOptions::*field,
                ValueType type = ValueType::kText) {
  KeyRule rule{name, type};
  rule.text = field;
  return rule;
}

KeyRule PixelsKey(std::string_view name, std::optional<int> CommandOptions::*field,
                  const char* meaning) {
  KeyRule rule{name, ValueType::kPixels};
  rule.pixels = field;
  rule.pixelsMeaning = meaning;
  return rule;
}

KeyRule FlagKey(std::string_view name, bool CommandOptions::*field) {
  KeyRule rule{name, ValueType::kFlag};
  rule.flag = field;
  return rule;
}

KeyRule ChoiceKey(std::string_view name, int CommandOptions::*field, const NumberChoice& choice) {
  KeyRule rule{name, ValueType::kChoice};
  rule.number = field;
  rule.choice = &choice;
  return rule;
}

KeyRule ListKey(std::string_view name, std::vector<std::string> CommandOptions::*field,
                ValueType type) {
  KeyRule rule{name, type};
  rule.texts = field;
  return rule;
}

// The keys of a [[font]], in the order of the command line's options.
const std::vector<KeyRule>& FontKeys() {
  static const std::vector<KeyRule> keys = {
      TextKey("font", &CommandOptions::fontName),
      TextKey("font-file", &CommandOptions::fontFile, ValueType::kPath),
      PixelsKey("size", &CommandOptions::size, "a cell height"),
      PixelsKey("em-size", &CommandOptions::emSize, "an em height"),
      PixelsKey("width", &CommandOptions::width, "a cell width"),
      FlagKey("bold", &CommandOptions::bold),
      FlagKey("italic", &CommandOptions::italic),
      FlagKey("underline", &CommandOptions::underline),
      FlagKey("strikeout", &CommandOptions::strikeOut),
      TextKey("text", &CommandOptions::text),
      TextKey("text-file", &CommandOptions::textFile, ValueType::kPath),
      ListKey("range", &CommandOptions::ranges, ValueType::kRanges),
      ListKey("charset", &CommandOptions::charsets, ValueType::kTexts),
      TextKey("exclude", &CommandOptions::exclude),
      ListKey("exclude-range", &CommandOptions::excludeRanges, ValueType::kRanges),
      KeyRule{"sort", ValueType::kSortKey},
      KeyRule{"codepage", ValueType::kCodePage},
      FlagKey("const", &CommandOptions::constTables),
      TextKey("sheet", &CommandOptions::sheet, ValueType::kPath),
      PixelsKey("sheet-zoom", &CommandOptions::sheetZoom, "a sheet zoom"),
      TextKey("name", &CommandOptions::name),
      TextKey("output", &CommandOptions::output, ValueType::kPath),
      KeyRule{"format", ValueType::kFormat},
      ChoiceKey("bpp", &CommandOptions::bpp, kBitsPerPixelChoice),
      KeyRule{"layout", ValueType::kLayout},
      ChoiceKey("rotate", &CommandOptions::rotate, kRotationChoice),
  };
  return keys;
}

// Pairs of keys a font gives at most one of, as the command line's options exclude each other.
constexpr std::pair<std::string_view, std::string_view> kExclusiveKeys[] = {
    {"font", "font-file"},
    {"size", "em-size"},
};

std::string TypeInWords(const toml::node& node) {
  static constexpr std::pair<toml::node_type, const char*> kWords[] = {
      {toml::node_type::string, "a string"},
      {toml::node_type::integer, "a whole number"},
      {toml::node_type::floating_point, "a decimal number"},
      {toml::node_type::boolean, "true or false"},
      {toml::node_type::date, "a date"},
      {toml::node_type::time, "a time"},
      {toml::node_type::date_time, "a date and time"},
      {toml::node_type::array, "an array"},
      {toml::node_type::table, "a table"},
  };
  for (const auto& [type, words] : kWords) {
    if (node.type() == type) return words;
  }
  return "nothing";
}

int LineOf(const toml::source_region& region) {
  return static_cast<int>(region.begin.line);
}

// The edit distance between two keys, a swap of neighbours counting as one edit.
size_t KeyDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> cost(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) cost[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) cost[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      cost[i][j] = std::min({cost[i - 1][j] + 1, cost[i][j - 1] + 1,
                             cost[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        cost[i][j] = std::min(cost[i][j], cost[i - 2][j - 2] + 1);
      }
    }
  }
  return cost[a.size()][b.size()];
}

// Reads a manifest into fonts and errors; one instance per manifest.
class ManifestReader {
 public:
  explicit ManifestReader(const std::string& path) : path_(path) {
    const size_t slash = path.rfind('/');
    folder_ = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  }

  Manifest Read(std::string_view text) {
    toml::table root;
    try {
      root = toml::parse(text, path_);
    } catch (const toml::parse_error& error) {
      errors_.push_back({LineOf(error.source()), std::string(error.description())});
      return Finish();
    }
    const toml::node* fonts = nullptr;
    for (auto&& [key, node] : root) {
      if (key.str() == "font") {
        fonts = &node;
      } else {
        UnknownKey(key, {"font"});
      }
    }
    if (fonts == nullptr || (fonts->is_array() && fonts->as_array()->empty())) {
      AddError(fonts == nullptr ? 1 : LineOf(fonts->source()), "font",
               "no [[font]] table: the manifest lists no font");
    } else if (!fonts->is_array_of_tables()) {
      AddError(LineOf(fonts->source()), "font",
               "expects [[font]] tables, not " + TypeInWords(*fonts));
    } else {
      for (const toml::node& table : *fonts->as_array()) ReadFont(*table.as_table());
    }
    if (errors_.empty()) CheckFilesAreDistinct();
    return Finish();
  }

 private:
  struct LineError {
    int line;
    std::string message;  // after "file:line: "
  };

  void AddError(int line, std::string_view key, const std::string& problem) {
    errors_.push_back({line, "key \"" + std::string(key) + "\": " + problem});
  }

  void UnknownKey(const toml::key& key, const std::vector<std::string_view>& known) {
    std::string problem = "unknown key";
    const std::string_view closest = ClosestKey(key.str(), known);
    if (!closest.empty()) problem += " (did you mean \"" + std::string(closest) + "\"?)";
    errors_.push_back({LineOf(key.source()), "key " + Quoted(key.str()) + ": " + problem});
  }

  std::string JoinPath(const std::string& path) const {
    return path.front() == '/' ? path : folder_ + path;
  }

  void ReadFont(const toml::table& table) {
    ManifestFont font;
    font.line = LineOf(table.source());
    std::map<std::string_view, int> given;  // key -> line
    const size_t errorsBefore = errors_.size();
    std::vector<std::string_view> known;
    for (const KeyRule& rule : FontKeys()) known.push_back(rule.name);
    for (auto&& [key, node] : table) {
      const auto rule =
          std::find_if(FontKeys().begin(), FontKeys().end(),
                       [&key = key](const KeyRule& each) { return each.name == key.str(); });
      if (rule == FontKeys().end()) {
        UnknownKey(key, known);
        continue;
      }
      given[rule->name] = LineOf(key.source());
      if (std::optional<std::string> problem = ReadValue(*rule, node, font.options)) {
        AddError(LineOf(key.source()), rule->name, *problem);
      }
    }
    for (auto [first, second] : kExclusiveKeys) {
      if (given.count(first) > 0 && given.count(second) > 0) {
        const auto later = std::max(given[first], given[second]);
        AddError(later, later == given[second] ? second : first,
                 "cannot be given with \"" + std::string(later == given[second] ? first : second) +
                     "\": a font takes one of them");
      }
    }
    if (given.count("output") == 0) {
      AddError(font.line, "output",
               "missing: every [[font]] names the file its header and source are written after");
    }
    if (errors_.size() == errorsBefore) {
      if (std::optional<std::string> problem = FormatOptionsProblem(font.options)) {
        AddError(font.line, "format", *problem);
      }
    }
    if (errors_.size() == errorsBefore) fonts_.push_back(std::move(font));
  }

  // Reads one value into the options; gives what is wrong with it.
  std::optional<std::string> ReadValue(const KeyRule& rule, const toml::node& node,
                                       CommandOptions& options) const {
    switch (rule.type) {
      case ValueType::kFormat: {
        const toml::value<std::string>* value = node.as_string();
        if (value == nullptr) return "expects a string, not " + TypeInWords(node);
        options.format = value->get();
        return std::nullopt;
      }
      case ValueType::kLayout: {
        const toml::value<std::string>* value = node.as_string();
        if (value == nullptr) return "expects a string, not " + TypeInWords(node);
        if (!ParseRawLayout(value->get())) {
          return Quoted(value->get()) + " is not rows-msb, rows-lsb, pages-lsb or pages-msb";
        }
        options.layout = value->get();
        return std::nullopt;
      }
      case ValueType::kChoice: {
        const toml::value<int64_t>* value = node.as_integer();
        if (value == nullptr) return "expects a whole number, not " + TypeInWords(node);
        const int64_t number = value->get();
        if (!rule.choice->Allows(number)) {
          return std::to_string(number) + " is not " + rule.choice->inWords;
        }
        options.*rule.number = static_cast<int>(number);
        return std::nullopt;
      }
      case ValueType::kText:
      case ValueType::kPath:
      case ValueType::kSortKey: {
        const toml::value<std::string>* value = node.as_string();
        if (value == nullptr) return "expects a string, not " + TypeInWords(node);
        const std::string& text = value->get();
        if (rule.type == ValueType::kSortKey) {
          if (text != "unicode" && text != "ansi") return Quoted(text) + " is not unicode or ansi";
          options.sort = text;
          return std::nullopt;
        }
        if (text.empty() && rule.name != "text") return std::string("is empty");
        if (rule.type == ValueType::kText) {
          if (rule.name == "name" && !IsCIdentifier(text)) {
            return Quoted(text) + " is not a C identifier";
          }
          options.*rule.text = text;
          return std::nullopt;
        }
        options.*rule.text = JoinPath(text);
        if (rule.name == "output") {
          try {
            DeriveExportPaths(*(options.*rule.text));
          } catch (const UserError& error) {
            return std::string(error.what());
          }
        }
        return std::nullopt;
      }
      case ValueType::kPixels:
      case ValueType::kCodePage: {
        const toml::value<int64_t>* value = node.as_integer();
        if (value == nullptr) return "expects a whole number, not " + TypeInWords(node);
        const int64_t number = value->get();
        if (rule.type == ValueType::kCodePage) {
          if (number < 0 || number > UINT32_MAX) {
            return std::to_string(number) + " is not a code page number such as 936 or 1252";
          }
          options.codePage = static_cast<unsigned>(number);
          return std::nullopt;
        }
        // A sheet's zoom multiplies its whole picture, so it is held to what a screen shows.
        const bool zoom = rule.name == "sheet-zoom";
        if (number < 1 || number > (zoom ? 64 : FontCanvas::kMaxPixels)) {
          return std::to_string(number) + " is not " + rule.pixelsMeaning +
                 (zoom ? " from 1 to 64"
                       : " from 1 to " + std::to_string(FontCanvas::kMaxPixels) + " pixels");
        }
        options.*rule.pixels = static_cast<int>(number);
        return std::nullopt;
      }
      case ValueType::kFlag: {
        const toml::value<bool>* value = node.as_boolean();
        if (value == nullptr) return "expects true or false, not " + TypeInWords(node);
        options.*rule.flag = value->get();
        return std::nullopt;
      }
      case ValueType::kTexts:
      case ValueType::kRanges: {
        const toml::array* array = node.as_array();
        if (array == nullptr) return "expects an array of strings, not " + TypeInWords(node);
        std::vector<std::string>& texts = options.*rule.texts;
        for (const toml::node& element : *array) {
          const toml::value<std::string>* value = element.as_string();
          if (value == nullptr) {
            return "expects an array of strings, not one holding " + TypeInWords(element);
          }
          if (rule.type == ValueType::kRanges) {
            try {
              ParseCharacterRange(value->get());
            } catch (const UserError& error) {
              return std::string(error.what());
            }
          } else if (value->get().empty()) {
            return std::string("holds an empty name");
          }
          texts.push_back(value->get());
        }
        return std::nullopt;
      }
    }
    return std::nullopt;
  }

  // Two fonts writing one file, or headers whose include guards are the same, cannot both be had.
  void CheckFilesAreDistinct() {
    struct Writer {
      size_t font;
      std::string_view key;
    };
    std::map<std::string, Writer> files;   // the file reached -> its writer
    std::map<std::string, size_t> guards;  // include guard -> the font
    for (size_t index = 0; index < fonts_.size(); ++index) {
      const CommandOptions& options = fonts_[index].options;
      const ExportPaths paths = DeriveExportPaths(*options.output);
      const std::string guard = IncludeGuardOf(paths.fileTitle);
      // A format other than EXFONT writes one file and no header.
      const InkFontFormat* format = FindInkFontFormat(options.format);
      const auto found = guards.find(guard);
      if (!format && found != guards.end()) {
        AddError(fonts_[index].line, "output",
                 Quoted(*options.output) + " and " + Quoted(*fonts_[found->second].options.output) +
                     " (" + Printable(path_) + ":" + std::to_string(fonts_[found->second].line) +
                     ") make headers with the same include guard " + guard +
                     ", which cannot be included together; give one another name");
        continue;
      }
      if (!format) guards.emplace(guard, index);
      std::vector<std::pair<std::string, std::string_view>> written = {
          {paths.headerPath, "output"}, {paths.sourcePath, "output"}};
      if (format) {
        written.clear();
        for (const std::string& path : FormatOutputPaths(*format, *options.output))
          written.emplace_back(path, "output");
      }
      if (options.sheet) written.emplace_back(*options.sheet, "sheet");
      for (const auto& [file, key] : written) {
        // Compared by the file they reach, so a second path to it through a linked folder or a
        // hard link is caught as well as a second spelling.
        std::string identity = FileIdentity(file);
        if (identity.empty()) identity = std::filesystem::path(file).lexically_normal().string();
        const auto [found, added] = files.emplace(identity, Writer{index, key});
        if (!added) {
          AddError(fonts_[index].line, key,
                   Quoted(file) + " is also written by the font at " + Printable(path_) + ":" +
                       std::to_string(fonts_[found->second.font].line) + " (key \"" +
                       std::string(found->second.key) + "\")");
        }
      }
    }
  }

  Manifest Finish() {
    std::stable_sort(errors_.begin(), errors_.end(),
                     [](const LineError& a, const LineError& b) { return a.line < b.line; });
    Manifest manifest;
    for (const LineError& error : errors_) {
      manifest.errors.push_back(Printable(path_) + ":" + std::to_string(error.line) + ": " +
                                error.message);
    }
    if (manifest.errors.empty()) manifest.fonts = std::move(fonts_);
    return manifest;
  }

  std::string path_;
  std::string folder_;  // with its trailing slash; empty for the current folder
  std::vector<ManifestFont> fonts_;
  std::vector<LineError> errors_;
};

}  // namespace

std::string_view ClosestKey(std::string_view key, const std::vector<std::string_view>& known) {
  // Spelt with underscores or capitals, a key is still recognised.
  std::string plain(key);
  for (char& c : plain) {
    if (c == '_') c = '-';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  std::string_view best;
  size_t bestDistance = SIZE_MAX;
  for (std::string_view each : known) {
    const size_t distance = KeyDistance(plain, each);
    if (distance < bestDistance) {
      best = each;
      bestDistance = distance;
    }
  }
  // Two edits for a long key, one for a short one: "sise" is "size", "to" is not "font".
  const size_t allowed = std::min<size_t>(2, std::max<size_t>(best.size(), 1) / 3);
  return bestDistance <= allowed ? best : std::string_view();
}

Manifest ParseManifest(std::string_view text, const std::string& path) {
  return ManifestReader(path).Read(text);
}

}  // namespace pindot
