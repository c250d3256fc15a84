#include "output/text_sink.h"

#include <gtest/gtest.h>

#include <string>

namespace pindot {
namespace {

// In code page 936 U+4E57 is 81 5C, U+4E2D is D6 D0; in code page 932 U+00A5 is the single byte
// 5C. Inside a literal, a character with a backslash or quote byte becomes octal escapes; outside
// one, text goes in as the code page writes it.
TEST(CodePageSink, EscapesBackslashAndQuoteBytesOfALiteralsCharacter) {
  const std::tuple<unsigned, char16_t, std::string> cases[] = {
      {936, u'\u4e57', "\\201\\134"}, {936, u'\u4e2d', "\xd6\xd0"}, {932, u'\u00a5', "\\134"},
      {1252, u'\u00e9', "\xe9"},      {1252, u'\u4e2d', " "},  // missing: the space
  };
  for (const auto& [number, unit, expected] : cases) {
    std::string bytes;
    const CodePage codePage(number);
    {
      CodePageSink sink(codePage, [&bytes](std::string_view piece) { bytes.append(piece); });
      sink.AppendLiteralUnit(unit);
    }
    EXPECT_EQ(bytes, expected) << number << " " << int(unit);
  }
  std::string bytes;
  const CodePage codePage(936);
  {
    CodePageSink sink(codePage, [&bytes](std::string_view piece) { bytes.append(piece); });
    sink.AppendText(u"\u4e57 ");
    sink.AppendBytes("\xe5\xae\x8b");  // a file name as the file system spells it
  }
  EXPECT_EQ(bytes, "\x81\\ \xe5\xae\x8b");
}

// Bytes reach the consumer in pieces once a piece is full, and the rest when the sink ends.
TEST(ByteSink, HandsBytesOnInPiecesAndTheRestAtTheEnd) {
  std::vector<size_t> pieces;
  {
    Utf8Sink sink([&pieces](std::string_view piece) { pieces.push_back(piece.size()); });
    for (int i = 0; i < 70000; ++i) sink.AppendAscii("x");
    sink.AppendText(u"\u4e2d\xd800");  // a lone surrogate becomes U+FFFD
    EXPECT_EQ(pieces.size(), 1u);
  }
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0] + pieces[1], 70000u + 6u);
}

}  // namespace
}  // namespace pindot
