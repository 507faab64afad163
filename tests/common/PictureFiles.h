#pragma once
// Picture files for import tests, written into a folder the test owns.

#include <QColor>
#include <QDir>
#include <QString>

// A picture of the given size filled with colour, saved as the format its
// extension names (png, bmp, jpg, gif). Returns the full path.
QString writePicture(const QDir& dir, const QString& fileName, int width, int height, QColor colour);
// A file with the given bytes.
QString writeFile(const QDir& dir, const QString& fileName, const QByteArray& bytes);
// A BMP header declaring width x height pixels, with no pixels after it.
QByteArray bmpHeaderBytes(int width, int height);
