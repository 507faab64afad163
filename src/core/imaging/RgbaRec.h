#pragma once
// One pixel during conversion and the small operations on whole pixels. The
// values are nominally 0..255 but run outside that range while the diffused
// error accumulates, so they are doubles.

#include <algorithm>
#include <cstdint>

struct TRGBA_Rec {
    double R = 0.0;
    double G = 0.0;
    double B = 0.0;
    double A = 0.0;
};

// A 32-bit ARGB word (A in bits 24..31, B in 0..7) to floats.
inline TRGBA_Rec rgbaUnpack(uint32_t argb)
{
    return {double((argb >> 16) & 0xFF), double((argb >> 8) & 0xFF), double(argb & 0xFF), double(argb >> 24)};
}

namespace rgba_detail {
inline uint32_t toByte(double v)
{
    // Truncate toward zero first, then limit; NaN (never produced) would give 0.
    if (!(v > 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return uint32_t(v);
}
inline double limit255(double v)
{
    return std::clamp(v, 0.0, 255.0);
}
} // namespace rgba_detail

// Floats to an ARGB word: each channel truncated toward zero, then limited to 0..255.
inline uint32_t rgbaPack(const TRGBA_Rec& p)
{
    using rgba_detail::toByte;
    return (toByte(p.A) << 24) | (toByte(p.R) << 16) | (toByte(p.G) << 8) | toByte(p.B);
}

inline TRGBA_Rec rgbaClamp(const TRGBA_Rec& p)
{
    using rgba_detail::limit255;
    return {limit255(p.R), limit255(p.G), limit255(p.B), limit255(p.A)};
}

// Colour summed; alpha taken from the first operand.
inline TRGBA_Rec rgbaAdd(const TRGBA_Rec& a, const TRGBA_Rec& b)
{
    return {a.R + b.R, a.G + b.G, a.B + b.B, a.A};
}

inline TRGBA_Rec rgbaSubtract(const TRGBA_Rec& a, const TRGBA_Rec& b)
{
    return {a.R - b.R, a.G - b.G, a.B - b.B, a.A - b.A};
}

// Colour scaled; alpha set to 0, so a scaled error never moves a neighbour's alpha.
inline TRGBA_Rec rgbaScale(const TRGBA_Rec& p, double factor)
{
    return {p.R * factor, p.G * factor, p.B * factor, 0.0};
}
