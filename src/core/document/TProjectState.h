#pragma once
// One state of the open project as a save would write it: the configuration
// record (with whatever the pages still hold written in) and the image
// groups. Undo steps keep two of these; an unchanged image list is shared
// between states, and the pictures inside it are shared with the project
// (Qt's implicit sharing), so a state costs little beyond its record.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <memory>

struct TProjectState {
    TDevice_Config_v2 record{};
    std::shared_ptr<const THandleList> images;
};

// A copy of the handles whose cells each belong to the copy.
std::shared_ptr<const THandleList> copyImages(const THandleList& list);
THandleList copyImagesToEdit(const THandleList& list);

bool sameRecordBytes(const TDevice_Config_v2& a, const TDevice_Config_v2& b);
// Compares what the project file holds of the handles and their images.
bool sameCell(const TCell_object& a, const TCell_object& b);
bool sameHandle(const THandle_object& a, const THandle_object& b);
bool sameImages(const THandleList& a, const THandleList& b);
