#include "text/character_set.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "base/user_error.h"
#include "text/code_page.h"
#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

[[noreturn]] void ThrowRangeError(std::string_view text, const std::string& reason) {
  throw UserError("character range \"" + std::string(text) + "\": " + reason);
}

// One end of a range: hexadecimal after 0x, otherwise decimal.
char32_t ParseRangeEnd(std::string_view whole, std::string_view text) {
  text = TrimBlanks(text);
  if (std::optional<uint64_t> value = ParseNumber(text, kLastCodePoint)) {
    return static_cast<char32_t>(*value);
  }
  const bool hexadecimal = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string_view digits = text.substr(hexadecimal ? 2 : 0);
  if (digits.empty()) {
    ThrowRangeError(whole, "expected A-B with A and B decimal or hexadecimal after 0x");
  }
  const std::string_view allowed = hexadecimal ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.find_first_not_of(allowed) != std::string_view::npos) {
    ThrowRangeError(whole, "\"" + std::string(text) + "\" is not a " +
                               (hexadecimal ? "hexadecimal" : "decimal") + " number");
  }
  ThrowRangeError(whole, "\"" + std::string(text) + "\" is beyond the last code point " +
                             HexText(kLastCodePoint));
}

struct IconvCloser {
  void operator()(iconv_t* descriptor) const {
    iconv_close(*descriptor);
    delete descriptor;
  }
};
using IconvHandle = std::unique_ptr<iconv_t, IconvCloser>;

enum class Decoded { kCharacter, kIncomplete, kNothing };

// A code of a character set: its byte sequence and the character it decodes to.
struct SetCode {
  unsigned char bytes[2] = {0, 0};
  uint8_t count = 0;  // bytes in the sequence; 0 for a code left out
  char32_t codePoint = 0;
};

// Decodes one byte sequence completely; kCharacter when it is exactly one code point.
Decoded DecodeSequence(iconv_t descriptor, const unsigned char* bytes, size_t count,
                       char32_t& codePoint) {
  iconv(descriptor, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
  char input[2] = {static_cast<char>(bytes[0]), count > 1 ? static_cast<char>(bytes[1]) : '\0'};
  unsigned char output[16];
  char* in = input;
  size_t inLeft = count;
  char* out = reinterpret_cast<char*>(output);
  size_t outLeft = sizeof output;
  if (iconv(descriptor, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
    return errno == EINVAL ? Decoded::kIncomplete : Decoded::kNothing;
  }
  if (iconv(descriptor, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) {
    return Decoded::kNothing;
  }
  if (sizeof output - outLeft != 4) return Decoded::kNothing;
  codePoint = static_cast<char32_t>(output[0] | output[1] << 8 | output[2] << 16 |
                                    static_cast<uint32_t>(output[3]) << 24);
  return Decoded::kCharacter;
}

// Decodes the codes' bytes from the start of `codes` one after the other in as few calls as it
// can, as if one at a time: for a set whose characters are one or two bytes each, with no shift
// state, a run that converts without error gives one character per code, and one that stops, stops
// at the first byte of a code that would not convert alone either. Returns the first code left
// undecoded: from a run whose characters do not line up with its codes on.
size_t DecodeInOneGo(iconv_t descriptor, std::vector<SetCode>& codes) {
  std::string input;
  for (const SetCode& code : codes) {
    input.append(reinterpret_cast<const char*>(code.bytes), code.count);
  }
  std::vector<char32_t> characters(codes.size() + 1);
  size_t next = 0;
  size_t offset = 0;
  // Back to the initial state once: the set has no other.
  iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  while (next < codes.size()) {
    char* in = input.data() + offset;
    size_t inLeft = input.size() - offset;
    char* out = reinterpret_cast<char*>(characters.data());
    size_t outLeft = characters.size() * sizeof(char32_t);
    const bool stopped = iconv(descriptor, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1);
    if (stopped && errno != EILSEQ && errno != EINVAL) return next;
    if (!stopped &&
        iconv(descriptor, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) {
      return next;
    }
    // The codes the run went through, which must be whole codes and one character each.
    const size_t consumed = input.size() - offset - inLeft;
    size_t end = next;
    size_t bytes = 0;
    for (; end < codes.size() && bytes + codes[end].count <= consumed; ++end) {
      bytes += codes[end].count;
    }
    const size_t produced = characters.size() - outLeft / sizeof(char32_t);
    if (bytes != consumed || end - next != produced || outLeft % sizeof(char32_t) != 0) return next;
    for (size_t i = next; i < end; ++i) {
      const auto* character = reinterpret_cast<const unsigned char*>(&characters[i - next]);
      codes[i].codePoint =
          static_cast<char32_t>(character[0] | character[1] << 8 | character[2] << 16 |
                                static_cast<uint32_t>(character[3]) << 24);
    }
    offset += consumed;
    next = end;
    if (stopped && next < codes.size()) {
      // The code the run stopped at is no character.
      offset += codes[next].count;
      codes[next++].count = 0;
    }
  }
  return next;
}

// Replaces each code's character with the one its bytes decode to alone, and its count with 0 when
// they decode to anything but one character. `oneGo` for a set known to be read as DecodeInOneGo
// reads: most of the work in a few calls.
void DecodeCodes(iconv_t descriptor, std::vector<SetCode>& codes, bool oneGo) {
  for (size_t next = oneGo ? DecodeInOneGo(descriptor, codes) : 0; next < codes.size(); ++next) {
    SetCode& code = codes[next];
    if (DecodeSequence(descriptor, code.bytes, code.count, code.codePoint) != Decoded::kCharacter) {
      code.count = 0;
    }
  }
}

// The name as iconv reads it: up to the first "/" (where "//TRANSLIT" and the like begin), only
// letters, digits and "_-.,:" kept, upper-cased: " shift_jis//" is SHIFT_JIS.
std::string IconvSpelling(std::string_view name) {
  std::string spelling;
  for (char c : name.substr(0, name.find('/'))) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0 ||
        std::string_view("_-.,:").find(c) != std::string_view::npos) {
      spelling += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return spelling;
}

// The sets whose bytes Windows reads through one of its code pages, under every name glibc's iconv
// gives them. Their tables differ from the code page's in a few places: GB2312 A1A4 is U+30FB to
// glibc but U+00B7 to code page 936, Shift_JIS 5C is U+00A5 to glibc but U+005C to 932.
struct WindowsReading {
  const char* spelling;
  unsigned codePage;
};
constexpr WindowsReading kWindowsReadings[] = {
    {"GB2312", 936},  {"EUC-CN", 936},   {"EUCCN", 936},       {"CSGB2312", 936},
    {"CN-GB", 936},   {"BIG5", 950},     {"BIG-5", 950},       {"BIG-FIVE", 950},
    {"BIGFIVE", 950}, {"CN-BIG5", 950},  {"SHIFT_JIS", 932},   {"SHIFT-JIS", 932},
    {"SJIS", 932},    {"MS_KANJI", 932}, {"CSSHIFTJIS", 932},  {"EUC-KR", 949},
    {"EUCKR", 949},   {"CSEUCKR", 949},  {"OSF0004000A", 949},
};

// 0 when the set is read through iconv alone.
unsigned WindowsCodePageFor(const std::string& spelling) {
  for (const WindowsReading& reading : kWindowsReadings) {
    if (spelling == reading.spelling) return reading.codePage;
  }
  return 0;
}

IconvHandle OpenDecoder(const char* name) {
  iconv_t opened = iconv_open("UTF-32LE", name);
  if (opened == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(new iconv_t(opened));
}

// A Windows code page's reading of the codes of a named set. A code counts only when the code page
// reads it as one character and writes that character with the same bytes again, so that the
// entry's ANSI key is the code: code page 950 reads A2CC as U+5341 but writes that as A451, where
// the character comes anyway; EUC-KR's A2E8 (U+327E) is no character to code page 949 at all.
class WindowsReader {
 public:
  explicit WindowsReader(unsigned number)
      : codePage_(number), decoder_(OpenDecoder(("CP" + std::to_string(number)).c_str())) {
    if (!decoder_) {
      throw UserError("unknown code page " + std::to_string(number) +
                      ": the system's iconv cannot convert from CP" + std::to_string(number));
    }
  }

  // Replaces each code's character with the one the code page has for its bytes, and its count
  // with 0 when the code page has none that keeps them.
  void ReadAll(std::vector<SetCode>& codes) const {
    DecodeCodes(*decoder_, codes, true);
    for (SetCode& code : codes) {
      if (code.count == 0) continue;
      if (code.codePoint > 0xFFFF ||
          codePage_.EncodeUnit(static_cast<char16_t>(code.codePoint)) !=
              std::string_view(reinterpret_cast<const char*>(code.bytes), code.count)) {
        code.count = 0;
      }
    }
  }

 private:
  CodePage codePage_;
  IconvHandle decoder_;
};

}  // namespace

CharacterRange ParseCharacterRange(std::string_view text) {
  std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) ThrowRangeError(text, "empty; expected A-B, e.g. 0x20-0x7e");
  size_t dash = trimmed.find('-');
  if (dash == std::string_view::npos) {
    ThrowRangeError(text, "expected A-B, two numbers joined by \"-\"");
  }
  CharacterRange range;
  range.first = ParseRangeEnd(text, trimmed.substr(0, dash));
  range.last = ParseRangeEnd(text, trimmed.substr(dash + 1));
  if (range.first > range.last) {
    ThrowRangeError(text, "reversed: " + HexText(range.first) + " is above " + HexText(range.last));
  }
  return range;
}

void AppendCharacterRange(std::u16string& out, const CharacterRange& range) {
  for (char32_t codePoint = range.first;; ++codePoint) {
    AppendCodePoint(out, codePoint);
    if (codePoint == range.last) break;
  }
}

void AppendCharacterSet(std::u16string& out, const std::string& name) {
  const std::string spelling = IconvSpelling(name);
  if (spelling.empty()) {
    // iconv would take an empty name for the locale's own character set.
    throw UserError("unknown character set \"" + name + "\": " +
                    (name.empty() ? "the name is empty" : "the name has no letters or digits"));
  }
  IconvHandle named = OpenDecoder(name.c_str());
  if (!named) {
    throw UserError("unknown character set \"" + name + "\": iconv cannot convert from it");
  }
  std::optional<WindowsReader> windows;
  if (unsigned number = WindowsCodePageFor(spelling)) windows.emplace(number);

  // The codes in byte order: each byte that is a character alone, and where a byte only begins
  // one, the pairs it begins. The four sets Windows reads are such sets of one and two bytes, and
  // their pairs are decoded in few calls.
  std::vector<SetCode> singles(256);
  std::vector<Decoded> decoded(256);
  std::vector<SetCode> pairs;
  for (unsigned lead = 0; lead <= 0xFF; ++lead) {
    SetCode& single = singles[lead];
    single.bytes[0] = static_cast<unsigned char>(lead);
    single.count = 1;
    decoded[lead] = DecodeSequence(*named, single.bytes, 1, single.codePoint);
    if (decoded[lead] != Decoded::kIncomplete) continue;
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      pairs.push_back(SetCode{{single.bytes[0], static_cast<unsigned char>(trail)}, 2, 0});
    }
  }
  DecodeCodes(*named, pairs, windows.has_value());
  std::vector<SetCode> codes;
  auto row = pairs.begin();
  for (unsigned lead = 0; lead <= 0xFF; ++lead) {
    if (decoded[lead] == Decoded::kCharacter) {
      codes.push_back(singles[lead]);
    } else if (decoded[lead] == Decoded::kIncomplete) {
      std::copy_if(row, row + 256, std::back_inserter(codes),
                   [](const SetCode& pair) { return pair.count != 0; });
      row += 256;
    }
  }
  if (windows) windows->ReadAll(codes);
  const size_t before = out.size();
  for (const SetCode& kept : codes) {
    if (kept.count != 0 && !IsControlCode(kept.codePoint)) AppendCodePoint(out, kept.codePoint);
  }
  if (out.size() == before) {
    throw UserError("character set \"" + name + "\" encodes no character in one or two bytes");
  }
}

void RemoveCharacters(std::u16string& sample, std::u16string_view characters,
                      const std::vector<CharacterRange>& ranges) {
  // Each character as its code point and its length in units.
  const auto characterAt = [](std::u16string_view text, size_t at) -> std::pair<char32_t, size_t> {
    const char16_t unit = text[at];
    if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
        text[at + 1] <= 0xDFFF) {
      return {0x10000 + ((unit - 0xD800) << 10) + (text[at + 1] - 0xDC00), 2};
    }
    return {unit, 1};
  };
  std::vector<char32_t> excluded;
  for (size_t at = 0; at < characters.size();) {
    const auto [codePoint, length] = characterAt(characters, at);
    excluded.push_back(codePoint);
    at += length;
  }
  std::sort(excluded.begin(), excluded.end());
  std::u16string kept;
  kept.reserve(sample.size());
  for (size_t at = 0; at < sample.size();) {
    const auto [found, length] = characterAt(sample, at);
    const auto codePoint = found;  // a plain variable: lambdas may not capture a structured binding
    const bool inRange = std::any_of(ranges.begin(), ranges.end(), [&](const CharacterRange& r) {
      return codePoint >= r.first && codePoint <= r.last;
    });
    if (!inRange && !std::binary_search(excluded.begin(), excluded.end(), codePoint)) {
      kept.append(sample, at, length);
    }
    at += length;
  }
  sample = std::move(kept);
}

}  // namespace pindot
