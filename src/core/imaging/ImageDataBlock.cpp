#include "core/imaging/ImageDataBlock.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"
#include "core/messaging/UntrustedText.h"

#include <QStringList>

#include <algorithm>

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
                .arg(Untrusted_Text(cell.name), Untrusted_Text(handle.name))
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
                                   .arg(Untrusted_Text(handle.name), QLatin1String(field.what))
                                   .arg(field.value));
}

// The block is written from the image store's base; a block larger than the
// store would run past it. Names the groups that take the most room, since
// those are where images have to go.
void checkBlockFitsStore(qint64 blockSize, const std::vector<TImage_Block_Layout::Handle>& handles,
                         const THandle_List& list)
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
                       .arg(Untrusted_Text(groups[i].name))
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

THandleHeader_Rec Handle_Header(const THandle_object& handle, uint32_t first_offset_address)
{
    THandleHeader_Rec h;
    h.storage_kind = handle.compress_images ? 0 : 1;
    h.jpg_display_format = uint8_t(handle.jpg_display_format);
    h.pixel_format
        = uint8_t(Stored_Pixel_Format(handle.compress_images, handle.compression_format, handle.jpg_display_format));
    h.width = uint16_t(handle.width);
    h.height = uint16_t(handle.height);
    h.row_bytes = uint16_t(
        Image_Row_Bytes(handle.compression_format, handle.width, handle.compress_images, handle.jpg_display_format));
    h.first_offset_address = first_offset_address;
    h.image_count = uint8_t(Included_Cell_Count(handle));
    h.display_filter = uint8_t(handle.display_filter);
    return h;
}

void Write_Handle_Header(QByteArray& stream, const THandle_object& handle, uint32_t first_offset_address)
{
    appendRecord(stream, Handle_Header(handle, first_offset_address));
}

void Check_Storage_Settings(const THandle_List& list)
{
    for (const auto& handle : list) {
        if (!handle->included)
            continue;
        if (handle->compress_images && !Is_Pixel_Format(handle->compression_format))
            throw ImagingError(
                QStringLiteral("The image group %1 uses pixel format %2, which the controller does not know.")
                    .arg(Untrusted_Text(handle->name))
                    .arg(handle->compression_format));
        checkHeaderFields(*handle);
        // The header has one byte for the count.
        if (Included_Cell_Count(*handle) > 255)
            throw ImagingError(QStringLiteral("The image group %1 has %2 images; the controller takes at most 255.")
                                   .arg(Untrusted_Text(handle->name))
                                   .arg(Included_Cell_Count(*handle)));
    }
}

void Build_Image_Data(QByteArray& stream, const THandle_List& list, TImage_Block_Layout* layout)
{
    DeviceImageEncoder encoder;
    Build_Image_Data(stream, list, encoder, layout);
}

void Build_Image_Data(QByteArray& stream, const THandle_List& list, DeviceImageEncoder& encoder,
                      TImage_Block_Layout* layout)
{
    Check_Storage_Settings(list);

    uint32_t handleCount = 0;
    uint32_t imageCount = 0;
    for (const auto& handle : list) {
        if (handle->included) {
            ++handleCount;
            imageCount += uint32_t(Included_Cell_Count(*handle));
        }
    }
    const uint32_t offsetsAddress = kImageStoreBase + 28 * handleCount;
    const uint32_t dataAddress = offsetsAddress + 8 * imageCount;

    QByteArray headers;
    QByteArray offsets;
    QByteArray data;
    // Once the data outgrow the store the block will be refused; the rest is
    // still encoded to name the full size, but its bytes are not kept.
    QByteArray overflow;
    qint64 dataBytes = 0;
    TImage_Block_Layout built;
    built.dataAddress = dataAddress;

    for (size_t position = 0; position < list.size(); ++position) {
        const THandle_object& handle = *list[position];
        if (!handle.included)
            continue;
        const uint32_t firstOffset = offsetsAddress + uint32_t(offsets.size());
        TImage_Block_Layout::Handle entry;
        entry.position = int(position);
        for (const auto& cell : handle.cells) {
            if (!cell->included)
                continue;
            const QImage bitmap = Cell_Source_Bitmap(*cell);
            checkCellSize(*cell, handle, bitmap);
            TDataOffset_Rec rec;
            rec.pos = uint32_t(dataAddress + dataBytes);
            QByteArray& target = dataBytes > kImageStoreBytes ? overflow : data;
            try {
                rec.size = uint32_t(encoder.Write_Image_Data(bitmap, cell->dithering, handle, target));
                dataBytes += rec.size;
                overflow.clear();
            } catch (const ImagingError& e) {
                // The encoder's own message does not say which image it was.
                throw ImagingError(QStringLiteral("The image %1 in %2 cannot be stored. %3")
                                       .arg(Untrusted_Text(cell->name), Untrusted_Text(handle.name), e.message()));
            }
            appendRecord(offsets, rec);
            entry.images.push_back({cell->name, rec});
        }
        entry.header = Handle_Header(handle, firstOffset);
        appendRecord(headers, entry.header);
        built.handles.push_back(std::move(entry));
    }

    checkBlockFitsStore(headers.size() + offsets.size() + dataBytes, built.handles, list);
    headers.append(offsets);
    headers.append(data);
    built.blockSize = headers.size();
    stream.append(headers);
    if (layout)
        *layout = std::move(built);
}
