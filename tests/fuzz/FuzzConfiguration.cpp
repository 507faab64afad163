#include "FuzzTargets.h"

#include "core/model/DeviceConfig.h"
#include "core/model/Fletcher.h"

#include <algorithm>
#include <cstring>

QString fuzzConfiguration(const uint8_t* data, size_t size)
{
    TDeviceConfiguration block;
    std::memset(&block, 0, sizeof block);
    std::memcpy(block.raw_bytes, data, std::min(size, sizeof block.raw_bytes));
    // Random bytes almost never carry good check bytes; half the inputs get
    // fresh ones so that the conversion behind the check is reached too.
    if (size > sizeof block.raw_bytes && (data[sizeof block.raw_bytes] & 1)) {
        const size_t recordBytes = block.cfg_ver == 1 ? kConfigV1Size : kConfigV2Size;
        Fletcher_Check_Bytes(block.cfg_rec, 0, recordBytes - 2);
    }
    TDevice_Config_v2 dest;
    std::memset(&dest, 0, sizeof dest);
    if (!Validate_Device_Configuration(block, dest))
        return QStringLiteral("refused: version %1 or check bytes").arg(block.cfg_ver);
    const QString text = readServiceText(dest);
    writeServiceText(text, dest);
    const TDeviceConfiguration upload = buildUploadBlock(dest);
    return QStringLiteral("accepted: version %1, service text of %2 characters, upload version %3")
        .arg(block.cfg_ver)
        .arg(text.size())
        .arg(upload.cfg_ver);
}
