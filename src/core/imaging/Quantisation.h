#pragma once
// Quantisation of one pixel to a controller pixel format. The grey sum is
// that of 64-bit-mantissa arithmetic rounded to a double (GreyLevel.h), so
// that grey levels at the boundaries fall the same way on every machine; the
// level scaling is by powers of two and therefore exact in double.

#include "core/imaging/GreyLevel.h"
#include "core/imaging/RgbaRec.h"

#include <cstdint>

// Integer levels of one pixel; grey formats repeat the level in R, G and B.
struct TPixelLevels {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    uint8_t A = 0;
};

// Levels of a pixel in the format. A format without alpha gives A = 255, so
// that callers can treat "A reached full" the same for every format. Throws
// ImagingError for a code without levels.
TPixelLevels quantiseLevels(const TRGBA_Rec& pixel, int format);

// The levels mapped back to the 0..255 scale (level x 255 / (levels - 1),
// truncating).
TRGBA_Rec levelsToDisplay(const TPixelLevels& levels, int format);

// With raw set the levels as floats, otherwise the levels mapped back to 0..255.
TRGBA_Rec Quantise_Pixel(const TRGBA_Rec& pixel, int format, bool raw);
