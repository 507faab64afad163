#include "core/imaging/ImageImport.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"
#include "core/messaging/StatusCodes.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>

#include <array>
#include <limits>

namespace {

// No picture a handle can take comes near this; a larger file is not read
// into memory at all.
constexpr qint64 kLargestImportFile = qint64(64) * 1024 * 1024;

struct DecodedFile {
    QImage image;
    int status = kInvalidImageFile;
    QString reason;
};

// Reads and decodes one dropped file. Everything that refuses a file before
// its pixels are decoded happens here: the extension, the file's size, and
// (in loadPictureFile) its signature and the size its header declares.
DecodedFile decodeImportFile(const QString& path, const TImportTarget& target)
{
    const QFileInfo info(path);
    if (!importFileExtensions().contains(info.suffix().toLower()))
        return {{},
                kInvalidImageFile,
                QStringLiteral("The file type is not one of %1.").arg(importFileExtensions().join(u", "))};
    if (info.isFile() && info.size() > kLargestImportFile)
        return {{}, kInvalidImageFile, QStringLiteral("The file is too large to be a picture for the controller.")};
    LoadedPicture loaded
        = loadPictureFile(path, target.importLimit ? *target.importLimit : PictureLimit::forAnyHandle());
    switch (loaded.status) {
    case PictureStatus::Loaded: return {std::move(loaded.image), kImageAddedSuccessfully, QString()};
    // No handle could take it: its size is what is wrong with it.
    case PictureStatus::TooLarge: return {{}, kImageDimensionsNotCompatible, loaded.error};
    case PictureStatus::Undecodable: break;
    }
    return {{}, kInvalidImageFile, loaded.error};
}

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw ImagingError(QStringLiteral("The picture cannot be stored as PNG."));
    return bytes;
}

int32_t clampedFileSize(qint64 size)
{
    return int32_t(qMin<qint64>(size, std::numeric_limits<int32_t>::max()));
}

} // namespace

QString importStatusText(int code)
{
    // The import statuses are the first activity-log codes; one table holds their texts.
    if (code < kInvalidImageFile || code > kImageAddedSuccessfully)
        return QString();
    return statusCodeText(code);
}

QString imageDisplayName(const QString& name)
{
    QString result = name;
    if (!result.isEmpty() && result.at(0) >= QLatin1Char('0') && result.at(0) <= QLatin1Char('9'))
        result.prepend(QLatin1Char('_'));
    return result.toUpper();
}

QString imageNameFromFile(const QString& path)
{
    const qsizetype slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString name = path.mid(slash + 1);
    name.replace(QLatin1Char('.'), QLatin1Char('_'));
    return imageDisplayName(name);
}

const QStringList& importFileExtensions()
{
    static const QStringList kExtensions{QStringLiteral("bmp"),  QStringLiteral("dib"),  QStringLiteral("png"),
                                         QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("jpe"),
                                         QStringLiteral("jfif"), QStringLiteral("gif")};
    return kExtensions;
}

QImage makeThumbnail(const QImage& image, QSize size)
{
    QImage thumbnail(size, QImage::Format_ARGB32_Premultiplied);
    thumbnail.fill(Qt::transparent);
    if (image.isNull() || size.isEmpty())
        return thumbnail;
    const QSizeF fitted = QSizeF(image.size()).scaled(QSizeF(size), Qt::KeepAspectRatio);
    const QRectF target(QPointF((size.width() - fitted.width()) / 2.0, (size.height() - fitted.height()) / 2.0),
                        fitted);
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, image);
    return thumbnail;
}

TImportTarget TImportTarget::of(const THandleList& list, int handleIdx)
{
    TImportTarget t;
    t.handleIdx = handleIdx;
    const THandle_object& handle = *list.at(size_t(handleIdx));
    t.size = QSize(handle.width, handle.height);
    t.compress_images = handle.compress_images;
    t.compression_format = handle.compression_format;
    const int thumbIdx = thumbnailHandleIndex(handleIdx);
    if (thumbIdx >= 0 && size_t(thumbIdx) < list.size()) {
        const THandle_object& thumb = *list.at(size_t(thumbIdx));
        t.thumbnailIdx = thumbIdx;
        t.thumbnailSize = QSize(thumb.width, thumb.height);
        t.thumbnailCompressImages = thumb.compress_images;
        t.thumbnailCompressionFormat = thumb.compression_format;
    }
    t.importLimit = PictureLimit::forImport(list);
    return t;
}

TPreparedImage prepareImport(const QString& path, const TImportTarget& target)
{
    TPreparedImage p;
    p.path = path;
    p.name = imageNameFromFile(path);
    p.fileSize = Get_File_Size(path);
    DecodedFile decoded = decodeImportFile(path, target);
    if (decoded.status != kImageAddedSuccessfully) {
        p.status = decoded.status;
        p.reason = decoded.reason;
        return p;
    }
    if (decoded.image.isNull() || decoded.image.width() <= 0 || decoded.image.height() <= 0) {
        p.status = kInvalidImageFile;
        p.reason = decoded.reason;
        return p;
    }
    if (decoded.image.size() != target.size) {
        p.status = kImageDimensionsNotCompatible;
        p.reason = QStringLiteral("The picture is %1 x %2 pixels; the image group takes %3 x %4.")
                       .arg(decoded.image.width())
                       .arg(decoded.image.height())
                       .arg(target.size.width())
                       .arg(target.size.height());
        return p;
    }
    try {
        DeviceImageEncoder encoder;
        p.image = std::move(decoded.image);
        p.dithering = Default_Dithering(target.compression_format);
        p.estimate
            = encoder.Estimate_Storage_Size(p.image, p.dithering, target.compress_images, target.compression_format);
        if (target.thumbnailIdx >= 0) {
            p.thumbnail = makeThumbnail(p.image, target.thumbnailSize);
            p.thumbnailEstimate = encoder.Estimate_Storage_Size(p.thumbnail, p.dithering, target.compress_images,
                                                                target.compression_format);
            p.thumbnailDithering = Default_Dithering(target.thumbnailCompressionFormat);
            const bool sameSettings = target.thumbnailCompressImages == target.compress_images
                && target.thumbnailCompressionFormat == target.compression_format;
            p.thumbnailCellSize = sameSettings
                ? p.thumbnailEstimate
                : encoder.Estimate_Storage_Size(p.thumbnail, p.thumbnailDithering, target.thumbnailCompressImages,
                                                target.thumbnailCompressionFormat);
            p.thumbnailPng = pngOf(p.thumbnail);
        }
        p.png = pngOf(p.image);
    } catch (const std::exception& error) {
        // A handle whose storage settings the encoder refuses cannot take the
        // picture; the file is reported, and nothing is added.
        TPreparedImage refused;
        refused.path = path;
        refused.name = p.name;
        refused.reason = QString::fromUtf8(error.what());
        refused.fileSize = p.fileSize;
        return refused;
    }
    p.status = kImageAddedSuccessfully;
    return p;
}

TCell_object& Add_Cell(THandle_object& handle, const QImage& bitmap, const QByteArray& png, const QString& name,
                       qint64 fileSize, int imageSize, const TDithering_Params& dithering)
{
    auto cell = std::make_unique<TCell_object>();
    cell->name = name;
    cell->fmxbmp = bitmap;
    // The display copy shares the decoded pixels: neither is ever painted on.
    cell->bmp = bitmap;
    cell->dithering = dithering;
    cell->width = bitmap.width();
    cell->height = bitmap.height();
    cell->fileSize = clampedFileSize(fileSize);
    cell->imageSize = imageSize;
    cell->included = true;
    cell->imgFileData = png;
    TCell_object& added = handle.appendCell(std::move(cell));
    handle.memory_usage = int32_t(Handle_Storage_Bytes(handle));
    return added;
}

TImportResult applyImport(THandleList& list, const TImportTarget& target, TPreparedImage&& prepared)
{
    TImportResult result;
    THandle_object& handle = *list.at(size_t(target.handleIdx));
    if (handle.cells.size() > size_t(kMaxImagesPerHandle - 1)) {
        result.status = kImageListFull;
        return result;
    }
    if (prepared.status != kImageAddedSuccessfully) {
        result.status = prepared.status;
        return result;
    }
    const qint64 needed = qint64(prepared.estimate) + qint64(prepared.thumbnailEstimate);
    if (needed >= projectStorageFree(list)) {
        result.status = kNotEnoughFreeStorageMemory;
        return result;
    }
    result.cell = &Add_Cell(handle, prepared.image, prepared.png, prepared.name, prepared.fileSize, prepared.estimate,
                            prepared.dithering);
    if (target.thumbnailIdx >= 0) {
        THandle_object& thumbs = *list.at(size_t(target.thumbnailIdx));
        result.thumbnail = &Add_Cell(thumbs, prepared.thumbnail, prepared.thumbnailPng, prepared.name,
                                     prepared.fileSize, prepared.thumbnailCellSize, prepared.thumbnailDithering);
    }
    prepared = TPreparedImage{};
    result.status = kImageAddedSuccessfully;
    return result;
}

TImportResult Import_Image_File(THandleList& list, int handleIdx, const QString& path)
{
    const TImportTarget target = TImportTarget::of(list, handleIdx);
    // A full list refuses the file before it is read.
    if (list.at(size_t(handleIdx))->cells.size() > size_t(kMaxImagesPerHandle - 1))
        return {kImageListFull, nullptr, nullptr};
    return applyImport(list, target, prepareImport(path, target));
}
