#pragma once
// The shares of one pixel's error that go to the row below, in the order
// each neighbour receives them.

#include "core/imaging/RgbaRec.h"

// step: +1 along a left-to-right row, -1 along a right-to-left one; i: the
// pixel's position along the row, x its column.
inline void Spread_Below(TRGBA_Rec* next, int x, int step, int i, int width, const double e[3])
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

// The same shares for two channels to a register (R with G, B with the
// unused alpha): the same IEEE operations in the same order as above.
inline void Spread_Below_Pairs(TRGBA_Rec* next, int x, int step, int i, int width, __m128d eRG, __m128d eBA)
{
    const auto add = [](TRGBA_Rec& target, __m128d rg, __m128d ba, double weight) {
        const __m128d w = _mm_set1_pd(weight);
        _mm_storeu_pd(&target.R, _mm_add_pd(_mm_loadu_pd(&target.R), _mm_mul_pd(rg, w)));
        _mm_store_sd(&target.B, _mm_add_sd(_mm_load_sd(&target.B), _mm_mul_sd(ba, w)));
    };
    // Below, on the side already done; below; below, ahead.
    if (i > 0)
        add(next[x - step], eRG, eBA, 3.0 / 16.0);
    add(next[x], eRG, eBA, 5.0 / 16.0);
    if (i + 1 < width)
        add(next[x + step], eRG, eBA, 1.0 / 16.0);
}
#endif
