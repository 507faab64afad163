#include "core/imaging/ImageDataBlock.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"
#include "core/messaging/UntrustedText.h"

#include <QSemaphore>
#include <QStringList>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <exception>

namespace {

template <typename Rec> void appendRecord(QByteArray& stream, const Rec& rec)
{
    stream.append(reinterpret_cast<const char*>(&rec), qsizetype(sizeof(Rec)));
}

void checkCellSize(const TCell_object& cell, const THandle_object& handle, const QImage& bitmap)
{
    // The header tells the controller the handle's size; an image of another
    // size would be read with the wrong row length.
    if (bitmap.width() != handle.width || bitmap.height() != handle.height)
        throw ImagingError(
            QStringLiteral("The image %1 in %2 is %3 x %4 pixels, but the group holds %5 x %6 pixel images.")
                .arg(untrustedText(cell.name), untrustedText(handle.name))
                .arg(bitmap.width())
                .arg(bitmap.height())
                .arg(handle.width)
                .arg(handle.height));
}

// Width, height and row size go into 16-bit header fields; a value that does
// not fit would be cut and the controller would read the images wrongly.
void checkHeaderFields(const THandle_object& handle)
{
    const int64_t rowBytes
        = Image_Row_Bytes(handle.compression_format, handle.width, handle.compress_images, handle.jpg_display_format);
    const struct {
        const char* what;
        int64_t value;
    } fields[] = {{"width", handle.width}, {"height", handle.height}, {"row size", rowBytes}};
    for (const auto& field : fields)
        if (field.value < 0 || field.value > 0xFFFF)
            throw ImagingError(QStringLiteral("The image group %1 has a %2 of %3, which does not fit the 16-bit field "
                                              "of the image data block (0 to 65535).")
                                   .arg(untrustedText(handle.name), QLatin1String(field.what))
                                   .arg(field.value));
}

// The block is written from the image store's base; a block larger than the
// store would run past it. Names the groups that take the most room, since
// those are where images have to go.
void checkBlockFitsStore(qint64 blockSize, const std::vector<TImageBlockLayout::Handle>& handles,
                         const THandleList& list)
{
    if (blockSize <= kImageStoreBytes)
        return;
    struct GroupBytes {
        QString name;
        qint64 bytes;
        size_t images;
    };
    std::vector<GroupBytes> groups;
    for (const auto& h : handles) {
        qint64 bytes = 0;
        for (const auto& image : h.images)
            bytes += image.offset.size;
        if (bytes > 0)
            groups.push_back({list[size_t(h.position)]->name, bytes, h.images.size()});
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const GroupBytes& a, const GroupBytes& b) { return a.bytes > b.bytes; });
    QStringList largest;
    for (size_t i = 0; i < groups.size() && i < 3; ++i)
        largest << QStringLiteral("%1 %2 bytes in %3 images")
                       .arg(untrustedText(groups[i].name))
                       .arg(groups[i].bytes)
                       .arg(groups[i].images);
    throw ImagingError(QStringLiteral("The image data block would be %1 bytes, but the controller's image store holds "
                                      "%2 bytes. Largest image groups: %3.")
                           .arg(blockSize)
                           .arg(kImageStoreBytes)
                           .arg(largest.join(QStringLiteral(", "))));
}

} // namespace

int Included_Cell_Count(const THandle_object& handle)
{
    int count = 0;
    for (const auto& cell : handle.cells)
        if (cell->included)
            ++count;
    return count;
}

THandleHeader_Rec handleHeader(const THandle_object& handle, uint32_t first_offset_address)
{
    THandleHeader_Rec h;
    h.storageKind = handle.compress_images ? 0 : 1;
    h.jpg_display_format = uint8_t(handle.jpg_display_format);
    h.pixelFormat
        = uint8_t(storedPixelFormat(handle.compress_images, handle.compression_format, handle.jpg_display_format));
    h.width = uint16_t(handle.width);
    h.height = uint16_t(handle.height);
    h.rowBytes = uint16_t(
        Image_Row_Bytes(handle.compression_format, handle.width, handle.compress_images, handle.jpg_display_format));
    h.first_offset_address = first_offset_address;
    h.imageCount = uint8_t(Included_Cell_Count(handle));
    h.display_filter = uint8_t(handle.display_filter);
    return h;
}

void Write_Handle_Header(QByteArray& stream, const THandle_object& handle, uint32_t first_offset_address)
{
    appendRecord(stream, handleHeader(handle, first_offset_address));
}

void checkStorageSettings(const THandleList& list)
{
    for (const auto& handle : list) {
        if (!handle->included)
            continue;
        if (handle->compress_images && !isPixelFormat(handle->compression_format))
            throw ImagingError(
                QStringLiteral("The image group %1 uses pixel format %2, which the controller does not know.")
                    .arg(untrustedText(handle->name))
                    .arg(handle->compression_format));
        checkHeaderFields(*handle);
        // The header has one byte for the count.
        if (Included_Cell_Count(*handle) > 255)
            throw ImagingError(QStringLiteral("The image group %1 has %2 images; the controller takes at most 255.")
                                   .arg(untrustedText(handle->name))
                                   .arg(Included_Cell_Count(*handle)));
    }
}

namespace {

// One included image of the block, in block order.
struct BlockImage {
    const THandle_object* handle;
    const TCell_object* cell;
};

// What one image became: its stored bytes, or why it cannot be stored.
struct StoredImage {
    QByteArray bytes;
    qint64 size = 0;
    std::exception_ptr error;
};

// total counts the bytes of the block's images stored so far, in any order.
// Once it passes the store's size the block will be refused whatever the
// rest holds; from then on only the sizes are kept, to name the full size,
// so a project far too large is not held in memory whole.
StoredImage storeImage(const BlockImage& image, DeviceImageEncoder& encoder, std::atomic<qint64>& total)
{
    StoredImage stored;
    try {
        const QImage bitmap = cellSourceBitmap(*image.cell);
        checkCellSize(*image.cell, *image.handle, bitmap);
        try {
            stored.size = encoder.writeImageData(bitmap, image.cell->dithering, *image.handle, stored.bytes);
            if (total.fetch_add(stored.size) + stored.size > kImageStoreBytes)
                stored.bytes = QByteArray();
        } catch (const ImagingError& e) {
            // The encoder's own message does not say which image it was.
            throw ImagingError(
                QStringLiteral("The image %1 in %2 cannot be stored. %3")
                    .arg(untrustedText(image.cell->name), untrustedText(image.handle->name), e.message()));
        }
    } catch (...) {
        // Thrown on the caller's thread once every image is done.
        stored.bytes.clear();
        stored.error = std::current_exception();
    }
    return stored;
}

std::vector<BlockImage> blockImages(const THandleList& list)
{
    std::vector<BlockImage> images;
    for (const auto& handle : list) {
        if (!handle->included)
            continue;
        for (const auto& cell : handle->cells)
            if (cell->included)
                images.push_back({handle.get(), cell.get()});
    }
    return images;
}

// Lays the stored images out after the headers and offset records. The
// images were stored independently; here they are put in block order, and the
// first failure in that order is the one reported, as if they had been stored
// one after another.
void assembleBlock(QByteArray& stream, const THandleList& list, std::vector<StoredImage>& stored,
                   TImageBlockLayout* layout)
{
    uint32_t handleCount = 0;
    for (const auto& handle : list)
        if (handle->included)
            ++handleCount;
    const uint32_t offsetsAddress = kImageStoreBase + 28 * handleCount;
    const uint32_t dataAddress = offsetsAddress + 8 * uint32_t(stored.size());

    for (const StoredImage& image : stored)
        if (image.error)
            std::rethrow_exception(image.error);

    QByteArray headers;
    QByteArray offsets;
    qint64 dataBytes = 0;
    TImageBlockLayout built;
    built.dataAddress = dataAddress;

    size_t next = 0;
    for (size_t position = 0; position < list.size(); ++position) {
        const THandle_object& handle = *list[position];
        if (!handle.included)
            continue;
        const uint32_t firstOffset = offsetsAddress + uint32_t(offsets.size());
        TImageBlockLayout::Handle entry;
        entry.position = int(position);
        for (const auto& cell : handle.cells) {
            if (!cell->included)
                continue;
            TDataOffset_Rec rec;
            rec.pos = uint32_t(dataAddress + dataBytes);
            rec.size = uint32_t(stored[next++].size);
            dataBytes += rec.size;
            appendRecord(offsets, rec);
            entry.images.push_back({cell->name, rec});
        }
        entry.header = handleHeader(handle, firstOffset);
        appendRecord(headers, entry.header);
        built.handles.push_back(std::move(entry));
    }

    checkBlockFitsStore(headers.size() + offsets.size() + dataBytes, built.handles, list);
    headers.reserve(headers.size() + offsets.size() + dataBytes);
    headers.append(offsets);
    for (StoredImage& image : stored) {
        headers.append(image.bytes);
        image.bytes = QByteArray();
    }
    built.blockSize = headers.size();
    stream.append(headers);
    if (layout)
        *layout = std::move(built);
}

} // namespace

void Build_Image_Data(QByteArray& stream, const THandleList& list, TImageBlockLayout* layout)
{
    checkStorageSettings(list);
    const std::vector<BlockImage> images = blockImages(list);
    // The images are independent, so each is converted, packed and
    // compressed on whichever core is free; every task has an encoder of its
    // own, as an encoder's buffers hold one image at a time.
    std::vector<StoredImage> stored(images.size());
    QThreadPool* pool = QThreadPool::globalInstance();
    std::atomic<size_t> next{0};
    std::atomic<qint64> total{0};
    auto work = [&] {
        DeviceImageEncoder encoder;
        for (size_t i = next++; i < images.size(); i = next++)
            stored[i] = storeImage(images[i], encoder, total);
    };
    // The calling thread works too; helpers join only if the pool has room,
    // so a build started from a pool thread cannot wait on itself.
    const int helpers = int(std::min<size_t>(images.size(), size_t(std::max(1, QThread::idealThreadCount())))) - 1;
    QSemaphore done;
    int started = 0;
    for (int i = 0; i < helpers; ++i) {
        if (!pool->tryStart([&] {
                work();
                done.release();
            }))
            break;
        ++started;
    }
    work();
    done.acquire(started);
    assembleBlock(stream, list, stored, layout);
}

void Build_Image_Data(QByteArray& stream, const THandleList& list, DeviceImageEncoder& encoder,
                      TImageBlockLayout* layout)
{
    checkStorageSettings(list);
    const std::vector<BlockImage> images = blockImages(list);
    std::vector<StoredImage> stored;
    stored.reserve(images.size());
    std::atomic<qint64> total{0};
    for (const BlockImage& image : images) {
        stored.push_back(storeImage(image, encoder, total));
        // Later images cannot change the outcome once one has failed.
        if (stored.back().error)
            std::rethrow_exception(stored.back().error);
    }
    assembleBlock(stream, list, stored, layout);
}
