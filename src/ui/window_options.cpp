#include "ui/window_options.h"

#include <QSettings>

#include "font/font_canvas.h"
#include "text/utf.h"

namespace pindot {

namespace {

QSettings UserSettings() {
  return QSettings(QStringLiteral("pindot"), QStringLiteral("pindot-gui"));
}

// The characters that a shell takes as they are, outside any quotes.
bool PlainForShell(std::string_view argument) {
  if (argument.empty()) return false;
  for (char character : argument) {
    const bool plain = (character >= 'a' && character <= 'z') ||
                       (character >= 'A' && character <= 'Z') ||
                       (character >= '0' && character <= '9') ||
                       std::string_view("_-./:=@%+,").find(character) != std::string_view::npos;
    if (!plain) return false;
  }
  return true;
}

}  // namespace

DataTextOptions TableOptions(const WindowOptions& options) {
  DataTextOptions tableOptions;
  tableOptions.constTables = options.constTables;
  return tableOptions;
}

WindowOptions LoadWindowOptions() {
  QSettings settings = UserSettings();
  WindowOptions options;
  bool ok = false;
  const unsigned codePage = settings.value(QStringLiteral("options/codePage")).toUInt(&ok);
  if (ok) options.codePage = codePage;
  const unsigned width = settings.value(QStringLiteral("options/wideWidth")).toUInt(&ok);
  if (ok && width <= static_cast<unsigned>(FontCanvas::kMaxPixels)) options.wideWidth = width;
  options.constTables = settings.value(QStringLiteral("options/constTables")).toBool();
  return options;
}

void SaveWindowOptions(const WindowOptions& options) {
  QSettings settings = UserSettings();
  settings.setValue(QStringLiteral("options/codePage"), options.codePage);
  settings.setValue(QStringLiteral("options/wideWidth"), options.wideWidth);
  settings.setValue(QStringLiteral("options/constTables"), options.constTables);
}

bool CommandLineCarries(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit == 0) return false;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;  // a pair
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

std::string ShellQuoted(std::string_view argument) {
  if (PlainForShell(argument)) return std::string(argument);
  bool control = false;
  for (unsigned char byte : argument) control = control || byte < 0x20 || byte == 0x7f;
  std::string quoted;
  if (!control) {
    quoted = "'";
    for (char character : argument) {
      if (character == '\'') {
        quoted += "'\\''";
      } else {
        quoted += character;
      }
    }
    return quoted + "'";
  }
  // bash's $'...' keeps a line break or a tab on one line of the command.
  quoted = "$'";
  for (unsigned char byte : argument) {
    switch (byte) {
      case '\r':
        quoted += "\\r";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\\':
      case '\'':
        quoted += '\\';
        quoted += static_cast<char>(byte);
        break;
      default:
        if (byte < 0x20 || byte == 0x7f) {
          const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                                static_cast<char>('0' + ((byte >> 3) & 7)),
                                static_cast<char>('0' + (byte & 7))};
          quoted.append(octal, 4);
        } else {
          quoted += static_cast<char>(byte);
        }
    }
  }
  return quoted + "'";
}

std::string PindotCommandLine(const WindowState& state) {
  std::vector<std::string> arguments{"pindot"};
  const auto add = [&](std::string option, const std::string& value) {
    arguments.push_back(std::move(option));
    arguments.push_back(ShellQuoted(value));
  };
  const FontRequest& font = state.font;
  if (!font.filePath.empty()) {
    add("--font-file", font.filePath);
  } else {
    add("--font", ToUtf8(font.faceName));
  }
  if (font.emHeight > 0) {
    add("--em-size", std::to_string(font.emHeight));
  } else {
    add("--size", std::to_string(font.cellHeight));
  }
  if (state.options.wideWidth > 0) add("--width", std::to_string(state.options.wideWidth));
  if (font.weight >= kSemiBoldWeight) arguments.push_back("--bold");
  if (font.italic) arguments.push_back("--italic");
  if (font.underline) arguments.push_back("--underline");
  if (font.strikeOut) arguments.push_back("--strikeout");

  // The command reads the text first, then every range, then every character set: the additions
  // the sample still ends with in that order are named, the rest is the text.
  std::u16string_view text = state.sample;
  std::vector<std::string> charsets;
  std::vector<std::string> ranges;
  auto addition = state.additions.rbegin();
  for (bool wantCharacterSet : {true, false}) {
    for (; addition != state.additions.rend() && addition->isCharacterSet == wantCharacterSet;
         ++addition) {
      const std::u16string& characters = addition->characters;
      if (characters.empty() || text.size() < characters.size() ||
          text.substr(text.size() - characters.size()) != characters) {
        break;
      }
      text.remove_suffix(characters.size());
      std::vector<std::string>& names = wantCharacterSet ? charsets : ranges;
      names.insert(names.begin(), addition->name);
    }
  }
  if (!text.empty() || (ranges.empty() && charsets.empty())) add("--text", ToUtf8(text));
  for (const std::string& range : ranges) add("--range", range);
  for (const std::string& charset : charsets) add("--charset", charset);
  if (!state.sortByUnicode) add("--sort", "ansi");
  add("--codepage", std::to_string(state.codePage));
  if (state.options.constTables) arguments.push_back("--const");

  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    line += argument;
  }
  return line;
}

}  // namespace pindot
