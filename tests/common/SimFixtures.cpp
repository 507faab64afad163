#include "SimFixtures.h"

#include "core/model/DeviceConfig.h"

std::unique_ptr<VirtualController> startVirtualController(const SimOptions& options, QString* error)
{
    auto sim = std::make_unique<VirtualController>(options);
    QString why;
    if (!sim->start(&why)) {
        if (error)
            *error = why;
        return nullptr;
    }
    return sim;
}

QByteArray controllerBlock(TDevice_Config_v2 record)
{
    const TDeviceConfiguration block = buildUploadBlock(record);
    return QByteArray(reinterpret_cast<const char*>(&block), sizeof block);
}
