#include "TestPictures.h"

#include <algorithm>

QImage testPicture(int width, int height, bool withAlpha, uint32_t seed)
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
