#include "FuzzTargets.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PictureLimit.h"
#include "core/imaging/PixelFormat.h"

QString fuzzPicture(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto formats = pixelFormats();
    const int format = formats[size % formats.size()].code;
    QStringList outcome;
    try {
        // preview: any codec, a pixel budget.
        const LoadedPicture preview = loadPicture(bytes, PictureLimit::forPreview(), true);
        if (preview.status == PictureStatus::Loaded) {
            DeviceImageEncoder encoder;
            encoder.Convert_Bitmap(Default_Dithering(format), preview.image, format, true);
            encoder.Pack_Image_Data(preview.image.width(), preview.image.height(), format);
            outcome << QStringLiteral("preview %1 bytes").arg(encoder.Compressed_Data_Size());
        } else {
            outcome << QStringLiteral("preview refused: ") + preview.error;
        }
        // import: the four formats, no side beyond the largest group.
        THandleList list;
        createDefaultHandles(list);
        const LoadedPicture import = loadPicture(bytes, PictureLimit::forImport(list));
        if (import.status == PictureStatus::Loaded) {
            for (const auto& handle : list) {
                if (import.image.size() != QSize(handle->width, handle->height))
                    continue;
                outcome << QStringLiteral("import %1 bytes")
                               .arg(Estimate_Storage_Size(import.image, Default_Dithering(handle->compression_format),
                                                          handle->compress_images, handle->compression_format));
                break;
            }
        } else {
            outcome << QStringLiteral("import refused: ") + import.error;
        }
    } catch (const ImagingError& e) {
        outcome << QStringLiteral("refused: ") + e.message();
    }
    return outcome.join(QStringLiteral("; "));
}
