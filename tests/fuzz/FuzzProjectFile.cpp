#include "FuzzTargets.h"

#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/ImagingError.h"
#include "core/storage/DiskIO.h"

QString fuzzProjectFile(const uint8_t* data, size_t size)
{
    TDevice_Config_v2 rec{};
    THandleList list;
    try {
        if (!loadProjectBytes(data, qint64(size), rec, list))
            return QStringLiteral("refused: layout not accepted");
    } catch (const ProjectFileError& e) {
        return QStringLiteral("refused: ") + e.message();
    }
    // What info and image-block compute from the handles.
    int64_t pixelBytes = 0;
    for (const auto& handle : list)
        pixelBytes += Handle_Pixel_Bytes(*handle) + Handle_Storage_Bytes(*handle);
    QByteArray block;
    try {
        Build_Image_Data(block, list);
    } catch (const ImagingError& e) {
        return QStringLiteral("read; block refused: ") + e.message();
    }
    return QStringLiteral("accepted: block of %1 bytes (%2)").arg(block.size()).arg(pixelBytes);
}
