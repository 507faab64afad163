#include "core/model/ProjectModel.h"

#include "core/model/PixelFormatTable.h"

#include <algorithm>
#include <atomic>

namespace {
struct HandleDefaults {
    int32_t id;
    const char* name;
    int32_t width;
    int32_t height;
    bool compress_images;
    bool raw_jpg_enabled;
    int32_t compression_format;
};

constexpr HandleDefaults kDefaultHandles[kHandleCount] = {
    {1, "BACKGROUNDS", 480, 272, false, true, 7},   {2, "LOGOS", 125, 85, true, false, 6},
    {3, "INFO_SCREENS", 480, 272, false, true, 7},  {4, "BG_THUMBNAILS", 90, 51, false, true, 7},
    {5, "LOGO_THUMBNAILS", 90, 61, true, false, 6},
};
} // namespace

uint64_t nextPictureId()
{
    // Pictures are made on worker threads too (an import prepares them).
    static std::atomic<uint64_t> last{0};
    return ++last;
}

void createDefaultHandles(THandleList& list)
{
    list.clear();
    for (const HandleDefaults& d : kDefaultHandles) {
        auto h = std::make_unique<THandle_object>();
        h->id = d.id;
        h->name = QString::fromLatin1(d.name);
        h->width = d.width;
        h->height = d.height;
        h->compress_images = d.compress_images;
        h->raw_jpg_enabled = d.raw_jpg_enabled;
        h->compression_format = d.compression_format;
        list.push_back(std::move(h));
    }
}

TCell_object& THandle_object::appendCell(std::unique_ptr<TCell_object> cell)
{
    cell->pHandle = this;
    cell->handle_id = id;
    cells.push_back(std::move(cell));
    return *cells.back();
}

std::unique_ptr<THandle_object> THandle_object::clone() const
{
    auto copy = std::make_unique<THandle_object>();
    static_cast<THandleSettings&>(*copy) = *this;
    for (const auto& c : cells)
        copy->appendCell(std::make_unique<TCell_object>(*c)).handle_id = c->handle_id;
    return copy;
}

int thumbnailHandleIndex(int handleIdx)
{
    switch (handleIdx) {
    case kBackgroundsIdx: return kBgThumbnailsIdx;
    case kLogosIdx: return kLogoThumbnailsIdx;
    default: return -1;
    }
}

int64_t Image_Row_Bytes(int format, int width, bool compress_images, int jpg_display_format)
{
    return pixelRowBytes(storedPixelFormat(compress_images, format, jpg_display_format), width);
}

int64_t Handle_Pixel_Bytes(const THandle_object& handle)
{
    int64_t total = 0;
    const int64_t perImage
        = Image_Row_Bytes(handle.compression_format, handle.width, handle.compress_images, handle.jpg_display_format)
        * std::max(handle.height, 0);
    for (const auto& cell : handle.cells)
        if (cell->included)
            total += perImage;
    return total;
}

int64_t Handle_Storage_Bytes(const THandle_object& handle)
{
    int64_t total = 0;
    for (const auto& cell : handle.cells)
        if (cell->included)
            total += cell->imageSize;
    return total;
}

int64_t projectStorageUsed(const THandleList& list)
{
    int64_t total = 0;
    for (const auto& h : list)
        total += h->memory_usage;
    return total;
}

int64_t projectStorageFree(const THandleList& list)
{
    return kImageStoreBytes - projectStorageUsed(list);
}
