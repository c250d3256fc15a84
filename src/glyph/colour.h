// Colours of the canvas as the scan compares them.
#pragma once

#include <cstdint>

namespace pindot {

// A 0x00BBGGRR value. A pixel is ink when it equals the ink colour in all 32 bits.
using Colour = uint32_t;

}  // namespace pindot
