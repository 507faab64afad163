#include "core/imaging/NoiseSequence.h"

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
    }
    if (m_factors.size() < count) {
        m_factors.reserve(count);
        while (m_factors.size() < count)
            m_factors.push_back(m_generator.gaussian(0.0, stdev));
    }
    return m_factors.data();
}
