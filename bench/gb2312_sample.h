// The GB2312 hanzi in code order, as a realistic sample whose Unicode order is scrambled.
#pragma once

#include <iconv.h>

#include <string>

namespace pindot::bench {

// Rows 0xB0..0xF7 of GB2312 (the 6,763 hanzi), decoded through iconv, code order kept.
inline std::u16string Gb2312Hanzi() {
  std::u16string text;
  iconv_t converter = iconv_open("UTF-16LE", "GB2312");
  if (converter == reinterpret_cast<iconv_t>(-1)) return text;
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      char input[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      char output[8] = {};
      char* in = input;
      char* out = output;
      size_t inLeft = 2;
      size_t outLeft = sizeof output;
      if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) &&
          sizeof output - outLeft == 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(output[0]) |
                                             static_cast<unsigned char>(output[1]) << 8));
      }
    }
  }
  iconv_close(converter);
  return text;
}

}  // namespace pindot::bench
