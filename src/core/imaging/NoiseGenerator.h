#pragma once
// The random source of the dithering noise: a 32-bit linear congruential
// generator and Gaussian factors drawn from it with the polar method. Its
// sequence is part of the stored result (the same image must always pack to
// the same bytes), so it is written out here rather than taken from <random>.

#include <cstdint>

class NoiseGenerator {
public:
    explicit NoiseGenerator(uint32_t seed = 0) : m_seed(seed) {}

    void reseed(uint32_t seed) { m_seed = seed; }
    uint32_t seed() const { return m_seed; }

    // seed <- seed * 134775813 + 1 (mod 2^32); returns seed / 2^32, in [0, 1).
    double uniform()
    {
        m_seed = m_seed * 134775813u + 1u;
        return double(m_seed) * (1.0 / 4294967296.0);
    }

    // One Gaussian factor (Marsaglia polar method); consumes two uniforms per try.
    double gaussian(double mean, double stdev);

private:
    uint32_t m_seed;
};
