#include "core/imaging/BmpConverter.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <cmath>

namespace {
constexpr int kLargestWidth = 480;
constexpr int kLargestHeight = 272;

// Level that means "fully opaque" in a format with alpha.
int fullAlphaLevel(int format)
{
    switch (format) {
    case 0: return 1;
    case 5: return 3;
    case 6: return 15;
    default: return 255;
    }
}

void addShare(TRGBA_Rec& target, const TRGBA_Rec& error, double weight)
{
    target = RGBA_Add(target, RGBA_Scale(error, weight));
}
} // namespace

BmpConverter::BmpConverter()
{
    m_levels.reserve(size_t(kLargestWidth) * kLargestHeight);
    m_rows[0].reserve(kLargestWidth);
    m_rows[1].reserve(kLargestWidth);
}

void BmpConverter::loadRow(const QImage& source, int y, TRGBA_Rec* row) const
{
    const auto* words = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
    for (int x = 0; x < source.width(); ++x)
        row[x] = RGBA_Unpack(words[x]);
}

QImage BmpConverter::Convert_Bitmap(const TDithering_Params& params, const QImage& sourceIn, int format,
                                    bool want_preview)
{
    if (!Is_Pixel_Format(format))
        throw ImagingError(QStringLiteral("Pixel format %1 is not a format the controller knows.").arg(format));
    if (sourceIn.isNull() || sourceIn.width() <= 0 || sourceIn.height() <= 0)
        throw ImagingError(QStringLiteral("There is no picture to convert."));

    const QImage source = sourceIn.format() == QImage::Format_ARGB32_Premultiplied
                              ? sourceIn
                              : sourceIn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int W = source.width();
    const int H = source.height();

    QImage preview;
    if (want_preview) {
        preview = QImage(W, H, QImage::Format_ARGB32_Premultiplied);
        if (preview.isNull())
            throw ImagingError(QStringLiteral("Not enough memory for a %1 x %2 preview.").arg(W).arg(H));
    }

    m_params = params;
    m_random.reseed(0);
    m_width = W;
    m_height = H;
    m_format = format;
    m_levels.resize(size_t(W) * size_t(H));
    m_rows[0].resize(size_t(W));
    m_rows[1].resize(size_t(W));

    const double amplitude = std::ldexp(1.0, params.random_bits) - 1.0;
    const bool hasAlpha = format == 0 || format == 5 || format == 6;
    const int fullAlpha = fullAlphaLevel(format);

    loadRow(source, 0, m_rows[0].data());
    for (int y = 0; y < H; ++y) {
        TRGBA_Rec* cur = m_rows[y & 1].data();
        TRGBA_Rec* next = m_rows[(y + 1) & 1].data();
        const bool hasNext = y + 1 < H;
        if (hasNext)
            loadRow(source, y + 1, next);
        const bool even = (y & 1) == 0;
        const int step = even ? 1 : -1;
        TPixel_Levels* levelRow = m_levels.data() + size_t(y) * size_t(W);
        auto* previewRow = want_preview ? reinterpret_cast<uint32_t*>(preview.scanLine(y)) : nullptr;

        for (int i = 0; i < W; ++i) {
            const int x = even ? i : W - 1 - i;
            TRGBA_Rec P = RGBA_Clamp(cur[x]);

            // Noise only where the quantised pixel is fully opaque; others
            // draw no random numbers at all.
            if (!hasAlpha || Quantise_Levels(P, format).A >= fullAlpha) {
                const double noise = amplitude * m_random.gaussian(0.0, params.random_stdev);
                P.R += noise;
                P.G += noise;
                P.B += noise;
            }

            const TPixel_Levels lv = Quantise_Levels(RGBA_Clamp(P), format);
            levelRow[x] = lv;
            const TRGBA_Rec Q = Levels_To_Display(lv, format);
            if (previewRow) {
                uint32_t word = RGBA_Pack(Q);
                const uint32_t a = word >> 24;
                if (a != 255) {
                    const uint32_t r = std::min((word >> 16) & 0xFF, a);
                    const uint32_t g = std::min((word >> 8) & 0xFF, a);
                    const uint32_t b = std::min(word & 0xFF, a);
                    word = (a << 24) | (r << 16) | (g << 8) | b;
                }
                previewRow[x] = word;
            }

            // The alpha error is dropped: only colour is diffused.
            const TRGBA_Rec E = RGBA_Subtract(P, Q);
            const int ahead = x + step;   // next pixel along this row
            const int behind = x - step;  // the pixel below-behind
            const bool aheadInside = ahead >= 0 && ahead < W;
            const bool behindInside = behind >= 0 && behind < W;
            if (aheadInside)
                addShare(cur[ahead], E, 7.0 / 16.0);
            if (hasNext) {
                if (behindInside)
                    addShare(next[behind], E, 3.0 / 16.0);
                addShare(next[x], E, 5.0 / 16.0);
                if (aheadInside)
                    addShare(next[ahead], E, 1.0 / 16.0);
            }
        }
    }
    return preview;
}
