#pragma once
// The shares of one pixel's error that go to the row below, in the order
// each neighbour receives them.

#include "core/imaging/RgbaRec.h"

#include <QtGlobal>

#include <cstdint>

// step: +1 along a left-to-right row, -1 along a right-to-left one; i: the
// pixel's position along the row, x its column.
inline void spreadBelow(TRGBA_Rec* next, int x, int step, int i, int width, const double e[3])
{
    // Below, on the side already done; below; below, ahead.
    if (i > 0) {
        TRGBA_Rec& t = next[x - step];
        t.R += e[0] * (3.0 / 16.0);
        t.G += e[1] * (3.0 / 16.0);
        t.B += e[2] * (3.0 / 16.0);
    }
    TRGBA_Rec& t = next[x];
    t.R += e[0] * (5.0 / 16.0);
    t.G += e[1] * (5.0 / 16.0);
    t.B += e[2] * (5.0 / 16.0);
    if (i + 1 < width) {
        TRGBA_Rec& u = next[x + step];
        u.R += e[0] * (1.0 / 16.0);
        u.G += e[1] * (1.0 / 16.0);
        u.B += e[2] * (1.0 / 16.0);
    }
}

#if defined(__SSE2__)
#include <emmintrin.h>

// The row below, two channels to a register (R with G, B with the unused
// alpha), with the shares of the row being diffused added in registers.
// A pixel below receives its shares from the three pixels above it in
// processing order (1/16, 5/16, 3/16), the last of them one step after the
// one straight above; so only three pixels below are open at a time, and
// each is stored once, complete. The same IEEE operations in the same order
// as adding each share in memory, without the loads and stores in between,
// and the source is read into the row in the same pass.
class RowBelowPairs {
public:
    // sourceRow: the row below in the picture; x: the first column of the row
    // being diffused, step its direction.
    RowBelowPairs(const uint32_t* sourceRow, TRGBA_Rec* below, int x, int step)
        : m_source(sourceRow)
        , m_below(below)
        , m_step(step)
    {
        load(x, m_hereRG, m_hereBA);
    }

    // The error of the pixel at column x, the i-th of a row of width pixels.
    Q_ALWAYS_INLINE void spread(int x, int i, int width, __m128d eRG, __m128d eBA)
    {
        // Below, ahead: the source value, then its first share.
        __m128d aheadRG = m_hereRG;
        __m128d aheadBA = m_hereBA;
        if (i + 1 < width) {
            load(x + m_step, aheadRG, aheadBA);
            add(aheadRG, aheadBA, eRG, eBA, 1.0 / 16.0);
        }
        add(m_hereRG, m_hereBA, eRG, eBA, 5.0 / 16.0);
        // Below, on the side already done: its last share, then it is complete.
        if (i > 0) {
            add(m_behindRG, m_behindBA, eRG, eBA, 3.0 / 16.0);
            store(x - m_step, m_behindRG, m_behindBA);
        }
        m_behindRG = m_hereRG;
        m_behindBA = m_hereBA;
        m_hereRG = aheadRG;
        m_hereBA = aheadBA;
    }

    // After the last pixel (column x) of the row: the pixel below it gets no more.
    void finish(int x) { store(x, m_behindRG, m_behindBA); }

private:
    Q_ALWAYS_INLINE void load(int x, __m128d& rg, __m128d& ba) const
    {
        // A R G B bytes to (R, G) and (B, A) as doubles.
        const __m128i zero = _mm_setzero_si128();
        const __m128i bytes = _mm_cvtsi32_si128(int(m_source[x]));
        const __m128i words = _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero); // B G R A
        rg = _mm_cvtepi32_pd(_mm_shuffle_epi32(words, _MM_SHUFFLE(3, 0, 1, 2)));
        ba = _mm_cvtepi32_pd(_mm_shuffle_epi32(words, _MM_SHUFFLE(1, 2, 3, 0)));
    }
    Q_ALWAYS_INLINE static void add(__m128d& rg, __m128d& ba, __m128d eRG, __m128d eBA, double weight)
    {
        // Alpha is never diffused into: B alone in the second register.
        const __m128d w = _mm_set1_pd(weight);
        rg = _mm_add_pd(rg, _mm_mul_pd(eRG, w));
        ba = _mm_add_sd(ba, _mm_mul_sd(eBA, w));
    }
    Q_ALWAYS_INLINE void store(int x, __m128d rg, __m128d ba) const
    {
        _mm_storeu_pd(&m_below[x].R, rg);
        _mm_storeu_pd(&m_below[x].B, ba);
    }

    const uint32_t* m_source;
    TRGBA_Rec* m_below;
    int m_step;
    __m128d m_behindRG = _mm_setzero_pd();
    __m128d m_behindBA = _mm_setzero_pd();
    __m128d m_hereRG;
    __m128d m_hereBA;
};
#endif
