#pragma once
// Turning the stored image bytes of an opened project back into pictures.

#include "core/model/ProjectModel.h"

#include <QStringList>

// Decodes every cell's imgFileData into its fmxbmp and bmp. A cell whose
// bytes cannot be decoded keeps its data and gets empty pictures; its
// "HANDLE->IMAGE" name is returned so the caller can report it.
QStringList decodeProjectImages(THandleList& list);
