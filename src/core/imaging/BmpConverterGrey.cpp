// The diffusion pass of the grey formats with the level decided early.
//
// The whole picture is one chain of dependent steps: a pixel's level decides
// its error, which the next pixel along the row receives. A grey level needs
// the weighted sum of the three channels on top of a colour format's steps.
// Here the level is decided from an estimate of the weighted channels that
// waits for as little as possible of the previous pixel's work:
//
//   channel = clamp(clamp(row value + 7/16 x (previous channel
//                         - previous shown level)) + noise)
//           = limit(row value + noise + 7/16 x previous channel
//                   - 7/16 x previous shown level, max(0, noise),
//                   min(255, 255 + noise))
//
// Every term but the last is known before the previous level is, and the
// shown level is a whole multiple of the level (every grey format maps level
// l back to l x 255 / (levels - 1)), so from one level to the next there are
// only a multiplication, a subtraction, the limits, the weighted sum and the
// truncation. The estimate differs from the channels' weighted sum only by a
// few roundings of values below 1024, far less than kMargin; where its sum
// lies within kMargin of a level boundary the level is taken from the
// channels themselves, as everywhere else. So every level, every error and
// every byte is the one the plain pass gives; the channels are still formed
// exactly as there, beside the estimate.

#include "core/imaging/BmpConverter.h"
#include "core/imaging/ChannelClamp.h"
#include "core/imaging/ErrorShares.h"
#include "core/imaging/GreyQuantiser.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {
// The estimate is within 2^-36 of the channels' weighted sum while no value
// on the way exceeds 1024 in size; this is far wider.
constexpr double kMargin = 0x1p-30;
// The noise that keeps every value below 1024: channels stay within
// -64..319, errors within +-319, row values within -180..435.
constexpr double kLargestNoise = 64.0;
// x + 2^52 - 0.5, less 2^52, is floor(x) for 0.5 <= x < 2^51 wherever x is
// not a whole number (ties to even decide those).
constexpr double kFloorBias = 0x1p52 - 0.5;
constexpr double kTwo52 = 0x1p52;
} // namespace

bool BmpConverter::diffuseGreyEarly(const GreyQuantiser& grey, const QImage& source, QImage& preview)
{
    const int imageWidth = m_width;
    const int imageHeight = m_height;
    const int max = grey.max();
    const double step255 = grey.shown(1);
    for (int level = 0; level <= max; ++level)
        if (grey.shown(level) != double(level) * step255)
            return false;
    const double amplitude = std::ldexp(1.0, m_params.random_bits) - 1.0;
    const size_t pixels = size_t(imageWidth) * size_t(imageHeight);
    const double* factors = m_noise.factors(m_params.random_stdev, pixels);
    if (grey.exactOnly() || !(std::fabs(amplitude) * m_noise.largestMagnitude(pixels) <= kLargestNoise))
        return false;

    const double wR = grey.scaledWeights()[0];
    const double wG = grey.scaledWeights()[1];
    const double wB = grey.scaledWeights()[2];
    const double shownShare = step255 * (7.0 / 16.0); // exact: a small whole number x 7/16
    size_t drawn = 0;

    // Two channels to a register (R with G, B with the unused alpha, whose
    // weight 0 keeps it out of the sum), the same IEEE operations as one at
    // a time for the channels themselves, in fewer instructions.
    const __m128d zero = _mm_setzero_pd();
    const __m128d full = _mm_set1_pd(255.0);
    const __m128d seven = _mm_set1_pd(7.0 / 16.0);
    const __m128d shownStep = _mm_set1_pd(step255);
    const __m128d weightRG = _mm_set_pd(wG, wR);
    const __m128d weightBA = _mm_set_sd(wB);
    const __m128d sevenRG = _mm_mul_pd(weightRG, seven);
    const __m128d sevenBA = _mm_mul_pd(weightBA, seven);
    const __m128d shownRG = _mm_mul_pd(weightRG, _mm_set1_pd(shownShare));
    const __m128d shownBA = _mm_mul_pd(weightBA, _mm_set1_pd(shownShare));
    const __m128d lowest = _mm_set1_pd(0.5);
    const __m128d floorBias = _mm_set1_pd(kFloorBias);
    const __m128d two52 = _mm_set1_pd(kTwo52);
    const auto clamp = [&](__m128d v) { return _mm_min_pd(full, _mm_max_pd(zero, v)); };

    loadRow(source, 0, m_rows[0].data());
    for (int y = 0; y < imageHeight; ++y) {
        const TRGBA_Rec* cur = m_rows[y & 1].data();
        const bool hasNext = y + 1 < imageHeight;
        const bool even = (y & 1) == 0;
        const int step = even ? 1 : -1;
        int x = even ? 0 : imageWidth - 1;
        TPixelLevels* levelRow = m_levels.data() + size_t(y) * size_t(imageWidth);
        auto* previewRow = preview.isNull() ? nullptr : reinterpret_cast<uint32_t*>(preview.scanLine(y));
        const auto* sourceBelow = reinterpret_cast<const uint32_t*>(source.constScanLine(hasNext ? y + 1 : y));
        RowBelowPairs below(sourceBelow, m_rows[(y + 1) & 1].data(), x, step);

        // The 7/16 shares carried to the next pixel along the row; -0.0
        // added to any value leaves it as it is.
        __m128d carriedRG = _mm_set1_pd(-0.0);
        __m128d carriedBA = _mm_set1_pd(-0.0);
        // The previous pixel's channels and level (none at the start of a row).
        __m128d beforeRG = zero;
        __m128d beforeBA = zero;
        __m128d levelBefore = zero;
        for (int i = 0; i < imageWidth; ++i, x += step) {
            const TRGBA_Rec& c = cur[x];
            const __m128d rowRG = _mm_loadu_pd(&c.R);
            const __m128d rowBA = _mm_loadu_pd(&c.B);
            const __m128d noise = _mm_set1_pd(amplitude * factors[drawn++]);
            // The channels, exactly as the plain pass forms them.
            const __m128d pRG = _mm_add_pd(clamp(_mm_add_pd(rowRG, carriedRG)), noise);
            const __m128d pBA = _mm_add_pd(clamp(_mm_add_pd(rowBA, carriedBA)), noise);

            // The estimate, weighted. clamp(clamp(v) + noise) is v + noise
            // limited to max(0, noise)..min(255, 255 + noise); all but the
            // previous level's share of it is known before that level is.
            const __m128d low = _mm_max_pd(noise, zero);
            const __m128d high = _mm_min_pd(_mm_add_pd(noise, full), full);
            const __m128d rowNoiseRG
                = _mm_add_pd(_mm_mul_pd(_mm_add_pd(rowRG, noise), weightRG), _mm_mul_pd(beforeRG, sevenRG));
            const __m128d rowNoiseBA
                = _mm_add_pd(_mm_mul_pd(_mm_add_pd(rowBA, noise), weightBA), _mm_mul_pd(beforeBA, sevenBA));
            const __m128d rg = _mm_min_pd(
                _mm_mul_pd(high, weightRG),
                _mm_max_pd(_mm_mul_pd(low, weightRG), _mm_sub_pd(rowNoiseRG, _mm_mul_pd(levelBefore, shownRG))));
            const __m128d ba = _mm_min_pd(
                _mm_mul_pd(high, weightBA),
                _mm_max_pd(_mm_mul_pd(low, weightBA), _mm_sub_pd(rowNoiseBA, _mm_mul_pd(levelBefore, shownBA))));
            const __m128d halves = _mm_add_pd(rg, ba);
            const __m128d t = _mm_add_pd(halves, _mm_shuffle_pd(halves, halves, 1)); // the sum in both lanes
            // The level, Trunc(sum) limited to 0..max, in both lanes. The
            // sum never reaches the format's level count (each weighted
            // channel is at most its weight x 255, the scaled weights add up
            // to levels / 256), so only the lower limit is applied; 0.5, as
            // the floor below needs, gives level 0 as 0 does.
            const __m128d limited = _mm_max_pd(t, lowest);
            __m128d level = _mm_sub_pd(_mm_add_pd(limited, floorBias), two52);
            // Clear of a level boundary when the part above the level lies
            // within kMargin..1-kMargin (at a whole number the floor may
            // be one too low, which puts the part at 1: not clear).
            const double above = _mm_cvtsd_f64(_mm_sub_pd(limited, level));
            if (!(std::fabs(above - 0.5) < 0.5 - kMargin)) [[unlikely]] {
                // A level boundary within the margin: the channels decide.
                double p[4];
                _mm_storeu_pd(p, clamp(pRG));
                _mm_storeu_pd(p + 2, clamp(pBA));
                level = _mm_set1_pd(double(grey.levelOf({p[0], p[1], p[2], 255.0})));
            }
            const __m128d q = _mm_mul_pd(level, shownStep);
            // The level in R, G and B, 255 in A, in one store.
            const uint32_t levels = uint32_t(_mm_cvttsd_si32(level)) * 0x010101u | 0xFF000000u;
            std::memcpy(static_cast<void*>(&levelRow[x]), &levels, sizeof levels);
            if (previewRow)
                previewRow[x] = rgbaPack({_mm_cvtsd_f64(q), _mm_cvtsd_f64(q), _mm_cvtsd_f64(q), 255.0});

            const __m128d eRG = _mm_sub_pd(pRG, q);
            const __m128d eBA = _mm_sub_pd(pBA, q);
            carriedRG = _mm_mul_pd(eRG, seven);
            carriedBA = _mm_mul_pd(eBA, seven);
            beforeRG = pRG;
            beforeBA = pBA;
            levelBefore = level;
            if (hasNext)
                below.spread(x, i, imageWidth, eRG, eBA);
        }
        if (hasNext)
            below.finish(x - step);
    }
    return true;
}
#else
// Elsewhere the plain pass does the work.
bool BmpConverter::diffuseGreyEarly(const GreyQuantiser&, const QImage&, QImage&)
{
    return false;
}
#endif
