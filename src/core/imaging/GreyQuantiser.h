#pragma once
// Quantisation of the grey formats for the diffusion pass.

#include "core/imaging/ChannelClamp.h"
#include "core/imaging/GreyLevel.h"
#include "core/imaging/PixelFormat.h"
#include "core/imaging/QuantiseKernel.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstdint>

// Grey formats: the level of the clamped pixel as greyLevel gives it. The
// double sum decides alone when it lies further from a level boundary than
// greyLevel's own bound on its error; otherwise greyLevel decides.
class GreyQuantiser {
public:
    GreyQuantiser(const QuantiseKernel& kernel, int format)
    {
        const PixelFormatInfo& f = pixelFormatOf(format);
        m_scale = double(f.levels[0]) / 256.0;
        m_max = f.levels[0] - 1;
        m_maxValue = double(m_max);
        for (int level = 0; level <= m_max; ++level) {
            const uint8_t l = uint8_t(level);
            m_shown[size_t(level)] = kernel.display({l, l, l, 255}).R;
        }
        m_exact = grey_detail::gAlwaysExact;
        m_weight = {grey_detail::kWeightR * m_scale, grey_detail::kWeightG * m_scale, grey_detail::kWeightB * m_scale};
    }

    double scale() const { return m_scale; }
    int max() const { return m_max; }
    bool exactOnly() const { return m_exact; }
    double shown(int level) const { return m_shown[size_t(level)]; }
    const std::array<double, 3>& scaledWeights() const { return m_weight; }

    static bool takesNoise(uint32_t) { return true; }
    static double shownAlpha(uint32_t) { return 255.0; }

    Q_ALWAYS_INLINE TPixelLevels operator()(const double p[3], uint32_t, double q[3]) const
    {
        const TRGBA_Rec c{clampChannel(p[0]), clampChannel(p[1]), clampChannel(p[2]), 255.0};
        const uint8_t level = levelOf(c);
        q[0] = q[1] = q[2] = m_shown[level];
        return {level, level, level, 255};
    }

    // The level of a pixel whose channels are clamped to 0..255.
    Q_ALWAYS_INLINE uint8_t levelOf(const TRGBA_Rec& c) const
    {
        // The weights times the scale, a power of two: the sum is that of
        // the weights, scaled exactly, with one step less. The level is read
        // from it at once; the check that it lies clear of a boundary is
        // off the path from one pixel to the next.
        const double t = m_weight[0] * c.R + m_weight[1] * c.G + m_weight[2] * c.B;
        const int level = limitedLevel(t);
        if (limitedLevel(t - kMargin) == limitedLevel(t + kMargin) && !m_exact) [[likely]]
            return uint8_t(level);
        return greyLevel(c, m_scale, m_max);
    }

    // levelOf of GreyLevel.h without branches: dithering to few levels
    // puts values on both sides of the limits at random.
    Q_ALWAYS_INLINE int limitedLevel(double v) const { return int(std::min(m_maxValue, std::max(0.0, v))); }

private:
    // greyLevel's bound is below sum x 2^-47 with every term non-negative,
    // so below 2^-39 in scaled units; twice that keeps its roundings clear.
    static constexpr double kMargin = 0x1p-38;

    std::array<double, 256> m_shown{};
    std::array<double, 3> m_weight{};
    double m_scale = 1.0;
    double m_maxValue = 255.0;
    int m_max = 255;
    bool m_exact = false;
};
