#include "core/imaging/GreyLevel.h"

#include <boost/multiprecision/cpp_bin_float.hpp>

#include <cmath>

namespace grey_detail {

bool gAlwaysExact = false;

namespace {

// The 64-bit weights, each the double weight plus an exact remainder.
constexpr double kRestR = 0x1.1e8p-57;
constexpr double kRestG = 0x1.ecp-56;
constexpr double kRestB = -0x1.eb8p-58;

namespace mp = boost::multiprecision;
using Extended = mp::number<mp::cpp_bin_float<64, mp::digit_base_2, void, std::int16_t, -16382, 16383>, mp::et_off>;
using Double = mp::number<mp::cpp_bin_float<53, mp::digit_base_2, void, std::int16_t, -1022, 1023>, mp::et_off>;

// Each operation rounds to 64 bits, to nearest, ties to even.
Extended extendedSum(const TRGBA_Rec& p)
{
    const Extended wr = Extended(kWeightR) + Extended(kRestR);
    const Extended wg = Extended(kWeightG) + Extended(kRestG);
    const Extended wb = Extended(kWeightB) + Extended(kRestB);
    const Extended r = wr * Extended(p.R);
    const Extended g = wg * Extended(p.G);
    const Extended b = wb * Extended(p.B);
    const Extended rg = r + g;
    return rg + b;
}

double toDouble(const Extended& x)
{
    // Rounded to 53 bits first, so the conversion to double itself is exact.
    return Double(x).convert_to<double>();
}

struct DoubleDouble {
    double hi = 0;
    double lo = 0;
};

// hi + lo == a + b exactly.
DoubleDouble twoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

void add(DoubleDouble& acc, double hi, double lo)
{
    const DoubleDouble s = twoSum(acc.hi, hi);
    const double rest = s.lo + acc.lo + lo;
    acc.hi = s.hi + rest;
    acc.lo = rest - (acc.hi - s.hi);
}

// weight x value with the 64-bit weight, to about 2^-104 relative.
void addProduct(DoubleDouble& acc, double weight, double rest, double value)
{
    const double p = weight * value;
    add(acc, p, std::fma(weight, value, -p) + rest * value);
}

int exactLevel(const TRGBA_Rec& p, double scale, int max)
{
    return levelOf(toDouble(extendedSum(p)) * scale, max);
}

} // namespace

int nearBoundaryLevel(const TRGBA_Rec& p, double scale, int max)
{
    if (gAlwaysExact)
        return exactLevel(p, scale, max);
    DoubleDouble x;
    addProduct(x, kWeightR, kRestR, p.R);
    addProduct(x, kWeightG, kRestG, p.G);
    addProduct(x, kWeightB, kRestB, p.B);
    const double magnitude = std::fabs(kWeightR * p.R) + std::fabs(kWeightG * p.G) + std::fabs(kWeightB * p.B);
    // The 64-bit roundings (three products, two sums) move the sum by less.
    const double bound = magnitude * 0x1p-60;
    const int low = levelOf((x.hi - bound) * scale, max);
    const int high = levelOf((x.hi + bound) * scale, max);
    if (high != low + 1 || high == 0)
        return exactLevel(p, scale, max);
    // The boundary between the two levels, and the point below it from which
    // a sum rounds up to it as a double: half the gap to the double before it.
    const double boundary = double(high) / scale;
    const double half = (boundary - std::nextafter(boundary, 0.0)) / 2;
    const double above = ((x.hi - boundary) + half) + x.lo;
    if (above > bound)
        return high;
    if (above < -bound)
        return low;
    return exactLevel(p, scale, max);
}

} // namespace grey_detail

double greyValueExact(const TRGBA_Rec& p)
{
    return grey_detail::toDouble(grey_detail::extendedSum(p));
}
