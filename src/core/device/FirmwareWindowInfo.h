#pragma once
// What the firmware window shows for the connected controller. Preparing it
// also makes the carried firmware's part number the connected model's.

#include <QString>

class TControllerLink;

struct TFirmwareWindowInfo {
    int model = -1;         // Model_Index of the controller's part number
    QString modelInfo;      // "Corvane (KTRA1)" / "Corvane-RTC (KTRA2)"; empty for an unknown model
    QString rcFwver;        // "PN5813 v1.04"
    QString availableFwver; // "PN5813 v2.01"
    bool known() const { return model >= 0; }
};

TFirmwareWindowInfo prepareFirmwareWindow(TControllerLink& link);
// "PN" followed by the part number and the version, as the window's labels show them.
QString firmwareLabelText(quint16 partNo, quint16 fwVersion);
