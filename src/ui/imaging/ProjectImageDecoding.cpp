#include "ui/imaging/ProjectImageDecoding.h"

#include "core/imaging/ImageDecoding.h"

QStringList decodeProjectImages(THandleList& list)
{
    QStringList failed;
    for (const auto& handle : list) {
        for (const auto& cell : handle->cells) {
            if (!restoreCellBitmaps(*cell, nullptr)) {
                cell->fmxbmp = QImage();
                cell->bmp = QImage();
                failed << handle->name + QStringLiteral("->") + cell->name;
            }
        }
    }
    return failed;
}
