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
// precision: the truncation falls the same way, and the x87 unit (slow to
// truncate) is needed only for the grey sum.
uint8_t channelLevel(double channel, int levels)
{
    return limitLevel(channel * (double(levels) / 256.0), levels);
}

int toDisplay(int level, int levels)
{
    return level * 255 / (levels - 1);
}

} // namespace

TPixel_Levels Quantise_Levels(const TRGBA_Rec& p, int format)
{
    TPixel_Levels out;
    switch (format) {
    case 0:
        out.R = channelLevel(p.R, 32);
        out.G = channelLevel(p.G, 32);
        out.B = channelLevel(p.B, 32);
        // Trunc((A + 1) / 256): only a fully opaque pixel keeps its alpha bit.
        // A + 1 is exact in double wherever the result can reach 1, and the
        // division is by a power of two.
        out.A = limitLevel((p.A + 1.0) / 256.0, 2);
        return out;
    case 4:
        out.R = channelLevel(p.R, 8);
        out.G = channelLevel(p.G, 8);
        out.B = channelLevel(p.B, 4);
        out.A = 255;
        return out;
    case 5:
    case 6: {
        const int levels = format == 5 ? 4 : 16;
        out.R = channelLevel(p.R, levels);
        out.G = channelLevel(p.G, levels);
        out.B = channelLevel(p.B, levels);
        out.A = channelLevel(p.A, levels);
        return out;
    }
    case 7:
        out.R = channelLevel(p.R, 32);
        out.G = channelLevel(p.G, 64);
        out.B = channelLevel(p.B, 32);
        out.A = 255;
        return out;
    case 1:
    case 2:
    case 17:
    case 18: {
        const int levels = format == 1 ? 2 : format == 2 ? 16 : 4;
        const uint8_t level = channelLevel(Grey_Value(p), levels);
        return {level, level, level, 255};
    }
    case 3: {
        const uint8_t level = limitLevel(Grey_Value(p), 256);
        return {level, level, level, 255};
    }
    default: throw ImagingError(QStringLiteral("Pixel format %1 is not a format the controller knows.").arg(format));
    }
}

TRGBA_Rec Levels_To_Display(const TPixel_Levels& lv, int format)
{
    switch (format) {
    case 0:
        return {double(toDisplay(lv.R, 32)), double(toDisplay(lv.G, 32)), double(toDisplay(lv.B, 32)),
                double(lv.A * 255)};
    case 3: return {double(lv.R), double(lv.G), double(lv.B), 255.0};
    default: {
        const TPixel_Format_Levels f = Pixel_Format_Levels(format);
        return {double(toDisplay(lv.R, f.red)), double(toDisplay(lv.G, f.green)), double(toDisplay(lv.B, f.blue)),
                f.alpha ? double(toDisplay(lv.A, f.alpha)) : 255.0};
    }
    }
}

TRGBA_Rec Quantise_Pixel(const TRGBA_Rec& pixel, int format, bool raw)
{
    const TPixel_Levels lv = Quantise_Levels(pixel, format);
    if (raw)
        return {double(lv.R), double(lv.G), double(lv.B), double(lv.A)};
    return Levels_To_Display(lv, format);
}
