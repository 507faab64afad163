#pragma once
// The clamp and truncation of one channel on the conversion's hot path.

#include <algorithm>

// rgbaClamp of one channel (NaN and -0.0 stay as they are, as there), as
// the two one-step min and max instructions rather than branches: error
// diffusion to few levels drives channels past 0..255 often and at random.
inline double clampChannel(double v)
{
    return std::min(std::max(v, 0.0), 255.0);
}

// Trunc(clamp(v)) as an index 0..255 (NaN, never produced, gives 0 as the
// clamp and truncation do). Every level count is a power of two no larger
// than 256, so Trunc(clamp(v) x levels / 256) is this index shifted right:
// the level and its mapped-back value are read from tables by it.
inline int byteIndex(double v)
{
    return int(std::min(255.0, std::max(0.0, v)));
}
