#include "BenchImages.h"

#include <cmath>

namespace {
uint32_t nextRandom(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 24;
}
} // namespace

QImage benchPhoto(int width, int height, uint32_t seed)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    uint32_t state = seed;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / width, fy = double(y) / height;
            const double wave = 0.5 + 0.5 * std::sin(fx * 9.0 + fy * 5.0 + seed);
            const int texture = int(nextRandom(state) % 24) - 12;
            const int r = std::clamp(int(255 * fx * wave) + texture, 0, 255);
            const int g = std::clamp(int(255 * fy) + texture, 0, 255);
            const int b = std::clamp(int(255 * (1.0 - fx) * (0.3 + 0.7 * wave)) + texture, 0, 255);
            row[x] = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
        }
    }
    return image;
}

QImage benchLogo(int width, int height, uint32_t seed)
{
    QImage image = benchPhoto(width, height, seed);
    // A soft-edged disc on transparency: opaque, half-transparent and clear pixels.
    const double cx = width / 2.0, cy = height / 2.0, radius = std::min(width, height) * 0.45;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            const int a = std::clamp(int((radius - d) * 32.0), 0, 255);
            const uint32_t p = row[x];
            const auto pm = [a](uint32_t c) { return (c * uint32_t(a) + 127) / 255; };
            row[x] = uint32_t(a) << 24 | pm((p >> 16) & 0xFF) << 16 | pm((p >> 8) & 0xFF) << 8 | pm(p & 0xFF);
        }
    }
    return image;
}
