#include "core/imaging/DeviceImageEncoder.h"

#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/JpegCodec.h"
#include "core/imaging/PixelFormat.h"
#include "core/messaging/UntrustedText.h"

void DeviceImageEncoder::Pack_Image_Data(int width, int height, int format)
{
    m_packer.pack(m_converter.levels(), width, height, format);
}

void DeviceImageEncoder::Encode_Jpeg(const QImage& bitmap)
{
    QString error;
    if (!JpegCodec::encode(bitmap, JpegCodec::kQuality, m_jpeg, &error))
        throw ImagingError(error);
}

int DeviceImageEncoder::Write_Jpeg_Data(QByteArray& stream)
{
    stream.append(m_jpeg);
    return int(m_jpeg.size());
}

int DeviceImageEncoder::Estimate_Storage_Size(const QImage& bitmap, const TDithering_Params& params,
                                              bool compress_images, int format)
{
    if (compress_images) {
        Convert_Bitmap(params, bitmap, format, false);
        Pack_Image_Data(bitmap.width(), bitmap.height(), format);
        return Compressed_Data_Size();
    }
    Encode_Jpeg(bitmap);
    return Jpeg_Data_Size();
}

int DeviceImageEncoder::Cell_Storage_Size(const TCell_object& cell)
{
    if (!cell.pHandle)
        throw ImagingError(QStringLiteral("The image %1 belongs to no image group.").arg(untrustedText(cell.name)));
    const THandle_object& handle = *cell.pHandle;
    if (handle.compress_images && !isPixelFormat(handle.compression_format))
        throw ImagingError(
            QStringLiteral("The image group %1 uses pixel format %2, which the controller does not know.")
                .arg(untrustedText(handle.name))
                .arg(handle.compression_format));
    const QImage bitmap = cellSourceBitmap(cell);
    return Estimate_Storage_Size(bitmap, cell.dithering, handle.compress_images, handle.compression_format);
}

int DeviceImageEncoder::writeImageData(const QImage& bitmap, const TDithering_Params& params,
                                       const THandle_object& handle, QByteArray& stream)
{
    if (handle.compress_images) {
        Convert_Bitmap(params, bitmap, handle.compression_format, false);
        Pack_Image_Data(bitmap.width(), bitmap.height(), handle.compression_format);
        return Write_Compressed_Data(stream);
    }
    Encode_Jpeg(bitmap);
    return Write_Jpeg_Data(stream);
}

QImage Convert_Bitmap(const TDithering_Params& params, const QImage& source, int format, bool want_preview)
{
    return DeviceImageEncoder().Convert_Bitmap(params, source, format, want_preview);
}

int Estimate_Storage_Size(const QImage& bitmap, const TDithering_Params& params, bool compress_images, int format)
{
    return DeviceImageEncoder().Estimate_Storage_Size(bitmap, params, compress_images, format);
}

int Cell_Storage_Size(const TCell_object& cell)
{
    return DeviceImageEncoder().Cell_Storage_Size(cell);
}
