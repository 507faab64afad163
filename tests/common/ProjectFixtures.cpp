#include "ProjectFixtures.h"

#include "core/imaging/PixelFormat.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <memory>

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage gradientPicture(int width, int height, int seed)
{
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 5 + seed * 3) & 255, (x + y + seed) & 255));
    return img;
}

QImage noisePicture(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return img;
}

namespace {

TCell_object& append(THandle_object& handle, std::unique_ptr<TCell_object> cell)
{
    cell->dithering = Default_Dithering(handle.compression_format);
    return handle.appendCell(std::move(cell));
}

} // namespace

TCell_object& addFixtureImage(THandle_object& handle, const QString& name, const QImage& picture, TFixtureImage form)
{
    auto cell = std::make_unique<TCell_object>();
    cell->name = name;
    cell->width = picture.width();
    cell->height = picture.height();
    if (form == TFixtureImage::Decoded) {
        cell->fmxbmp = picture;
        cell->bmp = picture;
    } else {
        cell->imgFileData = pngBytes(picture);
        cell->fileSize = int32_t(cell->imgFileData.size());
    }
    return append(handle, std::move(cell));
}

TCell_object& addFixtureImage(THandle_object& handle, const QString& name, const QByteArray& fileBytes)
{
    auto cell = std::make_unique<TCell_object>();
    cell->name = name;
    cell->width = handle.width;
    cell->height = handle.height;
    cell->imgFileData = fileBytes;
    cell->fileSize = int32_t(fileBytes.size());
    return append(handle, std::move(cell));
}
