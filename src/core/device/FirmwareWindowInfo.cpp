#include "core/device/FirmwareWindowInfo.h"

#include "core/device/DeviceIdentity.h"
#include "core/session/TSession.h"

QString Firmware_Label_Text(quint16 part_no, quint16 fw_version)
{
    return QStringLiteral("PN") + QString::asprintf("%.4d v%.1d.%.2d", part_no, fw_version / 100, fw_version % 100);
}

TFirmwareWindowInfo Prepare_Firmware_Window(TSession& session)
{
    TFirmwareWindowInfo info;
    info.model = Model_Index(session.RC_PartNo);
    if (info.model == 0) {
        info.model_info = QStringLiteral("Corvane (KTRA1)");
        session.PC_Cfg_PartNo = RC_Model_Table[0].app_part_no;
    } else if (info.model == 1) {
        info.model_info = QStringLiteral("Corvane-RTC (KTRA2)");
        session.PC_Cfg_PartNo = RC_Model_Table[1].app_part_no;
    }
    info.rc_fwver = Firmware_Label_Text(session.RC_PartNo, session.RC_FW_Ver);
    info.available_fwver = Firmware_Label_Text(session.PC_Cfg_PartNo, session.PC_Cfg_FW_Ver);
    return info;
}
