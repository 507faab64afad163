#pragma once

#include <cstdint>

// Noise parameters of one image's conversion: the Gaussian factor's standard
// deviation and the amplitude exponent (amplitude 2^random_bits - 1).
struct TDithering_Params {
    double random_stdev = 0.0;
    int32_t random_bits = 0;

    friend bool operator==(const TDithering_Params&, const TDithering_Params&) = default;
};
