#include "core/protocol/DeviceIdentity.h"

#include "core/protocol/BLcomms.h"

bool GetAppInfo(TVrexComms& comms, uint16_t& appPartNo, uint16_t& appVersion, uint16_t& blPartNo, uint16_t& blVersion,
                bool* badReply)
{
    uint8_t reply[8] = {};
    bool copied = false;
    const int result = BL_ReadBlock(comms, BL::kCmdIdentify, BL::kAccessConstant, nullptr, 0, reply, 0, 8, 30, &copied);
    if (badReply)
        *badReply = result == BL::kAccepted && !copied;
    if (result != BL::kAccepted || !copied) {
        appPartNo = appVersion = blPartNo = blVersion = 0;
        return false;
    }
    auto word = [&](int i) { return static_cast<uint16_t>(reply[2 * i] << 8 | reply[2 * i + 1]); };
    appPartNo = word(0);
    appVersion = word(1);
    blPartNo = word(2);
    blVersion = word(3);
    return true;
}

int Model_Index(uint16_t partNo)
{
    for (std::size_t i = 0; i < RC_Model_Table.size(); ++i) {
        if (RC_Model_Table[i].appPartNo == partNo || RC_Model_Table[i].blPartNo == partNo)
            return static_cast<int>(i);
    }
    return -1;
}

int FW_Compat_Index(uint16_t fwVersion)
{
    const TfwCompatList& table = FW_Compat_Table[0];
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].fwVersion == fwVersion)
            return static_cast<int>(i);
    }
    return -1;
}

bool isBootLoaderPart(uint16_t partNo)
{
    for (const TrcModel& m : RC_Model_Table) {
        if (m.blPartNo == partNo)
            return true;
    }
    return false;
}

QString firmwareVersionText(uint16_t partNo, uint16_t fwVersion)
{
    return QString::asprintf("Firmware: %.4d v%.1d.%.2d", partNo, fwVersion / 100, fwVersion % 100);
}

QString modelName(int modelIndex)
{
    switch (modelIndex) {
    case 0: return QStringLiteral("first model");
    case 1: return QStringLiteral("RTC model");
    default: return QStringLiteral("unknown");
    }
}

TConnectVerdict connectVerdict(uint16_t partNo, uint16_t fwVersion, int purpose)
{
    const int model = Model_Index(partNo);
    if (model < 0)
        return TConnectVerdict::NotCompatible;
    if (RC_Model_Table[std::size_t(model)].appPartNo != partNo)
        return purpose == kPurposeFirmwareUpgrade ? TConnectVerdict::Yes : TConnectVerdict::NeedsApplicationFirmware;
    const int v = FW_Compat_Index(fwVersion);
    if (v < 0)
        return TConnectVerdict::NotCompatible;
    if (purpose != kPurposeUpload)
        return TConnectVerdict::Yes;
    const TfwCompat& entry = FW_Compat_Table[std::size_t(model)][std::size_t(v)];
    return entry.cfgFormat == kUploadCfgFormat && entry.dataFormat == kUploadDataFormat
        ? TConnectVerdict::Yes
        : TConnectVerdict::NeedsFirmwareUpgrade;
}

QString connectVerdictText(TConnectVerdict verdict)
{
    switch (verdict) {
    case TConnectVerdict::Yes: return QStringLiteral("yes");
    case TConnectVerdict::NeedsApplicationFirmware: return QStringLiteral("needs application firmware");
    case TConnectVerdict::NeedsFirmwareUpgrade: return QStringLiteral("needs firmware upgrade");
    case TConnectVerdict::NotCompatible: break;
    }
    return QStringLiteral("no (firmware version unknown to this program)");
}
