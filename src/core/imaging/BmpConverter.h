#pragma once
// Conversion of a bitmap to a controller pixel format: Gaussian noise on the
// opaque pixels, then serpentine Floyd-Steinberg error diffusion. The levels
// of the last conversion stay in the level buffer for the packer.

#include "core/imaging/NoiseSequence.h"
#include "core/imaging/Quantisation.h"
#include "core/imaging/QuantiseKernel.h"
#include "core/imaging/RgbaRec.h"
#include "core/model/Dithering.h"

#include <QImage>

#include <vector>

class GreyQuantiser;
template <bool HasAlpha> class ColourQuantiser;

class BmpConverter {
public:
    BmpConverter();

    // Converts the source (any format; it is taken as premultiplied ARGB) and
    // fills the level buffer. Returns the preview when asked for, else a null
    // image. The preview is premultiplied ARGB; colour is limited to alpha
    // there so that it stays a valid premultiplied pixel. Throws ImagingError
    // for a null source or a code without levels; the level buffer is then
    // left as it was.
    QImage Convert_Bitmap(const TDithering_Params& params, const QImage& source, int format, bool want_preview);

    // Levels of the last conversion, row-major (index y * width + x).
    const std::vector<TPixelLevels>& levels() const { return m_levels; }
    int levelsWidth() const { return m_width; }
    int levelsHeight() const { return m_height; }
    int levelsFormat() const { return m_format; }

private:
    void loadRow(const QImage& source, int y, TRGBA_Rec* row) const;
    template <typename Pixel, bool WantPreview>
    void diffuse(const Pixel& quantise, const QImage& source, QImage& preview);
    // The grey pass with the level decided ahead of the error; false, with
    // nothing done, where it does not apply (see the source).
    bool diffuseGreyEarly(const GreyQuantiser& grey, const QImage& source, QImage& preview);
    // The colour pass with two channels to a register; false, with nothing
    // done, where the processor has no such registers or the noise reaches
    // too far beyond 0..255 for its tables.
    template <bool HasAlpha>
    bool diffuseColourPairs(const ColourQuantiser<HasAlpha>& colour, const QImage& source, QImage& preview);

    TDithering_Params m_params;
    NoiseSequence m_noise;
    std::vector<TPixelLevels> m_levels;
    // Only the row being diffused and the row below it receive error, so two
    // rows stand in for a matrix of the whole image. Each pixel still receives
    // its shares in the same order.
    std::vector<TRGBA_Rec> m_rows[2];
    int m_width = 0;
    int m_height = 0;
    int m_format = -1;
};
