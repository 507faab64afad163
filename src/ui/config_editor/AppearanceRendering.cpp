#include "ui/config_editor/AppearanceRendering.h"

#include "core/imaging/BmpConverter.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"

#include <array>
#include <cstdint>

namespace {
constexpr QSize kScreenSize(480, 272);
constexpr QSize kLogoSize(125, 85);

QImage blank(int handle_index)
{
    QImage image(blankPreviewSize(handle_index), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

std::array<uint8_t, 256> levelTable(int level)
{
    std::array<uint8_t, 256> table{};
    const int l = qBound(0, level, 255);
    for (int v = 0; v < 256; ++v)
        table[std::size_t(v)] = uint8_t(l * v / 255);
    return table;
}
} // namespace

QSize blankPreviewSize(int handle_index)
{
    return handle_index == kBackgroundsIdx ? kScreenSize : kLogoSize;
}

bool Render_Preview(const THandleList& list, BmpConverter& converter, int handle_index, int image_index, QImage& target,
                    QString* name)
{
    if (name)
        name->clear();
    if (handle_index < 0 || handle_index >= int(list.size()) || !list[std::size_t(handle_index)])
        return false;
    const THandle_object& handle = *list[std::size_t(handle_index)];
    if (image_index < 0 || image_index >= int(handle.cells.size())) {
        target = blank(handle_index);
        return image_index == kNoImageIndex;
    }
    const TCell_object& cell = *handle.cells[std::size_t(image_index)];
    try {
        const QImage source = cellSourceBitmap(cell);
        target = handle.compress_images
            ? converter.Convert_Bitmap(cell.dithering, source, handle.compression_format, true)
            : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } catch (const ImagingError&) {
        target = blank(handle_index);
        return false;
    }
    if (name)
        *name = cell.name;
    return true;
}

void tintPicture(const QImage& sourceIn, QImage& target, int blue_level, int green_level, int red_level)
{
    if (sourceIn.isNull()) {
        target = QImage();
        return;
    }
    const QImage source = sourceIn.format() == QImage::Format_ARGB32_Premultiplied
        ? sourceIn
        : sourceIn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // A target shared with another image would be copied on the first write;
    // a fresh one is cheaper.
    if (target.size() != source.size() || target.format() != QImage::Format_ARGB32_Premultiplied
        || !target.isDetached())
        target = QImage(source.size(), QImage::Format_ARGB32_Premultiplied);
    // One table per channel: the division happens 256 times, not once per pixel.
    const auto red = levelTable(red_level);
    const auto green = levelTable(green_level);
    const auto blue = levelTable(blue_level);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
        auto* out = reinterpret_cast<uint32_t*>(target.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const uint32_t p = in[x];
            out[x] = (p & 0xFF000000u) | (uint32_t(red[(p >> 16) & 0xFF]) << 16)
                | (uint32_t(green[(p >> 8) & 0xFF]) << 8) | uint32_t(blue[p & 0xFF]);
        }
    }
}
