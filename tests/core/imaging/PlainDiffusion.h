#pragma once
// The tests' one reference for the conversion: an independent and
// deliberately naive transcription, used only to check the product's
// optimised pass and its quantisation: a matrix of
// the whole picture indexed [x][y], every level computed in long double at
// each use, a Gaussian drawn for every fully opaque pixel even when the
// standard deviation is 0, no tables, no caches, no two-row buffer.

#include "core/model/Dithering.h"

#include <QImage>

#include <cstdint>
#include <vector>

class PlainDiffusion {
public:
    struct Result {
        std::vector<uint8_t> levels; // 4 per pixel (R, G, B, A), row-major
        std::vector<uint32_t> shown; // pack() of the mapped-back pixel, row-major
    };

    // source must be Format_ARGB32_Premultiplied; its words are read as they are.
    static Result convert(const TDithering_Params& params, const QImage& source, int format);

    // Levels of one pixel, R, G, B, A; formats without alpha give A = 255.
    static void quantise(const long double in[4], int format, bool raw, long double out[4]);
};
