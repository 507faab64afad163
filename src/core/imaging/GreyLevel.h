#pragma once
// The grey level of a colour: Trunc(grey x levels / 256) limited to
// 0..levels-1, where grey = 0.21 R + 0.72 G + 0.07 B is formed with the
// three weights held to 64 significant bits, each product and sum rounded to
// 64 bits, and the total rounded to a double. That is the arithmetic of an
// 80-bit floating-point unit; it is reproduced here without one, so that
// every compiler and processor gives the same levels (with a plain double
// sum, white would become 254 in 8-bit grey).
//
// Most pixels are decided by the double sum alone: its error is bounded and
// no level boundary lies within the bound. Near a boundary the sum is formed
// again in double-double, and in the rare case that even this cannot tell, by
// exact 64-bit-mantissa arithmetic.

#include "core/imaging/RgbaRec.h"

#include <cmath>
#include <cstdint>

namespace grey_detail {
// The weights as doubles; the 64-bit weights add a small remainder to each.
inline constexpr double kWeightR = 0.21;
inline constexpr double kWeightG = 0.72;
inline constexpr double kWeightB = 0.07;

// Trunc(v) limited to 0..max: a pixel's level for a scaled grey value v.
inline int levelOf(double v, int max)
{
    if (!(v > 0.0))
        return 0;
    if (v >= double(max))
        return max;
    return int(v);
}

// Set by tests to send every pixel through the exact computation.
extern bool gAlwaysExact;

int nearBoundaryLevel(const TRGBA_Rec& p, double scale, int max);
} // namespace grey_detail

// scale = levels / 256 (a power of two), max = levels - 1.
inline uint8_t greyLevel(const TRGBA_Rec& p, double scale, int max)
{
    using namespace grey_detail;
    const double r = kWeightR * p.R;
    const double g = kWeightG * p.G;
    const double b = kWeightB * p.B;
    const double sum = r + g + b;
    // Far more than the double sum's own error, the weights' remainders, the
    // 64-bit roundings and the final rounding to a double together.
    const double bound = (std::fabs(r) + std::fabs(g) + std::fabs(b)) * 0x1p-47;
    const int low = levelOf((sum - bound) * scale, max);
    if (low == levelOf((sum + bound) * scale, max) && !gAlwaysExact)
        return uint8_t(low);
    return uint8_t(nearBoundaryLevel(p, scale, max));
}

// The grey value itself, always by exact 64-bit-mantissa arithmetic (slow:
// for tests and single values).
double greyValueExact(const TRGBA_Rec& p);

// Tests: sends every pixel through the exact computation while it lives.
class GreyAlwaysExact {
public:
    explicit GreyAlwaysExact(bool on = true) : m_old(grey_detail::gAlwaysExact) { grey_detail::gAlwaysExact = on; }
    ~GreyAlwaysExact() { grey_detail::gAlwaysExact = m_old; }
    GreyAlwaysExact(const GreyAlwaysExact&) = delete;
    GreyAlwaysExact& operator=(const GreyAlwaysExact&) = delete;

private:
    bool m_old;
};
