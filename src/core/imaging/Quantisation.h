#pragma once
// Quantisation of one pixel to a controller pixel format. The grey sum runs
// in 80-bit long double and is rounded to a double, so that grey levels at the
// boundaries fall the same way on every machine; the level scaling is by
// powers of two and therefore exact in double.

#include "core/imaging/RgbaRec.h"

#include <cstdint>

// Integer levels of one pixel; grey formats repeat the level in R, G and B.
struct TPixel_Levels {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    uint8_t A = 0;
};

// Levels of a pixel in the format. A format without alpha gives A = 255, so
// that callers can treat "A reached full" the same for every format. Throws
// ImagingError for a code without levels.
TPixel_Levels Quantise_Levels(const TRGBA_Rec& pixel, int format);

// The levels mapped back to the 0..255 scale (level x 255 / (levels - 1),
// truncating).
TRGBA_Rec Levels_To_Display(const TPixel_Levels& levels, int format);

// With raw set the levels as floats, otherwise the levels mapped back to 0..255.
TRGBA_Rec Quantise_Pixel(const TRGBA_Rec& pixel, int format, bool raw);

// Grey value of a colour: 0.21 R + 0.72 G + 0.07 B, summed in extended
// precision and rounded to a double.
inline double Grey_Value(const TRGBA_Rec& p)
{
    const long double grey = 0.21L * (long double)p.R + 0.72L * (long double)p.G + 0.07L * (long double)p.B;
    return double(grey);
}
