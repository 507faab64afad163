#pragma once
// Small deterministic pictures for the imaging tests.

#include <QImage>

#include <cstdint>

// A picture of gradients and noise; withAlpha adds bands of clear, opaque and
// every alpha at the quantisation edges (239/240, 254).
QImage testPicture(int width, int height, bool withAlpha, uint32_t seed);
