#pragma once
// The Gaussian factors a conversion draws, kept for reuse. Every conversion
// restarts the generator at seed 0 and draws one factor per opaque pixel in
// processing order, so the k-th opaque pixel always gets the k-th factor of
// the sequence for its standard deviation. Drawing them once and reading
// them back gives the same doubles without paying for the logarithm and
// square root again on every import, preview and upload of the same image.

#include "core/imaging/NoiseGenerator.h"

#include <cstddef>
#include <vector>

class NoiseSequence {
public:
    // The first count factors of the sequence (seed 0, mean 0) for stdev.
    const double* factors(double stdev, size_t count);
    // The largest magnitude among the first count factors of the sequence
    // last asked for (count no more than was asked for), NaN if any is NaN;
    // kept for the count last asked, nearly always the same size again.
    double largestMagnitude(size_t count);

private:
    std::vector<double> m_factors;
    NoiseGenerator m_generator; // positioned after the last factor drawn
    double m_stdev = 0.0;
    bool m_valid = false;
    size_t m_largestCount = 0; // 0: not known
    double m_largest = 0.0;
};
