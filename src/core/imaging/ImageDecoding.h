#pragma once
// Decoding of stored image bytes (a cell's imgFileData, dropped files) chosen
// by their leading signature, and the small file services of image import.

#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class QIODevice;

// Decodes BMP ("BM"), PNG, GIF ("GIF") or JPEG (FF D8) data to
// Format_ARGB32_Premultiplied: JPEG through libjpeg, the others through Qt's
// codecs. Data of any other kind, or data its codec refuses, gives a null
// image and, if error is given, a sentence saying why.
QImage Load_Bitmap_From_Stream(const QByteArray& data, QString* error = nullptr);

// The same for a stream, read from its start.
QImage Load_Bitmap_From_Stream(QIODevice& stream, QString* error = nullptr);

// The size in bytes of the file at path, or -1 when no file is there.
qint64 Get_File_Size(const QString& path);

// The picture a cell is converted and uploaded from: its fmxbmp, or, for a
// cell read from a project file that has only its stored PNG bytes, those
// decoded. Throws ImagingError naming the image when there is neither.
QImage Cell_Source_Bitmap(const TCell_object& cell);

// Rebuilds fmxbmp and bmp of a cell read from a project file from its
// imgFileData. Returns false and sets error (naming the image) when the bytes
// cannot be decoded; the cell is then left as it was.
bool Restore_Cell_Bitmaps(TCell_object& cell, QString* error = nullptr);
