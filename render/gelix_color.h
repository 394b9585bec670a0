#pragma once
// Gelix objects carry their colour as a small signed number: 0 to 15 index
// the Gelix palette, a negative number holds a 15-bit colour.
#include <cstdint>

#include "render/canvas.h"

// Five bits each of red (bits 10-14), green (5-9) and blue (0-4); a full
// component (248) becomes 255.
TColor RGB555ToColor(std::int32_t number);
// Numbers above the palette are black.
TColor GelixColorToRGB(std::int16_t number);
