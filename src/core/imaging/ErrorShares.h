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
