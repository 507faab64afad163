#pragma once
// Deterministic pictures for the imaging benchmark: smooth gradients with
// shapes and fine texture, roughly what a photo or a logo gives the ditherer.

#include <QImage>

QImage benchPhoto(int width, int height, uint32_t seed);
QImage benchLogo(int width, int height, uint32_t seed);
