#include "core/imaging/ImageDecoding.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/JpegCodec.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace {

const char* qtCodecFor(const QByteArray& data)
{
    static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
    if (data.startsWith("BM"))
        return "BMP";
    if (data.startsWith(pngSignature))
        return "PNG";
    if (data.startsWith("GIF"))
        return "GIF";
    return nullptr;
}

QImage decodeWithQt(const QByteArray& data, const char* codec, QString* error)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, codec);
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull()) {
        if (error)
            *error
                = QStringLiteral("The %1 data cannot be decoded: %2").arg(QLatin1String(codec), reader.errorString());
        return QImage();
    }
    return image;
}

} // namespace

QImage Load_Bitmap_From_Stream(const QByteArray& data, QString* error)
{
    QImage image;
    if (const char* codec = qtCodecFor(data)) {
        image = decodeWithQt(data, codec, error);
    } else if (data.size() >= 2 && uint8_t(data[0]) == 0xFF && uint8_t(data[1]) == 0xD8) {
        image = JpegCodec::decode(data, error);
    } else {
        if (error)
            *error = data.isEmpty() ? QStringLiteral("There are no image data.")
                                    : QStringLiteral("The data are not a BMP, PNG, GIF or JPEG image.");
        return QImage();
    }
    if (image.isNull())
        return QImage();
    if (image.width() <= 0 || image.height() <= 0) {
        if (error)
            *error = QStringLiteral("The image has no pixels.");
        return QImage();
    }
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

QImage Load_Bitmap_From_Stream(QIODevice& stream, QString* error)
{
    if (!stream.isReadable() || (!stream.isSequential() && !stream.seek(0))) {
        if (error)
            *error = QStringLiteral("The image data cannot be read: %1").arg(stream.errorString());
        return QImage();
    }
    return Load_Bitmap_From_Stream(stream.readAll(), error);
}

qint64 Get_File_Size(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.size() : -1;
}

QImage Cell_Source_Bitmap(const TCell_object& cell)
{
    if (!cell.fmxbmp.isNull())
        return cell.fmxbmp;
    if (cell.imgFileData.isEmpty())
        throw ImagingError(QStringLiteral("The image %1 has no picture.").arg(cell.name));
    QString why;
    const QImage image = Load_Bitmap_From_Stream(cell.imgFileData, &why);
    if (image.isNull())
        throw ImagingError(QStringLiteral("The picture of image %1 cannot be decoded. %2").arg(cell.name, why));
    return image;
}

bool Restore_Cell_Bitmaps(TCell_object& cell, QString* error)
{
    QString why;
    const QImage image = Load_Bitmap_From_Stream(cell.imgFileData, &why);
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("The picture of image %1 cannot be decoded. %2").arg(cell.name, why);
        return false;
    }
    cell.fmxbmp = image;
    cell.bmp = image;
    return true;
}
