// Where a generated text goes: the window's UTF-16 text, UTF-8 for a terminal, or the code page's
// bytes of an exported file, written as it is made.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "text/code_page.h"

namespace pindot {

// The generated C texts are ASCII but for the characters between the quotes of EX_FONT_CHAR("..."),
// so a sink takes ASCII pieces and those characters apart.
class TextSink {
 public:
  virtual ~TextSink() = default;
  // ASCII only.
  virtual void AppendAscii(std::string_view text) = 0;
  // One unit inside a C string literal that the writer has not escaped (not a quote, a backslash
  // or a control code). A sink that writes bytes makes sure no byte of it ends or breaks the
  // literal.
  virtual void AppendLiteralUnit(char16_t unit) = 0;
  // A text with no literal in it (a template): ASCII but for a file title.
  virtual void AppendText(std::u16string_view text) = 0;
  // Bytes as they stand, whatever the encoding: a file's name as the file system spells it (UTF-8).
  virtual void AppendBytes(std::string_view bytes) = 0;
};

// The text as UTF-16, as the window shows it.
class Utf16Sink : public TextSink {
 public:
  explicit Utf16Sink(std::u16string& text) : text_(text) {}
  void AppendAscii(std::string_view text) override { text_.append(text.begin(), text.end()); }
  void AppendLiteralUnit(char16_t unit) override { text_.push_back(unit); }
  void AppendText(std::u16string_view text) override { text_.append(text); }
  void AppendBytes(std::string_view bytes) override;

 private:
  std::u16string& text_;
};

// Bytes that a sink hands on in pieces of about 64 KB, and once more when flushed or destroyed.
class ByteSink : public TextSink {
 public:
  using Consumer = std::function<void(std::string_view bytes)>;
  explicit ByteSink(Consumer consumer) : consumer_(std::move(consumer)) {}
  ~ByteSink() override;
  void AppendBytes(std::string_view bytes) override;
  void Flush();

 protected:
  std::string& Buffer() { return buffer_; }
  // Hands the buffer on once it has grown past a piece.
  void Spill() {
    if (buffer_.size() >= kPiece) Flush();
  }

 private:
  static constexpr size_t kPiece = 1 << 16;
  Consumer consumer_;
  std::string buffer_;
};

// UTF-8, as a terminal gets it; a lone surrogate becomes U+FFFD.
class Utf8Sink : public ByteSink {
 public:
  using ByteSink::ByteSink;
  void AppendAscii(std::string_view text) override;
  void AppendLiteralUnit(char16_t unit) override;
  void AppendText(std::u16string_view text) override;
};

// The code page's bytes, as an exported file holds them. Inside a literal, a character any of
// whose bytes is 0x5C (a backslash) or 0x22 (a quote) would end or break the literal for a
// compiler that reads the file byte by byte: CP932 writes U+00A5 as the single byte 0x5C, CP936
// writes U+4E57 as 81 5C. Such a character is written as octal escapes of all its bytes, which
// every compiler reads alike (EX_FONT_CHAR drops the string anyway).
class CodePageSink : public ByteSink {
 public:
  CodePageSink(const CodePage& codePage, Consumer consumer)
      : ByteSink(std::move(consumer)), codePage_(codePage) {}
  void AppendAscii(std::string_view text) override;
  void AppendLiteralUnit(char16_t unit) override;
  void AppendText(std::u16string_view text) override;

 private:
  const CodePage& codePage_;
};

}  // namespace pindot
