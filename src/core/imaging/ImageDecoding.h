#pragma once
// Decoding of stored image bytes (a cell's imgFileData, dropped files) chosen
// by their leading signature, and the small file services of image import.

#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class PictureLimit;
class QIODevice;

// Decodes BMP ("BM"), PNG, GIF ("GIF") or JPEG (FF D8) data to
// Format_ARGB32_Premultiplied: JPEG through libjpeg, the others through Qt's
// codecs. Data of any other kind, or data its codec refuses, gives a null
// image and, if error is given, a sentence saying why.
QImage Load_Bitmap_From_Stream(const QByteArray& data, QString* error = nullptr);

// The same for a stream, read from its start.
QImage Load_Bitmap_From_Stream(QIODevice& stream, QString* error = nullptr);

enum class PictureStatus { Loaded, Undecodable, TooLarge };

struct LoadedPicture {
    QImage image; // Format_ARGB32_Premultiplied; null unless Loaded
    PictureStatus status = PictureStatus::Undecodable;
    QString error; // one line saying why, when not Loaded
};

// Decodes a picture for a use with a size limit. The size its header declares
// is checked first: a picture beyond the limit is TooLarge, with one line
// naming both sizes, before any pixel is decoded; a picture whose header gives
// no size is Undecodable, as its cost is unknown. BMP, PNG, GIF and JPEG are told by
// their signature as in Load_Bitmap_From_Stream; with otherCodecs, data of
// any other kind is offered to Qt's codecs, which recognise it by content.
LoadedPicture loadPicture(const QByteArray& data, const PictureLimit& limit, bool otherCodecs = false);

// The same for a file; the error does not repeat the path. The window's
// import calls it with PictureLimit::forImport, `preview` with
// PictureLimit::forPreview and otherCodecs set. A file that cannot be read is
// Undecodable.
LoadedPicture loadPictureFile(const QString& path, const PictureLimit& limit, bool otherCodecs = false);

// The size in bytes of the file at path, or -1 when no file is there.
qint64 Get_File_Size(const QString& path);

// The picture a cell is converted and uploaded from: its fmxbmp, or, for a
// cell read from a project file that has only its stored PNG bytes, those
// decoded. Throws ImagingError naming the image when there is neither, or
// when the stored picture declares a size beyond its handle's (checked
// before decoding).
QImage cellSourceBitmap(const TCell_object& cell);

// Rebuilds fmxbmp and bmp of a cell read from a project file from its
// imgFileData. Returns false and sets error (naming the image) when the bytes
// cannot be decoded or declare a picture larger than the cell's handle (or,
// without a handle, larger than any handle may be); the cell is then left as
// it was.
bool restoreCellBitmaps(TCell_object& cell, QString* error = nullptr);
