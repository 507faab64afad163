#pragma once
// How one image is stored in the controller: converted, packed and
// compressed, or encoded as JPEG. The encoder owns the working buffers (level
// buffer, packed buffer, JPEG buffer) and reuses them from image to image;
// packing reads the levels of the encoder's last conversion.

#include "core/imaging/BmpConverter.h"
#include "core/imaging/PixelPacker.h"
#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QImage>

class DeviceImageEncoder {
public:
    QImage Convert_Bitmap(const TDithering_Params& params, const QImage& source, int format, bool want_preview)
    {
        return m_converter.Convert_Bitmap(params, source, format, want_preview);
    }
    const BmpConverter& converter() const { return m_converter; }

    // Packs the last conversion's levels; width and height are those of the
    // converted bitmap.
    void Pack_Image_Data(int width, int height, int format);
    const std::vector<uint8_t>& packedData() const { return m_packer.packed(); }

    int Write_Compressed_Data(QByteArray& stream) { return m_packer.writeCompressed(stream); }
    int Compressed_Data_Size() { return m_packer.compressedSize(); }

    // Quality 90. Throws ImagingError when the encoder fails.
    void Encode_Jpeg(const QImage& bitmap);
    int Write_Jpeg_Data(QByteArray& stream);
    int Jpeg_Data_Size() const { return int(m_jpeg.size()); }
    const QByteArray& jpegData() const { return m_jpeg; }

    // Stored size of a bitmap under the given storage settings.
    int Estimate_Storage_Size(const QImage& bitmap, const TDithering_Params& params, bool compress_images, int format);

    // Stored size of the cell's image with its own dithering and its handle's
    // storage settings. A cell without a handle or without a picture throws.
    int Cell_Storage_Size(const TCell_object& cell);

    // Appends the stored bytes of a picture (as Build_Image_Data sends them)
    // under the handle's settings and the image's dithering; returns their count.
    int writeImageData(const QImage& bitmap, const TDithering_Params& params, const THandle_object& handle,
                       QByteArray& stream);

private:
    BmpConverter m_converter;
    PixelPacker m_packer;
    QByteArray m_jpeg;
};

// The same operations, each on an encoder of its own: nothing is left behind
// for a later call to pick up, so they are safe from any thread. Code that
// converts and then packs keeps a DeviceImageEncoder of its own.
QImage Convert_Bitmap(const TDithering_Params& params, const QImage& source, int format, bool want_preview);
int Estimate_Storage_Size(const QImage& bitmap, const TDithering_Params& params, bool compress_images, int format);
int Cell_Storage_Size(const TCell_object& cell);
