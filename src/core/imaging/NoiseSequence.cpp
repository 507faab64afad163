#include "core/imaging/NoiseSequence.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

const double* NoiseSequence::factors(double stdev, size_t count)
{
    if (!m_valid || !sameBits(stdev, m_stdev)) {
        m_factors.clear();
        m_generator.reseed(0);
        m_stdev = stdev;
        m_valid = true;
        m_largestCount = 0;
    }
    if (m_factors.size() < count) {
        m_factors.reserve(count);
        while (m_factors.size() < count)
            m_factors.push_back(m_generator.gaussian(0.0, stdev));
    }
    return m_factors.data();
}

double NoiseSequence::largestMagnitude(size_t count)
{
    count = std::min(count, m_factors.size());
    if (count == 0)
        return 0.0;
    if (m_largestCount != count) {
        double largest = 0.0;
        for (size_t k = 0; k < count; ++k) {
            const double magnitude = std::fabs(m_factors[k]);
            if (magnitude > largest) {
                largest = magnitude;
            } else if (std::isnan(magnitude)) {
                // A NaN deviation gives NaN factors: no bound at all.
                largest = magnitude;
                break;
            }
        }
        m_largest = largest;
        m_largestCount = count;
    }
    return m_largest;
}
