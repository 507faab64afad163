#include "core/document/TProjectState.h"

#include <cstring>

THandleList copyImagesToEdit(const THandleList& list)
{
    THandleList copy;
    copy.reserve(list.size());
    for (const auto& handle : list)
        copy.push_back(handle->clone());
    return copy;
}

std::shared_ptr<const THandleList> copyImages(const THandleList& list)
{
    return std::make_shared<const THandleList>(copyImagesToEdit(list));
}

bool sameRecordBytes(const TDevice_Config_v2& a, const TDevice_Config_v2& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

namespace {
// Copies share their bytes; only where they do not is the content compared.
bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}
} // namespace

bool sameCell(const TCell_object& a, const TCell_object& b)
{
    return a.name == b.name && a.image_file_path == b.image_file_path && a.dithering == b.dithering
        && a.handle_id == b.handle_id && a.fileSize == b.fileSize && a.imageSize == b.imageSize
        && a.included == b.included && sameBytes(a.imgFileData, b.imgFileData);
}

bool sameHandle(const THandle_object& x, const THandle_object& y)
{
    if (static_cast<const THandleSettings&>(x) != static_cast<const THandleSettings&>(y)
        || x.cells.size() != y.cells.size())
        return false;
    for (size_t c = 0; c < x.cells.size(); ++c)
        if (!sameCell(*x.cells[c], *y.cells[c]))
            return false;
    return true;
}

bool sameImages(const THandleList& a, const THandleList& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameHandle(*a[i], *b[i]))
            return false;
    return true;
}
