#include "core/imaging/ImageDecoding.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/JpegCodec.h"
#include "core/imaging/PictureLimit.h"
#include "core/messaging/UntrustedText.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <climits>
#include <cstdlib>

namespace {

const char* qtCodecFor(const QByteArray& data)
{
    static const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);
    if (data.startsWith("BM"))
        return "BMP";
    if (data.startsWith(kPngSignature))
        return "PNG";
    if (data.startsWith("GIF"))
        return "GIF";
    return nullptr;
}

// A reader on the data with the codec fixed, or (codec null) recognised by
// content.
class DataReader {
public:
    DataReader(const QByteArray& data, const char* codec)
    {
        m_buffer.setData(data);
        m_buffer.open(QIODevice::ReadOnly);
        m_reader.setDevice(&m_buffer);
        if (codec) {
            m_reader.setFormat(codec);
            m_reader.setDecideFormatFromContent(false);
        }
    }
    QImageReader& reader() { return m_reader; }

private:
    QBuffer m_buffer;
    QImageReader m_reader;
};

QImage decodeWithQt(QImageReader& reader, QString* error)
{
    QImage image = reader.read();
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("The %1 data cannot be decoded: %2")
                         .arg(QString::fromLatin1(reader.format().toUpper()), reader.errorString());
        return QImage();
    }
    return image;
}

// A BMP stored top-down declares a negative height, which Qt's size() passes
// on as it is while its decoder takes the magnitude.
QSize headerSize(QImageReader& reader)
{
    const QSize size = reader.size();
    if (reader.format().toLower() == "bmp" && size.width() > 0 && size.height() < 0)
        return QSize(size.width(), -qint64(size.height()) > INT_MAX ? INT_MAX : -size.height());
    return size;
}

// The size a BMP header declares, read by us: Qt gives none for a picture
// too large for it to allocate, yet that size is what the user needs to hear.
QSize bmpDeclaredSize(const QByteArray& data)
{
    const auto le = [&data](int at, int bytes) {
        qint64 v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | uint8_t(data[at + i]);
        return v;
    };
    if (data.size() < 26 || data[0] != 'B' || data[1] != 'M')
        return {};
    const qint64 headerBytes = le(14, 4);
    if (headerBytes == 12)
        return QSize(int(le(18, 2)), int(le(20, 2)));
    if (headerBytes < 40)
        return {};
    const qint64 width = int32_t(le(18, 4));
    const qint64 height = std::abs(qint64(int32_t(le(22, 4))));
    if (width <= 0 || height <= 0 || height > INT_MAX)
        return {};
    return QSize(int(width), int(height));
}

bool isJpeg(const QByteArray& data)
{
    return data.size() >= 2 && uint8_t(data[0]) == 0xFF && uint8_t(data[1]) == 0xD8;
}

// The one form every caller works on; a picture without pixels is no picture.
QImage finish(QImage image, QString* error)
{
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

} // namespace

QImage Load_Bitmap_From_Stream(const QByteArray& data, QString* error)
{
    if (const char* codec = qtCodecFor(data)) {
        DataReader r(data, codec);
        return finish(decodeWithQt(r.reader(), error), error);
    }
    if (isJpeg(data))
        return finish(JpegCodec::decode(data, error), error);
    if (error)
        *error = data.isEmpty() ? QStringLiteral("There are no image data.")
                                : QStringLiteral("The data are not a BMP, PNG, GIF or JPEG image.");
    return QImage();
}

LoadedPicture loadPicture(const QByteArray& data, const PictureLimit& limit, bool otherCodecs)
{
    LoadedPicture out;
    const char* codec = qtCodecFor(data);
    const bool jpeg = !codec && isJpeg(data);
    if (!codec && !jpeg && !otherCodecs) {
        out.error = data.isEmpty() ? QStringLiteral("There are no image data.")
                                   : QStringLiteral("The data are not a BMP, PNG, GIF or JPEG image.");
        return out;
    }
    DataReader r(data, codec);
    if (!codec && !jpeg && !r.reader().canRead()) {
        out.error = QStringLiteral("The data are not an image any codec here reads.");
        return out;
    }
    QSize size = jpeg ? JpegCodec::headerSize(data) : headerSize(r.reader());
    if (!size.isValid() && codec && qstrcmp(codec, "BMP") == 0)
        size = bmpDeclaredSize(data);
    if (!size.isValid()) {
        // Without a size in the header the cost of decoding is unknown; the
        // four formats always give one unless the header itself is broken.
        out.error = QStringLiteral("The picture's header gives no size.");
        return out;
    }
    const QString refusal = limit.refusal(size);
    if (!refusal.isEmpty()) {
        out.status = PictureStatus::TooLarge;
        out.error = refusal;
        return out;
    }
    out.image = finish(jpeg ? JpegCodec::decode(data, &out.error) : decodeWithQt(r.reader(), &out.error), &out.error);
    if (!out.image.isNull()) {
        out.status = PictureStatus::Loaded;
        out.error.clear();
    }
    return out;
}

LoadedPicture loadPictureFile(const QString& path, const PictureLimit& limit, bool otherCodecs)
{
    QFile file(path);
    // A device or pipe has no end to read up to.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        LoadedPicture out;
        const QFileInfo info(path);
        out.error = !info.exists() ? QStringLiteral("No such file.")
            : !info.isFile()       ? QStringLiteral("It is not a file.")
                                   : file.errorString() + QLatin1Char('.');
        return out;
    }
    return loadPicture(file.readAll(), limit, otherCodecs);
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

namespace {
PictureLimit cellLimit(const TCell_object& cell)
{
    return cell.pHandle ? PictureLimit::forHandle(*cell.pHandle) : PictureLimit::forAnyHandle();
}
} // namespace

QImage cellSourceBitmap(const TCell_object& cell)
{
    if (!cell.fmxbmp.isNull())
        return cell.fmxbmp;
    if (cell.imgFileData.isEmpty())
        throw ImagingError(QStringLiteral("The image %1 has no picture.").arg(untrustedText(cell.name)));
    const LoadedPicture picture = loadPicture(cell.imgFileData, cellLimit(cell));
    if (picture.status != PictureStatus::Loaded)
        throw ImagingError(QStringLiteral("The picture of image %1 cannot be decoded. %2")
                               .arg(untrustedText(cell.name), picture.error));
    return picture.image;
}

bool restoreCellBitmaps(TCell_object& cell, QString* error)
{
    const LoadedPicture picture = loadPicture(cell.imgFileData, cellLimit(cell));
    if (picture.status != PictureStatus::Loaded) {
        if (error)
            *error = QStringLiteral("The picture of image %1 cannot be decoded. %2")
                         .arg(untrustedText(cell.name), picture.error);
        return false;
    }
    cell.fmxbmp = picture.image;
    cell.bmp = picture.image;
    return true;
}
