#include "core/imaging/QuantiseKernel.h"

#include "core/imaging/PixelFormat.h"

QuantiseKernel::QuantiseKernel(int format)
{
    const PixelFormatInfo& f = pixelFormatOf(format);
    m_kind = f.grey                        ? Kind::Grey
        : f.alpha == PixelAlpha::OpaqueBit ? Kind::AlphaBit
        : f.alpha == PixelAlpha::Levels    ? Kind::ColourAlpha
                                           : Kind::Colour;
    for (int c = 0; c < 4; ++c) {
        const int n = f.levels[c];
        if (n >= 2) {
            m_scale[c] = double(n) / 256.0;
            m_max[c] = n - 1;
        }
        m_display[c].fill(0.0);
    }
    // Every level that can occur, mapped back through the one definition.
    for (int c = 0; c < 4; ++c) {
        for (int level = 0; level < 256; ++level) {
            TPixelLevels lv{};
            lv.R = lv.G = lv.B = lv.A = uint8_t(level);
            const TRGBA_Rec d = levelsToDisplay(lv, format);
            const double values[4] = {d.R, d.G, d.B, d.A};
            m_display[c][size_t(level)] = values[c];
        }
    }
}
