#include "ReferenceConversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace {

struct Levels {
    int r, g, b, a; // a == 0: no alpha
    bool grey;
};

Levels levelsOf(int format)
{
    switch (format) {
    case 0: return {32, 32, 32, 2, false};
    case 1: return {2, 0, 0, 0, true};
    case 2: return {16, 0, 0, 0, true};
    case 3: return {256, 0, 0, 0, true};
    case 4: return {8, 8, 4, 0, false};
    case 5: return {4, 4, 4, 4, false};
    case 6: return {16, 16, 16, 16, false};
    case 7: return {32, 64, 32, 0, false};
    case 17:
    case 18: return {4, 0, 0, 0, true};
    }
    throw std::invalid_argument("format");
}

int limited(long double v, int levels)
{
    const long double t = truncl(v);
    if (t < 0)
        return 0;
    if (t > levels - 1)
        return levels - 1;
    return int(t);
}

int channel(double c, int levels)
{
    return limited((long double)c * levels / 256.0L, levels);
}

int mapped(int level, int levels)
{
    return level * 255 / (levels - 1);
}

using Px = std::array<double, 4>;

Px clampPx(Px p)
{
    for (double& v : p)
        v = std::min(std::max(v, 0.0), 255.0);
    return p;
}

Px display(const TPixel_Levels& lv, int format)
{
    const Levels f = levelsOf(format);
    if (format == 3)
        return {double(lv.R), double(lv.G), double(lv.B), 255.0};
    if (f.grey)
        return {double(mapped(lv.R, f.r)), double(mapped(lv.G, f.r)), double(mapped(lv.B, f.r)), 255.0};
    const double a = format == 0 ? lv.A * 255.0 : f.a ? double(mapped(lv.A, f.a)) : 255.0;
    return {double(mapped(lv.R, f.r)), double(mapped(lv.G, f.g)), double(mapped(lv.B, f.b)), a};
}

} // namespace

TPixel_Levels Reference_Quantise(double r, double g, double b, double a, int format)
{
    const Levels f = levelsOf(format);
    if (f.grey) {
        const double grey = double(0.21L * r + 0.72L * g + 0.07L * b);
        const int level = format == 3 ? limited(grey, 256) : limited((long double)grey * f.r / 256.0L, f.r);
        return {uint8_t(level), uint8_t(level), uint8_t(level), 255};
    }
    int alpha = 255;
    if (format == 0)
        alpha = limited(((long double)a + 1.0L) / 256.0L, 2);
    else if (f.a)
        alpha = channel(a, f.a);
    return {uint8_t(channel(r, f.r)), uint8_t(channel(g, f.g)), uint8_t(channel(b, f.b)), uint8_t(alpha)};
}

ReferenceResult Reference_Convert(const TDithering_Params& params, const QImage& sourceIn, int format)
{
    const QImage source = sourceIn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int W = source.width(), H = source.height();
    std::vector<std::vector<Px>> m(size_t(W), std::vector<Px>(static_cast<size_t>(H)));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const QRgb p = reinterpret_cast<const QRgb*>(source.constScanLine(y))[x];
            m[size_t(x)][size_t(y)] = {double(qRed(p)), double(qGreen(p)), double(qBlue(p)), double(qAlpha(p))};
        }

    uint32_t seed = 0;
    auto uniform = [&] {
        seed = seed * 134775813u + 1u;
        return double(seed) / 4294967296.0;
    };
    auto gaussian = [&](double mean, double stdev) {
        double u1, u2, s;
        do {
            u1 = 2 * uniform() - 1;
            u2 = 2 * uniform() - 1;
            s = u1 * u1 + u2 * u2;
        } while (s >= 1);
        return mean + stdev * u1 * std::sqrt(-2 * std::log(s) / s);
    };
    const double n = std::pow(2.0, params.random_bits) - 1;

    ReferenceResult out;
    out.levels.resize(size_t(W) * size_t(H));
    out.preview = QImage(W, H, QImage::Format_ARGB32_Premultiplied);
    auto spread = [&](int x, int y, const Px& e, double w) {
        m[size_t(x)][size_t(y)][0] += e[0] * w;
        m[size_t(x)][size_t(y)][1] += e[1] * w;
        m[size_t(x)][size_t(y)][2] += e[2] * w;
    };
    for (int y = 0; y < H; ++y) {
        const bool even = y % 2 == 0;
        for (int i = 0; i < W; ++i) {
            const int x = even ? i : W - 1 - i;
            Px P = clampPx(m[size_t(x)][size_t(y)]);
            const Px Q = display(Reference_Quantise(P[0], P[1], P[2], P[3], format), format);
            if (Q[3] >= 255 && params.random_stdev != 0.0) {
                const double g = gaussian(0, params.random_stdev);
                P[0] += n * g;
                P[1] += n * g;
                P[2] += n * g;
            }
            const Px C = clampPx(P);
            const TPixel_Levels lv = Reference_Quantise(C[0], C[1], C[2], C[3], format);
            out.levels[size_t(y) * size_t(W) + size_t(x)] = lv;
            const Px Q2 = display(lv, format);
            const int a = int(Q2[3]);
            out.preview.setPixel(x, y,
                                 qRgba(std::min(int(Q2[0]), a), std::min(int(Q2[1]), a), std::min(int(Q2[2]), a), a));
            const Px E = {P[0] - Q2[0], P[1] - Q2[1], P[2] - Q2[2], 0};
            if (even) {
                if (x + 1 < W)
                    spread(x + 1, y, E, 7.0 / 16);
                if (x >= 1 && y + 1 < H)
                    spread(x - 1, y + 1, E, 3.0 / 16);
                if (y + 1 < H)
                    spread(x, y + 1, E, 5.0 / 16);
                if (x + 1 < W && y + 1 < H)
                    spread(x + 1, y + 1, E, 1.0 / 16);
            } else {
                if (x >= 1)
                    spread(x - 1, y, E, 7.0 / 16);
                if (x + 1 < W && y + 1 < H)
                    spread(x + 1, y + 1, E, 3.0 / 16);
                if (y + 1 < H)
                    spread(x, y + 1, E, 5.0 / 16);
                if (x >= 1 && y + 1 < H)
                    spread(x - 1, y + 1, E, 1.0 / 16);
            }
        }
    }
    return out;
}

QImage Test_Picture(int width, int height, bool withAlpha, uint32_t seed)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    uint32_t state = seed * 2654435761u + 1u;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) & 0xFF);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int a = 255;
            if (withAlpha) {
                // Opaque, clear and every level in between, including 239/240 and 254.
                const int band = (x + 2 * y) % 7;
                a = band == 0 ? 0 : band == 1 ? 254 : band == 2 ? 239 : band == 3 ? 240 : band == 4 ? next() : 255;
            }
            const int r = (x * 255 / std::max(1, width - 1) + next() / 8) % 256;
            const int g = (y * 255 / std::max(1, height - 1) + next() / 8) % 256;
            const int b = next();
            image.setPixel(x, y, qRgba(r * a / 255, g * a / 255, b * a / 255, a));
        }
    return image;
}
