#pragma once
// A literal, deliberately plain transcription of the conversion for the tests
// to compare against: a full matrix of the image, long double for every level
// computation, and a random generator of its own drawing pixel by pixel.

#include "core/imaging/Quantisation.h"
#include "core/model/Dithering.h"

#include <QImage>

#include <vector>

struct ReferenceResult {
    std::vector<TPixel_Levels> levels; // row-major
    QImage preview;                    // colour limited to alpha, as the product does
};

TPixel_Levels Reference_Quantise(double r, double g, double b, double a, int format);
ReferenceResult Reference_Convert(const TDithering_Params& params, const QImage& source, int format);

// Small deterministic pictures.
QImage Test_Picture(int width, int height, bool withAlpha, uint32_t seed);
