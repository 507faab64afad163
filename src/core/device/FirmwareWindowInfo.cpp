#include "core/device/FirmwareWindowInfo.h"

#include "core/device/TControllerLink.h"
#include "core/protocol/DeviceIdentity.h"

QString firmwareLabelText(quint16 partNo, quint16 fwVersion)
{
    return QStringLiteral("PN") + QString::asprintf("%.4d v%.1d.%.2d", partNo, fwVersion / 100, fwVersion % 100);
}

TFirmwareWindowInfo prepareFirmwareWindow(TControllerLink& link)
{
    TFirmwareWindowInfo info;
    info.model = Model_Index(link.RC_PartNo);
    if (info.model == 0) {
        info.modelInfo = QStringLiteral("Corvane (KTRA1)");
        link.PC_Cfg_PartNo = RC_Model_Table[0].appPartNo;
    } else if (info.model == 1) {
        info.modelInfo = QStringLiteral("Corvane-RTC (KTRA2)");
        link.PC_Cfg_PartNo = RC_Model_Table[1].appPartNo;
    }
    info.rcFwver = firmwareLabelText(link.RC_PartNo, link.RC_FW_Ver);
    info.availableFwver = firmwareLabelText(link.PC_Cfg_PartNo, link.PC_Cfg_FW_Ver);
    return info;
}
