#include "output/text_sink.h"

#include <exception>

#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

void Utf16Sink::AppendBytes(std::string_view bytes) {
  text_.append(FromUtf8(bytes, "a file name"));
}

ByteSink::~ByteSink() {
  // A sink destroyed by an exception hands nothing on: the consumer may be what threw.
  if (std::uncaught_exceptions() == 0) Flush();
}

void ByteSink::Flush() {
  if (buffer_.empty()) return;
  consumer_(buffer_);
  buffer_.clear();
}

void ByteSink::AppendBytes(std::string_view bytes) {
  buffer_.append(bytes);
  Spill();
}

void Utf8Sink::AppendAscii(std::string_view text) {
  Buffer().append(text);
  Spill();
}

void Utf8Sink::AppendLiteralUnit(char16_t unit) {
  AppendUtf8(Buffer(), std::u16string_view(&unit, 1));
  Spill();
}

void Utf8Sink::AppendText(std::u16string_view text) {
  AppendUtf8(Buffer(), text);
  Spill();
}

void CodePageSink::AppendAscii(std::string_view text) {
  codePage_.EncodeAscii(text, Buffer());
  Spill();
}

void CodePageSink::AppendLiteralUnit(char16_t unit) {
  const std::string_view bytes = codePage_.EncodeUnit(unit);
  if (bytes.find_first_of("\\\"") == std::string_view::npos) {
    Buffer().append(bytes);
  } else {
    for (unsigned char byte : bytes) AppendOctalEscape(Buffer(), byte);
  }
  Spill();
}

void CodePageSink::AppendText(std::u16string_view text) {
  codePage_.Encode(text, Buffer());
  Spill();
}

}  // namespace pindot
