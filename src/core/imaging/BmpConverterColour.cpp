// The diffusion pass of the colour formats, two channels to a register (R
// with G, B with the unused alpha): the same IEEE operations in the same
// order as one channel at a time, in fewer instructions.

#include "core/imaging/BmpConverter.h"
#include "core/imaging/ColourQuantiser.h"
#include "core/imaging/ErrorShares.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>

template <bool hasAlpha>
bool BmpConverter::diffuseColourPairs(const ColourQuantiser<hasAlpha>& colour, const QImage& source, QImage& preview)
{
    const int W = m_width;
    const int H = m_height;
    const double amplitude = std::ldexp(1.0, m_params.random_bits) - 1.0;
    const double* factors = m_noise.factors(m_params.random_stdev, size_t(W) * size_t(H));
    size_t drawn = 0;
    const double* shownR = colour.shown(0);
    const double* shownG = colour.shown(1);
    const double* shownB = colour.shown(2);
    const uint8_t* levelR = colour.level(0);
    const uint8_t* levelG = colour.level(1);
    const uint8_t* levelB = colour.level(2);

    const __m128d zero = _mm_setzero_pd();
    const __m128d full = _mm_set1_pd(255.0);
    const __m128d seven = _mm_set1_pd(7.0 / 16.0);
    // clampChannel: NaN and -0.0 pass as they are.
    const auto clamp = [&](__m128d v) { return _mm_min_pd(full, _mm_max_pd(zero, v)); };
    // byteIndex: NaN gives 0.
    const auto index = [&](__m128d v) { return _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(v, zero), full)); };

    loadRow(source, 0, m_rows[0].data());
    for (int y = 0; y < H; ++y) {
        TRGBA_Rec* cur = m_rows[y & 1].data();
        TRGBA_Rec* next = m_rows[(y + 1) & 1].data();
        const bool hasNext = y + 1 < H;
        if (hasNext)
            loadRow(source, y + 1, next);
        const auto* sourceRow = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
        const bool even = (y & 1) == 0;
        const int step = even ? 1 : -1;
        TPixel_Levels* levelRow = m_levels.data() + size_t(y) * size_t(W);
        auto* previewRow = preview.isNull() ? nullptr : reinterpret_cast<uint32_t*>(preview.scanLine(y));

        // The 7/16 share for the next pixel along the row, carried in
        // registers; -0.0 added to any value leaves it as it is.
        __m128d carriedRG = _mm_set1_pd(-0.0);
        __m128d carriedBA = _mm_set1_pd(-0.0);
        int x = even ? 0 : W - 1;
        for (int i = 0; i < W; ++i, x += step) {
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
            const __m128i rg = index(pRG);
            const int r = _mm_cvtsi128_si32(rg);
            const int g = _mm_cvtsi128_si32(_mm_shuffle_epi32(rg, 1));
            const int b = _mm_cvtsi128_si32(index(pBA));
            const __m128d qRG = _mm_set_pd(shownG[g], shownR[r]);
            const __m128d qBA = _mm_set_sd(shownB[b]);
            levelRow[x] = {levelR[r], levelG[g], levelB[b], colour.alphaLevel(alpha)};
            if (previewRow)
                previewRow[x] = Preview_Word({shownR[r], shownG[g], shownB[b], colour.shownAlpha(alpha)});

            // The alpha error is dropped: only colour is diffused.
            const __m128d eRG = _mm_sub_pd(pRG, qRG);
            const __m128d eBA = _mm_sub_pd(pBA, qBA);
            carriedRG = _mm_mul_pd(eRG, seven);
            carriedBA = _mm_mul_pd(eBA, seven);
            if (hasNext)
                Spread_Below_Pairs(next, x, step, i, W, eRG, eBA);
        }
    }
    return true;
}
#else
// Elsewhere the one-channel-at-a-time pass does the work.
template <bool hasAlpha> bool BmpConverter::diffuseColourPairs(const ColourQuantiser<hasAlpha>&, const QImage&, QImage&)
{
    return false;
}
#endif

template bool BmpConverter::diffuseColourPairs<false>(const ColourQuantiser<false>&, const QImage&, QImage&);
template bool BmpConverter::diffuseColourPairs<true>(const ColourQuantiser<true>&, const QImage&, QImage&);
