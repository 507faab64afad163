#include "core/imaging/Quantisation.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

namespace {

// Truncation toward zero, then limited to 0..levels-1.
uint8_t limitLevel(double value, int levels)
{
    if (!(value > 0.0))
        return 0;
    if (value >= double(levels - 1))
        return uint8_t(levels - 1);
    return uint8_t(value);
}

// Trunc(channel x levels / 256). Every level count is a power of two, so the
// scaling is by a power of two and exact in double just as in extended
// precision: the truncation falls the same way.
uint8_t channelLevel(double channel, int levels)
{
    return limitLevel(channel * (double(levels) / 256.0), levels);
}

int toDisplay(int level, int levels)
{
    return level * 255 / (levels - 1);
}

} // namespace

TPixelLevels quantiseLevels(const TRGBA_Rec& p, int format)
{
    const PixelFormatInfo& f = pixelFormatOf(format);
    if (f.grey) {
        // With 256 levels the scaling is by 1: Trunc(grey) limited to 0..255.
        const uint8_t level = greyLevel(p, double(f.levels[0]) / 256.0, f.levels[0] - 1);
        return {level, level, level, 255};
    }
    TPixelLevels out;
    out.R = channelLevel(p.R, f.levels[0]);
    out.G = channelLevel(p.G, f.levels[1]);
    out.B = channelLevel(p.B, f.levels[2]);
    switch (f.alpha) {
    case PixelAlpha::None: out.A = 255; break;
    case PixelAlpha::Levels: out.A = channelLevel(p.A, f.levels[3]); break;
    case PixelAlpha::OpaqueBit:
        // Trunc((A + 1) / 256): only a fully opaque pixel keeps its alpha bit.
        // A + 1 is exact in double wherever the result can reach 1, and the
        // division is by a power of two.
        out.A = limitLevel((p.A + 1.0) / 256.0, 2);
        break;
    }
    return out;
}

TRGBA_Rec levelsToDisplay(const TPixelLevels& lv, int format)
{
    const PixelFormatInfo& f = pixelFormatOf(format);
    // A one-bit alpha maps back as level x 255 / 1, like any other channel.
    return {double(toDisplay(lv.R, f.levels[0])), double(toDisplay(lv.G, f.levels[1])),
            double(toDisplay(lv.B, f.levels[2])),
            f.alpha == PixelAlpha::None ? 255.0 : double(toDisplay(lv.A, f.levels[3]))};
}

TRGBA_Rec Quantise_Pixel(const TRGBA_Rec& pixel, int format, bool raw)
{
    const TPixelLevels lv = quantiseLevels(pixel, format);
    if (raw)
        return {double(lv.R), double(lv.G), double(lv.B), double(lv.A)};
    return levelsToDisplay(lv, format);
}
