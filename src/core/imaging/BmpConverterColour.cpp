// The diffusion pass of the colour formats, two channels to a register (R
// with G, B with the unused alpha): the same IEEE operations in the same
// order as one channel at a time, in fewer instructions.

#include "core/imaging/BmpConverter.h"
#include "core/imaging/ColourQuantiser.h"
#include "core/imaging/ErrorShares.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>

#include <vector>

namespace {
// Noise reaching further than this takes the plain pass; with the default
// parameters it reaches less than 30.
constexpr double kTableNoiseLimit = 1024.0;

// A channel's level and mapped-back value by Trunc(value) for any value the
// pass can meet: clamp(value) + noise, so within the noise of 0..255. Below
// 0 and above 255 the entries repeat those of 0 and 255, which is what the
// clamp before the table lookup gave; so the lookup needs no clamp, and the
// chain from one pixel to the next is two steps shorter.
struct WideChannel {
    std::vector<double> shownTable;
    std::vector<uint8_t> levelTable;
    const double* shown = nullptr; // index -reach..255+reach
    const uint8_t* level = nullptr;

    WideChannel(const double* shown256, const uint8_t* level256, int reach)
    {
        shownTable.resize(size_t(256 + 2 * reach));
        levelTable.resize(shownTable.size());
        for (size_t k = 0; k < shownTable.size(); ++k) {
            const size_t i = size_t(std::clamp(int(k) - reach, 0, 255));
            shownTable[k] = shown256[i];
            levelTable[k] = level256[i];
        }
        shown = shownTable.data() + reach;
        level = levelTable.data() + reach;
    }
};
} // namespace

template <bool HasAlpha>
bool BmpConverter::diffuseColourPairs(const ColourQuantiser<HasAlpha>& colour, const QImage& source, QImage& preview)
{
    const int imageWidth = m_width;
    const int imageHeight = m_height;
    const double amplitude = std::ldexp(1.0, m_params.random_bits) - 1.0;
    const size_t pixels = size_t(imageWidth) * size_t(imageHeight);
    const double* factors = m_noise.factors(m_params.random_stdev, pixels);
    const double largestNoise = std::fabs(amplitude) * m_noise.largestMagnitude(pixels);
    if (!(largestNoise <= kTableNoiseLimit))
        return false;
    // Trunc of any value within largestNoise of 0..255 lands inside the tables.
    const int reach = int(largestNoise) + 2;
    const WideChannel red(colour.shown(0), colour.level(0), reach);
    const WideChannel green(colour.shown(1), colour.level(1), reach);
    const WideChannel blue(colour.shown(2), colour.level(2), reach);
    size_t drawn = 0;

    const __m128d zero = _mm_setzero_pd();
    const __m128d full = _mm_set1_pd(255.0);
    const __m128d seven = _mm_set1_pd(7.0 / 16.0);
    // clampChannel: NaN and -0.0 pass as they are.
    const auto clamp = [&](__m128d v) { return _mm_min_pd(full, _mm_max_pd(zero, v)); };

    loadRow(source, 0, m_rows[0].data());
    for (int y = 0; y < imageHeight; ++y) {
        const TRGBA_Rec* cur = m_rows[y & 1].data();
        const bool hasNext = y + 1 < imageHeight;
        const auto* sourceRow = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
        const bool even = (y & 1) == 0;
        const int step = even ? 1 : -1;
        int x = even ? 0 : imageWidth - 1;
        TPixelLevels* levelRow = m_levels.data() + size_t(y) * size_t(imageWidth);
        auto* previewRow = preview.isNull() ? nullptr : reinterpret_cast<uint32_t*>(preview.scanLine(y));
        const auto* sourceBelow = hasNext ? reinterpret_cast<const uint32_t*>(source.constScanLine(y + 1)) : sourceRow;
        RowBelowPairs below(sourceBelow, m_rows[(y + 1) & 1].data(), x, step);

        // The 7/16 share for the next pixel along the row, carried in
        // registers; -0.0 added to any value leaves it as it is.
        __m128d carriedRG = _mm_set1_pd(-0.0);
        __m128d carriedBA = _mm_set1_pd(-0.0);
        for (int i = 0; i < imageWidth; ++i, x += step) {
            // Alpha is never diffused into, so the pixel's alpha is the source's.
            const uint32_t alpha = sourceRow[x] >> 24;
            __m128d pRG = clamp(_mm_add_pd(_mm_loadu_pd(&cur[x].R), carriedRG));
            __m128d pBA = clamp(_mm_add_pd(_mm_loadu_pd(&cur[x].B), carriedBA));
            // Noise only for pixels whose quantised alpha is full; the k-th
            // such pixel in processing order takes the k-th factor.
            if (colour.takesNoise(alpha)) {
                const __m128d noise = _mm_set1_pd(amplitude * factors[drawn++]);
                pRG = _mm_add_pd(pRG, noise);
                pBA = _mm_add_pd(pBA, noise);
            }
            // Trunc of R and G in one move to an integer register.
            const int64_t rg = _mm_cvtsi128_si64(_mm_cvttpd_epi32(pRG));
            const int64_t r = int32_t(rg);
            const int64_t g = rg >> 32;
            const int64_t b = _mm_cvtsi128_si32(_mm_cvttpd_epi32(pBA));
            const __m128d qRG = _mm_unpacklo_pd(_mm_load_sd(&red.shown[r]), _mm_load_sd(&green.shown[g]));
            const __m128d qBA = _mm_load_sd(&blue.shown[b]);
            levelRow[x] = {red.level[r], green.level[g], blue.level[b], colour.alphaLevel(alpha)};
            if (previewRow)
                previewRow[x] = previewWord({red.shown[r], green.shown[g], blue.shown[b], colour.shownAlpha(alpha)});

            // The alpha error is dropped: only colour is diffused.
            const __m128d eRG = _mm_sub_pd(pRG, qRG);
            const __m128d eBA = _mm_sub_pd(pBA, qBA);
            carriedRG = _mm_mul_pd(eRG, seven);
            carriedBA = _mm_mul_pd(eBA, seven);
            if (hasNext)
                below.spread(x, i, imageWidth, eRG, eBA);
        }
        if (hasNext)
            below.finish(x - step);
    }
    return true;
}
#else
// Elsewhere the one-channel-at-a-time pass does the work.
template <bool HasAlpha> bool BmpConverter::diffuseColourPairs(const ColourQuantiser<HasAlpha>&, const QImage&, QImage&)
{
    return false;
}
#endif

template bool BmpConverter::diffuseColourPairs<false>(const ColourQuantiser<false>&, const QImage&, QImage&);
template bool BmpConverter::diffuseColourPairs<true>(const ColourQuantiser<true>&, const QImage&, QImage&);
