#include "core/imaging/BmpConverter.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <cmath>

namespace {
constexpr int kLargestWidth = 480;
constexpr int kLargestHeight = 272;

void addShare(TRGBA_Rec& target, const TRGBA_Rec& error, double weight)
{
    target = RGBA_Add(target, RGBA_Scale(error, weight));
}

// The preview keeps premultiplied pixels valid: colour never above alpha.
uint32_t previewWord(const TRGBA_Rec& q)
{
    uint32_t word = RGBA_Pack(q);
    const uint32_t a = word >> 24;
    if (a != 255) {
        const uint32_t r = std::min((word >> 16) & 0xFF, a);
        const uint32_t g = std::min((word >> 8) & 0xFF, a);
        const uint32_t b = std::min(word & 0xFF, a);
        word = (a << 24) | (r << 16) | (g << 8) | b;
    }
    return word;
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
    if (source.isNull())
        throw ImagingError(QStringLiteral("Not enough memory to convert a %1 x %2 picture.")
                               .arg(sourceIn.width())
                               .arg(sourceIn.height()));
    QImage preview;
    if (want_preview) {
        preview = QImage(source.width(), source.height(), QImage::Format_ARGB32_Premultiplied);
        if (preview.isNull())
            throw ImagingError(
                QStringLiteral("Not enough memory for a %1 x %2 preview.").arg(source.width()).arg(source.height()));
    }

    const QuantiseKernel kernel(format);
    m_params = params;
    m_width = source.width();
    m_height = source.height();
    m_format = format;
    m_levels.resize(size_t(m_width) * size_t(m_height));
    m_rows[0].resize(size_t(m_width));
    m_rows[1].resize(size_t(m_width));

    switch (kernel.kind()) {
    case QuantiseKernel::Kind::Colour: diffuse<QuantiseKernel::Kind::Colour>(kernel, source, preview); break;
    case QuantiseKernel::Kind::ColourAlpha: diffuse<QuantiseKernel::Kind::ColourAlpha>(kernel, source, preview); break;
    case QuantiseKernel::Kind::AlphaBit: diffuse<QuantiseKernel::Kind::AlphaBit>(kernel, source, preview); break;
    case QuantiseKernel::Kind::Grey: diffuse<QuantiseKernel::Kind::Grey>(kernel, source, preview); break;
    }
    return preview;
}

template <QuantiseKernel::Kind kind>
void BmpConverter::diffuse(const QuantiseKernel& kernel, const QImage& source, QImage& preview)
{
    const int W = m_width;
    const int H = m_height;
    const double amplitude = std::ldexp(1.0, m_params.random_bits) - 1.0;
    const double stdev = m_params.random_stdev;
    const bool hasAlpha = kind == QuantiseKernel::Kind::ColourAlpha || kind == QuantiseKernel::Kind::AlphaBit;

    const double* factors = m_noise.factors(stdev, size_t(W) * size_t(H));
    size_t drawn = 0;

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
        auto* previewRow = preview.isNull() ? nullptr : reinterpret_cast<uint32_t*>(preview.scanLine(y));

        // Noise goes only to pixels whose quantised alpha is full; the others
        // draw no random numbers at all, so the k-th opaque pixel (in
        // processing order) gets the k-th factor.
        // The 7/16 share for the next pixel along the row is carried in
        // registers: it is the last share that pixel receives, so adding it
        // on arrival is the same single addition as adding it in the row.
        TRGBA_Rec carried{};
        for (int i = 0; i < W; ++i) {
            const int x = even ? i : W - 1 - i;
            TRGBA_Rec P = RGBA_Clamp(i == 0 ? cur[x] : RGBA_Add(cur[x], carried));
            if (!hasAlpha || kernel.opaque(P)) {
                const double noise = amplitude * factors[drawn++];
                P.R += noise;
                P.G += noise;
                P.B += noise;
            }

            const TPixel_Levels lv = kernel.levels(RGBA_Clamp(P));
            levelRow[x] = lv;
            const TRGBA_Rec Q = kernel.display(lv);
            if (previewRow)
                previewRow[x] = previewWord(Q);

            // The alpha error is dropped: only colour is diffused.
            const TRGBA_Rec E = RGBA_Subtract(P, Q);
            const int ahead = x + step;  // next pixel along this row
            const int behind = x - step; // below, on the side already done
            const bool aheadInside = ahead >= 0 && ahead < W;
            carried = RGBA_Scale(E, 7.0 / 16.0);
            if (hasNext) {
                if (behind >= 0 && behind < W)
                    addShare(next[behind], E, 3.0 / 16.0);
                addShare(next[x], E, 5.0 / 16.0);
                if (aheadInside)
                    addShare(next[ahead], E, 1.0 / 16.0);
            }
        }
    }
}
