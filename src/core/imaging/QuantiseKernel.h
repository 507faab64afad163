#pragma once
// quantiseLevels and levelsToDisplay of one format, prepared once per
// conversion: scale factors and limits per channel and the mapped-back value
// of every level as a table, so the per-pixel work has no format switch and
// no integer division. Gives exactly the results of quantiseLevels and
// levelsToDisplay (the tests compare them).

#include "core/imaging/Quantisation.h"
#include "core/imaging/RgbaRec.h"

#include <array>

class QuantiseKernel {
public:
    enum class Kind { Colour, ColourAlpha, AlphaBit, Grey };

    // Throws ImagingError for a code without levels.
    explicit QuantiseKernel(int format);

    Kind kind() const { return m_kind; }

    // True when the pixel's alpha quantises to the format's full level (always
    // for formats without alpha).
    bool opaque(const TRGBA_Rec& p) const
    {
        switch (m_kind) {
        case Kind::ColourAlpha: return level(p.A, 3) == m_max[3];
        case Kind::AlphaBit: return alphaBit(p.A) == 1;
        default: return true;
        }
    }

    TPixelLevels levels(const TRGBA_Rec& p) const
    {
        if (m_kind == Kind::Grey) {
            const uint8_t g = greyLevel(p, m_scale[0], m_max[0]);
            return {g, g, g, 255};
        }
        TPixelLevels out{level(p.R, 0), level(p.G, 1), level(p.B, 2), 255};
        if (m_kind == Kind::ColourAlpha)
            out.A = level(p.A, 3);
        else if (m_kind == Kind::AlphaBit)
            out.A = alphaBit(p.A);
        return out;
    }

    TRGBA_Rec display(const TPixelLevels& lv) const
    {
        return {m_display[0][lv.R], m_display[1][lv.G], m_display[2][lv.B], m_display[3][lv.A]};
    }

private:
    uint8_t level(double value, int channel) const
    {
        const double scaled = value * m_scale[channel];
        if (!(scaled > 0.0))
            return 0;
        if (scaled >= double(m_max[channel]))
            return uint8_t(m_max[channel]);
        return uint8_t(scaled);
    }
    static uint8_t alphaBit(double a) { return (a + 1.0) / 256.0 >= 1.0 ? 1 : 0; }

    Kind m_kind = Kind::Colour;
    std::array<double, 4> m_scale{};
    std::array<int, 4> m_max{};
    std::array<std::array<double, 256>, 4> m_display{};
};
