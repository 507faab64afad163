#include "core/device/FirmwareWindowInfo.h"

#include "core/device/TControllerLink.h"
#include "core/protocol/DeviceIdentity.h"

QString Firmware_Label_Text(quint16 part_no, quint16 fw_version)
{
    return QStringLiteral("PN") + QString::asprintf("%.4d v%.1d.%.2d", part_no, fw_version / 100, fw_version % 100);
}

TFirmwareWindowInfo Prepare_Firmware_Window(TControllerLink& link)
{
    TFirmwareWindowInfo info;
    info.model = Model_Index(link.RC_PartNo);
    if (info.model == 0) {
        info.model_info = QStringLiteral("Corvane (KTRA1)");
        link.PC_Cfg_PartNo = RC_Model_Table[0].app_part_no;
    } else if (info.model == 1) {
        info.model_info = QStringLiteral("Corvane-RTC (KTRA2)");
        link.PC_Cfg_PartNo = RC_Model_Table[1].app_part_no;
    }
    info.rc_fwver = Firmware_Label_Text(link.RC_PartNo, link.RC_FW_Ver);
    info.available_fwver = Firmware_Label_Text(link.PC_Cfg_PartNo, link.PC_Cfg_FW_Ver);
    return info;
}
