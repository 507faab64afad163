#include "PlainDiffusion.h"

#include <cmath>
#include <stdexcept>

namespace {

// Trunc toward zero of an extended value, then limited to 0..top. A value
// that is not a number (only reachable with absurd noise settings) counts
// as the lowest level.
int levelOf(long double v, int top)
{
    if (std::isnan(v))
        return 0;
    if (v <= -1.0L)
        return 0;
    if (v >= (long double)top + 1.0L)
        return top;
    long long t = (long long)v; // in range here, so the cast is defined
    if (t < 0)
        t = 0;
    if (t > top)
        t = top;
    return int(t);
}

int back(int level, int levels)
{
    return level * 255 / (levels - 1);
}

double limit(double v)
{
    if (v < 0.0)
        return 0.0;
    if (v > 255.0)
        return 255.0;
    return v;
}

uint32_t packByte(double v)
{
    if (std::isnan(v))
        return 0;
    const long double t = truncl((long double)v);
    if (t < 0)
        return 0;
    if (t > 255)
        return 255;
    return uint32_t(t);
}

struct Px {
    double c[4]; // R, G, B, A
};

} // namespace

void PlainDiffusion::quantise(const long double in[4], int format, bool raw, long double out[4])
{
    auto colour = [&](long double v, int l) { return levelOf(v * l / 256.0L, l - 1); };
    int lv[4];
    int l[4];
    switch (format) {
    case 0:
        l[0] = l[1] = l[2] = 32;
        l[3] = 2;
        break;
    case 4:
        l[0] = l[1] = 8;
        l[2] = 4;
        l[3] = 0;
        break;
    case 5: l[0] = l[1] = l[2] = l[3] = 4; break;
    case 6: l[0] = l[1] = l[2] = l[3] = 16; break;
    case 7:
        l[0] = l[2] = 32;
        l[1] = 64;
        l[3] = 0;
        break;
    case 1:
        l[0] = l[1] = l[2] = 2;
        l[3] = 0;
        break;
    case 2:
        l[0] = l[1] = l[2] = 16;
        l[3] = 0;
        break;
    case 3:
        l[0] = l[1] = l[2] = 256;
        l[3] = 0;
        break;
    case 17:
    case 18:
        l[0] = l[1] = l[2] = 4;
        l[3] = 0;
        break;
    default: throw std::invalid_argument("format");
    }
    const bool grey = format == 1 || format == 2 || format == 3 || format == 17 || format == 18;
    if (grey) {
        long double sum = 0.21L * in[0];
        sum = sum + 0.72L * in[1];
        sum = sum + 0.07L * in[2];
        const double g = double(sum);
        const int level = format == 3 ? levelOf((long double)g, 255) : colour((long double)g, l[0]);
        for (int c = 0; c < 3; ++c)
            out[c] = raw || format == 3 ? level : back(level, l[0]);
        out[3] = 255;
        return;
    }
    for (int c = 0; c < 3; ++c)
        lv[c] = colour(in[c], l[c]);
    if (format == 0)
        lv[3] = levelOf((in[3] + 1.0L) / 256.0L, 1);
    else if (l[3])
        lv[3] = colour(in[3], l[3]);
    for (int c = 0; c < 3; ++c)
        out[c] = raw ? lv[c] : back(lv[c], l[c]);
    if (!l[3])
        out[3] = 255;
    else if (format == 0)
        out[3] = raw ? lv[3] : lv[3] * 255;
    else
        out[3] = raw ? lv[3] : back(lv[3], l[3]);
}

PlainDiffusion::Result PlainDiffusion::convert(const TDithering_Params& params, const QImage& source, int format)
{
    const int imageWidth = source.width();
    const int imageHeight = source.height();
    std::vector<std::vector<Px>> m(static_cast<size_t>(imageWidth), std::vector<Px>(static_cast<size_t>(imageHeight)));
    for (int y = 0; y < imageHeight; ++y) {
        const auto* words = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
        for (int x = 0; x < imageWidth; ++x) {
            const uint32_t w = words[x];
            m[size_t(x)][size_t(y)]
                = {{double((w >> 16) & 255), double((w >> 8) & 255), double(w & 255), double(w >> 24)}};
        }
    }

    uint32_t seed = 0;
    auto random = [&]() -> double {
        seed = uint32_t(uint64_t(seed) * 134775813ull + 1ull);
        return double(seed) / 4294967296.0;
    };
    auto gauss = [&](double mean, double stdev) -> double {
        double u1, u2, s;
        do {
            u1 = 2.0 * random() - 1.0;
            u2 = 2.0 * random() - 1.0;
            s = u1 * u1 + u2 * u2;
        } while (s >= 1.0);
        return mean + stdev * u1 * std::sqrt(-2.0 * std::log(s) / s);
    };
    const double n = std::pow(2.0, double(params.random_bits)) - 1.0;

    Result r;
    r.levels.assign(size_t(imageWidth) * size_t(imageHeight) * 4, 0);
    r.shown.assign(size_t(imageWidth) * size_t(imageHeight), 0);
    auto give = [&](int x, int y, const double e[3], double w) {
        Px& t = m[size_t(x)][size_t(y)];
        for (int c = 0; c < 3; ++c)
            t.c[c] = t.c[c] + e[c] * w;
    };
    for (int y = 0; y < imageHeight; ++y) {
        for (int k = 0; k < imageWidth; ++k) {
            const int x = y % 2 == 0 ? k : imageWidth - 1 - k;
            Px p = m[size_t(x)][size_t(y)];
            for (double& v : p.c)
                v = limit(v);
            long double in[4], q[4];
            for (int c = 0; c < 4; ++c)
                in[c] = p.c[c];
            quantise(in, format, false, q);
            if (q[3] >= 255) {
                const double g = gauss(0.0, params.random_stdev);
                p.c[0] += n * g;
                p.c[1] += n * g;
                p.c[2] += n * g;
            }
            for (int c = 0; c < 4; ++c)
                in[c] = limit(p.c[c]);
            long double lv[4], q2[4];
            quantise(in, format, true, lv);
            quantise(in, format, false, q2);
            const size_t i = size_t(y) * size_t(imageWidth) + size_t(x);
            for (int c = 0; c < 4; ++c)
                r.levels[4 * i + size_t(c)] = uint8_t(lv[c]);
            r.shown[i] = packByte(double(q2[3])) << 24 | packByte(double(q2[0])) << 16 | packByte(double(q2[1])) << 8
                | packByte(double(q2[2]));
            const double e[3] = {p.c[0] - double(q2[0]), p.c[1] - double(q2[1]), p.c[2] - double(q2[2])};
            if (y % 2 == 0) {
                if (x + 1 < imageWidth)
                    give(x + 1, y, e, 7.0 / 16.0);
                if (x >= 1 && y + 1 < imageHeight)
                    give(x - 1, y + 1, e, 3.0 / 16.0);
                if (y + 1 < imageHeight)
                    give(x, y + 1, e, 5.0 / 16.0);
                if (x + 1 < imageWidth && y + 1 < imageHeight)
                    give(x + 1, y + 1, e, 1.0 / 16.0);
            } else {
                if (x >= 1)
                    give(x - 1, y, e, 7.0 / 16.0);
                if (x + 1 < imageWidth && y + 1 < imageHeight)
                    give(x + 1, y + 1, e, 3.0 / 16.0);
                if (y + 1 < imageHeight)
                    give(x, y + 1, e, 5.0 / 16.0);
                if (x >= 1 && y + 1 < imageHeight)
                    give(x - 1, y + 1, e, 1.0 / 16.0);
            }
        }
    }
    return r;
}
