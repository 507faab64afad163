#include "core/document/TProjectState.h"

#include <cstring>

THandle_List Copy_Images_To_Edit(const THandle_List& list)
{
    THandle_List copy;
    copy.reserve(list.size());
    for (const auto& handle : list)
        copy.push_back(handle->Clone());
    return copy;
}

std::shared_ptr<const THandle_List> Copy_Images(const THandle_List& list)
{
    return std::make_shared<const THandle_List>(Copy_Images_To_Edit(list));
}

bool Same_Record_Bytes(const TDevice_Config_v2& a, const TDevice_Config_v2& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

namespace {
// Copies share their bytes; only where they do not is the content compared.
bool Same_Bytes(const QByteArray& a, const QByteArray& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}
} // namespace

bool Same_Cell(const TCell_object& a, const TCell_object& b)
{
    return a.name == b.name && a.image_file_path == b.image_file_path && a.dithering == b.dithering
        && a.handle_id == b.handle_id && a.fileSize == b.fileSize && a.imageSize == b.imageSize
        && a.included == b.included && Same_Bytes(a.imgFileData, b.imgFileData);
}

bool Same_Handle(const THandle_object& x, const THandle_object& y)
{
    if (static_cast<const THandle_settings&>(x) != static_cast<const THandle_settings&>(y)
        || x.cells.size() != y.cells.size())
        return false;
    for (size_t c = 0; c < x.cells.size(); ++c)
        if (!Same_Cell(*x.cells[c], *y.cells[c]))
            return false;
    return true;
}

bool Same_Images(const THandle_List& a, const THandle_List& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!Same_Handle(*a[i], *b[i]))
            return false;
    return true;
}
