#pragma once
// Images put into a project the way an import leaves them, for tests and
// benchmarks that need a project with pictures but are not about importing.

#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Decoded: the picture in memory, as a conversion or a preview reads it
// (fmxbmp and bmp). Stored: as a project file holds it (PNG bytes).
enum class TFixtureImage { Decoded, Stored };

QByteArray pngBytes(const QImage& image);

// A picture whose every pixel differs from its neighbours, so that
// conversion, dithering and compression all have work to do; the same seed
// gives the same picture.
QImage gradientPicture(int width, int height, int seed);

// Random opaque pixels: nothing in them compresses or dithers away.
QImage noisePicture(int width, int height, quint32 seed);

// Appends an image named name to handle, with the noise settings of the
// handle's pixel format; the returned cell may be adjusted further.
TCell_object& addFixtureImage(THandle_object& handle, const QString& name, const QImage& picture,
                              TFixtureImage form = TFixtureImage::Decoded);
// The same for an image given as the bytes of its file, at the handle's size.
TCell_object& addFixtureImage(THandle_object& handle, const QString& name, const QByteArray& fileBytes);
