#pragma once
// Pictures an installer might bring: a sky with a sun over hills, a company
// mark, a notice for the information screens.

#include <QColor>
#include <QImage>

QImage Sample_Background(int width, int height, QColor sky);
QImage Sample_Logo(int width, int height);
QImage Sample_Notice(int width, int height);
