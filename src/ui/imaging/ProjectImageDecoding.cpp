#include "ui/imaging/ProjectImageDecoding.h"

#include "core/imaging/ImageDecoding.h"

QStringList Decode_Project_Images(THandle_List& list)
{
    QStringList failed;
    for (const auto& handle : list) {
        for (const auto& cell : handle->cells) {
            if (!Restore_Cell_Bitmaps(*cell, nullptr)) {
                cell->fmxbmp = QImage();
                cell->bmp = QImage();
                failed << handle->name + QStringLiteral("->") + cell->name;
            }
        }
    }
    return failed;
}
