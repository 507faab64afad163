#include "ui/app/ProjectImageDecoding.h"

#include "core/imaging/ImageDecoding.h"

QStringList Decode_Project_Images(THandle_List& list)
{
    QStringList failed;
    for (const auto& handle : list) {
        for (const auto& cell : handle->cells) {
            const QImage decoded = Load_Bitmap_From_Stream(cell->imgFileData);
            if (decoded.isNull()) {
                cell->fmxbmp = QImage();
                cell->bmp = QImage();
                failed << handle->name + QStringLiteral("->") + cell->name;
                continue;
            }
            cell->fmxbmp = decoded;
            cell->bmp = decoded;
        }
    }
    return failed;
}
