#pragma once
// The virtual controller as the tests start it: on a pseudo-terminal of its
// own, with the options a test gives, and the controller block a record
// becomes on it. Settings every test run shares belong here, so that no
// test starts a controller some other way.

#include "core/model/DeviceConfigRecords.h"
#include "sim/lib/VirtualController.h"

#include <QByteArray>
#include <QString>

#include <memory>

// Null when it could not start; *error then says why.
std::unique_ptr<VirtualController> startVirtualController(const SimOptions& options = {}, QString* error = nullptr);

// The 1408-byte block an upload of the record writes, with fresh check bytes.
QByteArray controllerBlock(TDevice_Config_v2 record);
