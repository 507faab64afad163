#pragma once
// Pictures an installer might bring: a sky with a sun over hills, a company
// mark, a notice for the information screens.

#include <QColor>
#include <QImage>

QImage sampleBackground(int width, int height, QColor sky);
QImage sampleLogo(int width, int height);
QImage sampleNotice(int width, int height);
