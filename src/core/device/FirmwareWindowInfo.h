#pragma once
// What the firmware window shows for the connected controller. Preparing it
// also makes the carried firmware's part number the connected model's.

#include <QString>

class TControllerLink;

struct TFirmwareWindowInfo {
    int model = -1;          // Model_Index of the controller's part number
    QString model_info;      // "Corvane (KTRA1)" / "Corvane-RTC (KTRA2)"; empty for an unknown model
    QString rc_fwver;        // "PN5813 v1.04"
    QString available_fwver; // "PN5813 v2.01"
    bool known() const { return model >= 0; }
};

TFirmwareWindowInfo Prepare_Firmware_Window(TControllerLink& link);
// "PN" followed by the part number and the version, as the window's labels show them.
QString Firmware_Label_Text(quint16 part_no, quint16 fw_version);
