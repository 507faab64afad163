#pragma once
// The project file (".cvp", older ".bdp"): the configuration record and the
// five handles with every image as its encoded picture.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"
#include "core/storage/ProjectFileError.h"

#include <QByteArray>
#include <QString>

class QIODevice;

inline constexpr uint32_t kProjectFileVersion = 1;
inline constexpr uint32_t kHandleSectionVersion = 4;

// Writes through a temporary file renamed over the old one, so a failed or
// interrupted save leaves the previous file as it was. Throws ProjectFileError.
void Save_Project_File(const QString& path, const TDevice_Config_v2& rec, const THandleList& list);

// The bytes of the project file, written to a device / into memory; what
// Save_Project_File stores.
void writeProject(QIODevice& device, const TDevice_Config_v2& rec, const THandleList& list);
QByteArray projectFileBytes(const TDevice_Config_v2& rec, const THandleList& list);

// Returns false for a layout this reader does not accept (file, configuration
// or handle-section version). Throws ProjectFileError when the file cannot be
// opened, ends early or holds an impossible length or count. On false or a
// throw, rec and list are left exactly as they were; on success rec is
// replaced (its last byte kept for a version 2 record) and the handles are
// appended to list.
bool Load_Project_File(const QString& path, TDevice_Config_v2& rec, THandleList& list);

// The same, from bytes already in memory (used by the file variant and tests).
bool loadProjectBytes(const uint8_t* data, qint64 size, TDevice_Config_v2& rec, THandleList& list);
