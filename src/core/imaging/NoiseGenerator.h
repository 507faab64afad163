#pragma once
// The random source of the dithering noise: a 32-bit linear congruential
// generator and Gaussian factors drawn from it with the polar method. Its
// sequence is part of the stored result (the same image must always pack to
// the same bytes), so it is written out here rather than taken from <random>.

#include <cmath>
#include <cstdint>

class NoiseGenerator {
public:
    explicit NoiseGenerator(uint32_t seed = 0) : m_seed(seed) { }

    void reseed(uint32_t seed) { m_seed = seed; }
    uint32_t seed() const { return m_seed; }

    // seed <- seed * 134775813 + 1 (mod 2^32); returns seed / 2^32, in [0, 1).
    double uniform()
    {
        m_seed = m_seed * 134775813u + 1u;
        return double(m_seed) * (1.0 / 4294967296.0);
    }

    // One Gaussian factor (Marsaglia polar method); consumes two uniforms per try.
    double gaussian(double mean, double stdev)
    {
        double u1;
        double s;
        do {
            u1 = 2.0 * uniform() - 1.0;
            const double u2 = 2.0 * uniform() - 1.0;
            s = u1 * u1 + u2 * u2;
            // s == 0 cannot come from this generator (it would need the same
            // seed twice in a row); the test only keeps log(0) out should that change.
        } while (s >= 1.0 || s == 0.0);
        return mean + stdev * u1 * std::sqrt(-2.0 * std::log(s) / s);
    }

private:
    uint32_t m_seed;
};
