#include "core/imaging/NoiseGenerator.h"

#include <cmath>

double NoiseGenerator::gaussian(double mean, double stdev)
{
    double u1;
    double s;
    do {
        u1 = 2.0 * uniform() - 1.0;
        const double u2 = 2.0 * uniform() - 1.0;
        s = u1 * u1 + u2 * u2;
        // s == 0 cannot come from this generator (it would need the same seed
        // twice in a row); the test only keeps log(0) out should that change.
    } while (s >= 1.0 || s == 0.0);
    return mean + stdev * u1 * std::sqrt(-2.0 * std::log(s) / s);
}
