#pragma once
// Quantisation of the colour formats for the diffusion pass.

#include "core/imaging/ChannelClamp.h"
#include "core/imaging/QuantiseKernel.h"

#include <algorithm>
#include <array>
#include <cstdint>

// The preview keeps premultiplied pixels valid: colour never above alpha.
inline uint32_t previewWord(const TRGBA_Rec& q)
{
    uint32_t word = rgbaPack(q);
    const uint32_t a = word >> 24;
    if (a != 255) {
        const uint32_t r = std::min((word >> 16) & 0xFF, a);
        const uint32_t g = std::min((word >> 8) & 0xFF, a);
        const uint32_t b = std::min(word & 0xFF, a);
        word = (a << 24) | (r << 16) | (g << 8) | b;
    }
    return word;
}

// Colour formats: each channel's level and mapped-back value by byteIndex,
// and alpha's by the source alpha, which the error never reaches.
template <bool HasAlpha> class ColourQuantiser {
public:
    explicit ColourQuantiser(const QuantiseKernel& kernel)
    {
        for (int i = 0; i < 256; ++i) {
            const double v = double(i);
            const TRGBA_Rec p{v, v, v, v};
            const TPixelLevels lv = kernel.levels(p);
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

    const double* shown(int channel) const { return m_shown[size_t(channel)].data(); }
    const uint8_t* level(int channel) const { return m_level[size_t(channel)].data(); }
    uint8_t alphaLevel(uint32_t alpha) const { return m_alphaLevel[alpha]; }

    bool takesNoise(uint32_t alpha) const
    {
        if constexpr (HasAlpha)
            return m_opaque[alpha];
        return true;
    }
    double shownAlpha(uint32_t alpha) const { return m_alphaShown[alpha]; }

    Q_ALWAYS_INLINE TPixelLevels operator()(const double p[3], uint32_t alpha, double q[3]) const
    {
        TPixelLevels out;
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
