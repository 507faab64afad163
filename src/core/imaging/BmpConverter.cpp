#include "core/imaging/BmpConverter.h"

#include "core/imaging/ChannelClamp.h"
#include "core/imaging/ColourQuantiser.h"
#include "core/imaging/ErrorShares.h"
#include "core/imaging/GreyQuantiser.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>

namespace {
constexpr int kLargestWidth = 480;
constexpr int kLargestHeight = 272;

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
    for (int x = 0; x < m_width; ++x)
        row[x] = rgbaUnpack(words[x]);
}

QImage BmpConverter::Convert_Bitmap(const TDithering_Params& params, const QImage& sourceIn, int format,
                                    bool want_preview)
{
    if (!isPixelFormat(format))
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

    const bool wantPreview = !preview.isNull();
    auto run = [&](const auto& quantiser) {
        if (wantPreview)
            diffuse<std::decay_t<decltype(quantiser)>, true>(quantiser, source, preview);
        else
            diffuse<std::decay_t<decltype(quantiser)>, false>(quantiser, source, preview);
    };
    switch (kernel.kind()) {
    case QuantiseKernel::Kind::Colour: {
        const ColourQuantiser<false> colour(kernel);
        if (!diffuseColourPairs(colour, source, preview))
            run(colour);
        break;
    }
    case QuantiseKernel::Kind::ColourAlpha:
    case QuantiseKernel::Kind::AlphaBit: {
        const ColourQuantiser<true> colour(kernel);
        if (!diffuseColourPairs(colour, source, preview))
            run(colour);
        break;
    }
    case QuantiseKernel::Kind::Grey: {
        const GreyQuantiser grey(kernel, format);
        if (!diffuseGreyEarly(grey, source, preview))
            run(grey);
        break;
    }
    }
    return preview;
}

template <typename Quantiser, bool WantPreview>
void BmpConverter::diffuse(const Quantiser& quantise, const QImage& source, QImage& preview)
{
    const int imageWidth = m_width;
    const int imageHeight = m_height;
    const double amplitude = std::ldexp(1.0, m_params.random_bits) - 1.0;
    const double* factors = m_noise.factors(m_params.random_stdev, size_t(imageWidth) * size_t(imageHeight));
    size_t drawn = 0;

    loadRow(source, 0, m_rows[0].data());
    for (int y = 0; y < imageHeight; ++y) {
        TRGBA_Rec* cur = m_rows[y & 1].data();
        TRGBA_Rec* next = m_rows[(y + 1) & 1].data();
        const bool hasNext = y + 1 < imageHeight;
        if (hasNext)
            loadRow(source, y + 1, next);
        const auto* sourceRow = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
        const bool even = (y & 1) == 0;
        const int step = even ? 1 : -1;
        TPixelLevels* levelRow = m_levels.data() + size_t(y) * size_t(imageWidth);
        uint32_t* previewRow = nullptr;
        if constexpr (WantPreview)
            previewRow = reinterpret_cast<uint32_t*>(preview.scanLine(y));

        // The 7/16 share for the next pixel along the row is carried in
        // registers: it is the last share that pixel receives, so adding it
        // on arrival is the same single addition as adding it in the row.
        // It starts as -0.0, which added to any value leaves it as it is.
        double carried[3] = {-0.0, -0.0, -0.0};
        int x = even ? 0 : imageWidth - 1;
        for (int i = 0; i < imageWidth; ++i, x += step) {
            // Alpha is never diffused into, so the pixel's alpha is the source's.
            const uint32_t alpha = sourceRow[x] >> 24;
            double p[3] = {clampChannel(cur[x].R + carried[0]), clampChannel(cur[x].G + carried[1]),
                           clampChannel(cur[x].B + carried[2])};
            // Noise goes only to pixels whose quantised alpha is full; the
            // others draw no random numbers at all, so the k-th opaque pixel
            // (in processing order) gets the k-th factor.
            if (quantise.takesNoise(alpha)) {
                const double noise = amplitude * factors[drawn++];
                p[0] += noise;
                p[1] += noise;
                p[2] += noise;
            }
            double q[3];
            levelRow[x] = quantise(p, alpha, q);
            if constexpr (WantPreview)
                previewRow[x] = previewWord({q[0], q[1], q[2], quantise.shownAlpha(alpha)});

            // The alpha error is dropped: only colour is diffused.
            const double e[3] = {p[0] - q[0], p[1] - q[1], p[2] - q[2]};
            for (int c = 0; c < 3; ++c)
                carried[c] = e[c] * (7.0 / 16.0);
            if (hasNext)
                spreadBelow(next, x, step, i, imageWidth, e);
        }
    }
}
