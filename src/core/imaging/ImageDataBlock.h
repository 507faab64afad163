#pragma once
// The image data block: what an image upload writes into the controller's
// image store. Handle headers, then one offset record per image, then the
// images' stored bytes, every address absolute from the store's base.

#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QString>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "the block's records are written as they lie in memory, which must be little-endian");

inline constexpr uint32_t kImageStoreBase = 0x80000;

struct THandleHeader_Rec {
    uint8_t storageKind = 0; // 0 converted (zlib-compressed packed pixels), 1 JPEG
    uint8_t jpg_display_format = 0;
    uint8_t pixelFormat = 0;
    uint8_t pad0 = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t rowBytes = 0;
    uint16_t pad1 = 0;
    uint32_t reserved0 = 0;
    uint32_t first_offset_address = 0;
    uint32_t reserved1 = 0;
    uint8_t imageCount = 0;
    uint8_t display_filter = 0;
    uint16_t pad2 = 0;
};
static_assert(sizeof(THandleHeader_Rec) == 28);
static_assert(offsetof(THandleHeader_Rec, width) == 4);
static_assert(offsetof(THandleHeader_Rec, rowBytes) == 8);
static_assert(offsetof(THandleHeader_Rec, first_offset_address) == 16);
static_assert(offsetof(THandleHeader_Rec, imageCount) == 24);
static_assert(offsetof(THandleHeader_Rec, display_filter) == 25);

struct TDataOffset_Rec {
    uint32_t pos = 0;
    uint32_t size = 0;
};
static_assert(sizeof(TDataOffset_Rec) == 8);

// Where everything went in a block, for reports and checks.
struct TImageBlockLayout {
    struct Image {
        QString name;
        TDataOffset_Rec offset;
    };
    struct Handle {
        int position = 0; // index in the project's handle list
        THandleHeader_Rec header;
        std::vector<Image> images;
    };
    std::vector<Handle> handles; // included handles only, in block order
    uint32_t dataAddress = kImageStoreBase;
    qsizetype blockSize = 0;
};

class DeviceImageEncoder;

int Included_Cell_Count(const THandle_object& handle);

// The header a handle gets in the block.
THandleHeader_Rec handleHeader(const THandle_object& handle, uint32_t first_offset_address);

void Write_Handle_Header(QByteArray& stream, const THandle_object& handle, uint32_t first_offset_address);

// Throws ImagingError (naming the handle and the value) when an included
// handle stores converted images in a format the controller does not know,
// has a width, height or row size that does not fit its 16-bit header field,
// or more images than the header's count byte holds.
void checkStorageSettings(const THandleList& list);

// Appends the whole block for the project to the stream. On any failure (an
// unknown pixel format, a size that does not fit the header, an image without
// a picture or of the wrong size, an encoder or compressor error, a block
// larger than the controller's image store) it throws ImagingError and the
// stream is left exactly as it was, so nothing half-built can be uploaded.
// Every image is converted or encoded afresh. Without an encoder the images
// are stored on every core, each thread with an encoder of its own; with one,
// on the calling thread with that encoder. The bytes are the same either way.
void Build_Image_Data(QByteArray& stream, const THandleList& list, TImageBlockLayout* layout = nullptr);
void Build_Image_Data(QByteArray& stream, const THandleList& list, DeviceImageEncoder& encoder,
                      TImageBlockLayout* layout = nullptr);
