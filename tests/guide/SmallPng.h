#pragma once
// Screenshots as small PNG files: a window has few colours, so an exact
// palette usually fits; where pictures bring more, the colours are reduced.

#include <QImage>
#include <QString>

bool saveSmallPng(const QImage& image, const QString& path);
