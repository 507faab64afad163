#include "core/protocol/DeviceIdentity.h"

#include "core/protocol/BLcomms.h"

bool GetAppInfo(TVrexComms& comms, uint16_t& app_part_no, uint16_t& app_version, uint16_t& bl_part_no,
                uint16_t& bl_version, bool* badReply)
{
    uint8_t reply[8] = {};
    bool copied = false;
    const int result = BL_ReadBlock(comms, BL::kCmdIdentify, BL::kAccessConstant, nullptr, 0, reply, 0, 8, 30, &copied);
    if (badReply)
        *badReply = result == BL::kAccepted && !copied;
    if (result != BL::kAccepted || !copied) {
        app_part_no = app_version = bl_part_no = bl_version = 0;
        return false;
    }
    auto word = [&](int i) { return static_cast<uint16_t>(reply[2 * i] << 8 | reply[2 * i + 1]); };
    app_part_no = word(0);
    app_version = word(1);
    bl_part_no = word(2);
    bl_version = word(3);
    return true;
}

int Model_Index(uint16_t part_no)
{
    for (std::size_t i = 0; i < RC_Model_Table.size(); ++i) {
        if (RC_Model_Table[i].app_part_no == part_no || RC_Model_Table[i].bl_part_no == part_no)
            return static_cast<int>(i);
    }
    return -1;
}

int FW_Compat_Index(uint16_t fw_version)
{
    const TFW_Compat_List& table = FW_Compat_Table[0];
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].fw_version == fw_version)
            return static_cast<int>(i);
    }
    return -1;
}

bool Is_Boot_Loader_Part(uint16_t part_no)
{
    for (const TRC_Model& m : RC_Model_Table) {
        if (m.bl_part_no == part_no)
            return true;
    }
    return false;
}

QString Firmware_Text(uint16_t part_no, uint16_t fw_version)
{
    return QString::asprintf("Firmware: %.4d v%.1d.%.2d", part_no, fw_version / 100, fw_version % 100);
}

QString Model_Name(int model_index)
{
    switch (model_index) {
    case 0: return QStringLiteral("first model");
    case 1: return QStringLiteral("RTC model");
    default: return QStringLiteral("unknown");
    }
}

TConnect_Verdict Connect_Verdict(uint16_t part_no, uint16_t fw_version, int purpose)
{
    const int model = Model_Index(part_no);
    if (model < 0)
        return TConnect_Verdict::Not_Compatible;
    if (RC_Model_Table[std::size_t(model)].app_part_no != part_no)
        return purpose == kPurposeFirmwareUpgrade ? TConnect_Verdict::Yes
                                                  : TConnect_Verdict::Needs_Application_Firmware;
    const int v = FW_Compat_Index(fw_version);
    if (v < 0)
        return TConnect_Verdict::Not_Compatible;
    if (purpose != kPurposeUpload)
        return TConnect_Verdict::Yes;
    const TFW_Compat& entry = FW_Compat_Table[std::size_t(model)][std::size_t(v)];
    return entry.cfg_format == kUploadCfgFormat && entry.data_format == kUploadDataFormat
        ? TConnect_Verdict::Yes
        : TConnect_Verdict::Needs_Firmware_Upgrade;
}

QString Connect_Verdict_Text(TConnect_Verdict verdict)
{
    switch (verdict) {
    case TConnect_Verdict::Yes: return QStringLiteral("yes");
    case TConnect_Verdict::Needs_Application_Firmware: return QStringLiteral("needs application firmware");
    case TConnect_Verdict::Needs_Firmware_Upgrade: return QStringLiteral("needs firmware upgrade");
    case TConnect_Verdict::Not_Compatible: break;
    }
    return QStringLiteral("no (firmware version unknown to this program)");
}
