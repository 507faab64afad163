#include "core/imaging/BmpConverter.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>

namespace {
constexpr int kLargestWidth = 480;
constexpr int kLargestHeight = 272;

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

// RGBA_Clamp of one channel. A value inside 0..255 (nearly every one) passes
// through a predicted branch instead of two more steps on the path from one
// pixel to the next.
inline double clampChannel(double v)
{
    if (v >= 0.0 && v <= 255.0) [[likely]]
        return v;
    return std::clamp(v, 0.0, 255.0);
}

// Trunc(clamp(v)) as an index 0..255 (NaN, never produced, gives 0 as the
// clamp and truncation do). Every level count is a power of two no larger
// than 256, so Trunc(clamp(v) x levels / 256) is this index shifted right:
// the level and its mapped-back value are read from tables by it.
inline int byteIndex(double v)
{
    if (v >= 0.0 && v < 256.0) [[likely]]
        return int(v);
    return v > 0.0 ? 255 : 0;
}

// Colour formats: each channel's level and mapped-back value by byteIndex,
// and alpha's by the source alpha, which the error never reaches.
template <bool hasAlpha> class ColourQuantiser {
public:
    explicit ColourQuantiser(const QuantiseKernel& kernel)
    {
        for (int i = 0; i < 256; ++i) {
            const double v = double(i);
            const TRGBA_Rec p{v, v, v, v};
            const TPixel_Levels lv = kernel.levels(p);
            const TRGBA_Rec shown = kernel.display(lv);
            m_level[0][size_t(i)] = lv.R;
            m_level[1][size_t(i)] = lv.G;
            m_level[2][size_t(i)] = lv.B;
            m_shown[0][size_t(i)] = shown.R;
            m_shown[1][size_t(i)] = shown.G;
            m_shown[2][size_t(i)] = shown.B;
            m_alphaLevel[size_t(i)] = lv.A;
            m_alphaShown[size_t(i)] = shown.A;
            m_opaque[size_t(i)] = kernel.opaque(p);
        }
    }

    bool takesNoise(uint32_t alpha) const
    {
        if constexpr (hasAlpha)
            return m_opaque[alpha];
        return true;
    }
    double shownAlpha(uint32_t alpha) const { return m_alphaShown[alpha]; }

    TPixel_Levels operator()(const double p[3], uint32_t alpha, double q[3]) const
    {
        TPixel_Levels out;
        const int r = byteIndex(p[0]);
        const int g = byteIndex(p[1]);
        const int b = byteIndex(p[2]);
        q[0] = m_shown[0][size_t(r)];
        q[1] = m_shown[1][size_t(g)];
        q[2] = m_shown[2][size_t(b)];
        out.R = m_level[0][size_t(r)];
        out.G = m_level[1][size_t(g)];
        out.B = m_level[2][size_t(b)];
        out.A = m_alphaLevel[alpha];
        return out;
    }

private:
    std::array<std::array<double, 256>, 3> m_shown{};
    std::array<std::array<uint8_t, 256>, 3> m_level{};
    std::array<double, 256> m_alphaShown{};
    std::array<uint8_t, 256> m_alphaLevel{};
    std::array<bool, 256> m_opaque{};
};

// Grey formats: the level of the clamped pixel as Grey_Level gives it. The
// double sum decides alone when it lies further from a level boundary than
// Grey_Level's own bound on its error; otherwise Grey_Level decides.
class GreyQuantiser {
public:
    explicit GreyQuantiser(const QuantiseKernel& kernel, int format)
    {
        const PixelFormatInfo& f = Pixel_Format(format);
        m_scale = double(f.levels[0]) / 256.0;
        m_max = f.levels[0] - 1;
        for (int level = 0; level <= m_max; ++level) {
            const uint8_t l = uint8_t(level);
            m_shown[size_t(level)] = kernel.display({l, l, l, 255}).R;
        }
        m_exact = grey_detail::g_alwaysExact;
    }

    static bool takesNoise(uint32_t) { return true; }
    static double shownAlpha(uint32_t) { return 255.0; }

    TPixel_Levels operator()(const double p[3], uint32_t, double q[3]) const
    {
        const TRGBA_Rec c{clampChannel(p[0]), clampChannel(p[1]), clampChannel(p[2]), 255.0};
        const uint8_t level = levelOf(c);
        q[0] = q[1] = q[2] = m_shown[level];
        return {level, level, level, 255};
    }

private:
    // Grey_Level's bound is below sum x 2^-47 with every term non-negative,
    // so below 2^-39 in scaled units; twice that keeps its roundings clear.
    static constexpr double kMargin = 0x1p-38;

    uint8_t levelOf(const TRGBA_Rec& c) const
    {
        using namespace grey_detail;
        const double sum = kWeightR * c.R + kWeightG * c.G + kWeightB * c.B;
        const double t = sum * m_scale;
        if (t >= 0.0 && t < 256.0 && !m_exact) [[likely]] {
            const int whole = int(t);
            const double fraction = t - double(whole);
            if (fraction > kMargin && fraction < 1.0 - kMargin) [[likely]]
                return uint8_t(std::min(whole, m_max));
        }
        return Grey_Level(c, m_scale, m_max);
    }

    std::array<double, 256> m_shown{};
    double m_scale = 1.0;
    int m_max = 255;
    bool m_exact = false;
};
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

    const bool wantPreview = !preview.isNull();
    auto run = [&](const auto& quantiser) {
        if (wantPreview)
            diffuse<std::decay_t<decltype(quantiser)>, true>(quantiser, source, preview);
        else
            diffuse<std::decay_t<decltype(quantiser)>, false>(quantiser, source, preview);
    };
    switch (kernel.kind()) {
    case QuantiseKernel::Kind::Colour: run(ColourQuantiser<false>(kernel)); break;
    case QuantiseKernel::Kind::ColourAlpha:
    case QuantiseKernel::Kind::AlphaBit: run(ColourQuantiser<true>(kernel)); break;
    case QuantiseKernel::Kind::Grey: run(GreyQuantiser(kernel, format)); break;
    }
    return preview;
}

template <typename Quantiser, bool wantPreview>
void BmpConverter::diffuse(const Quantiser& quantise, const QImage& source, QImage& preview)
{
    const int W = m_width;
    const int H = m_height;
    const double amplitude = std::ldexp(1.0, m_params.random_bits) - 1.0;
    const double* factors = m_noise.factors(m_params.random_stdev, size_t(W) * size_t(H));
    size_t drawn = 0;

    loadRow(source, 0, m_rows[0].data());
    for (int y = 0; y < H; ++y) {
        TRGBA_Rec* cur = m_rows[y & 1].data();
        TRGBA_Rec* next = m_rows[(y + 1) & 1].data();
        const bool hasNext = y + 1 < H;
        if (hasNext)
            loadRow(source, y + 1, next);
        const auto* sourceRow = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
        const bool even = (y & 1) == 0;
        const int step = even ? 1 : -1;
        TPixel_Levels* levelRow = m_levels.data() + size_t(y) * size_t(W);
        uint32_t* previewRow = nullptr;
        if constexpr (wantPreview)
            previewRow = reinterpret_cast<uint32_t*>(preview.scanLine(y));

        // The 7/16 share for the next pixel along the row is carried in
        // registers: it is the last share that pixel receives, so adding it
        // on arrival is the same single addition as adding it in the row.
        // It starts as -0.0, which added to any value leaves it as it is.
        double carried[3] = {-0.0, -0.0, -0.0};
        int x = even ? 0 : W - 1;
        for (int i = 0; i < W; ++i, x += step) {
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
            if constexpr (wantPreview)
                previewRow[x] = previewWord({q[0], q[1], q[2], quantise.shownAlpha(alpha)});

            // The alpha error is dropped: only colour is diffused.
            const double e[3] = {p[0] - q[0], p[1] - q[1], p[2] - q[2]};
            for (int c = 0; c < 3; ++c)
                carried[c] = e[c] * (7.0 / 16.0);
            if (hasNext) {
                // Below, on the side already done; below; below, ahead.
                if (i > 0) {
                    TRGBA_Rec& t = next[x - step];
                    t.R += e[0] * (3.0 / 16.0);
                    t.G += e[1] * (3.0 / 16.0);
                    t.B += e[2] * (3.0 / 16.0);
                }
                TRGBA_Rec& t = next[x];
                t.R += e[0] * (5.0 / 16.0);
                t.G += e[1] * (5.0 / 16.0);
                t.B += e[2] * (5.0 / 16.0);
                if (i + 1 < W) {
                    TRGBA_Rec& u = next[x + step];
                    u.R += e[0] * (1.0 / 16.0);
                    u.G += e[1] * (1.0 / 16.0);
                    u.B += e[2] * (1.0 / 16.0);
                }
            }
        }
    }
}
