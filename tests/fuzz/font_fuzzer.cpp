// The libFuzzer entry point: every input goes through the whole font pipeline.
#include <cstddef>
#include <cstdint>

#include "font_pipeline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pindot::RunFontPipeline(data, size);
  return 0;
}
