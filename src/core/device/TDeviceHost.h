#pragma once
// What a device operation needs from its surroundings. The step machines
// (TDeviceOperations) reach the log, the boxes, the progress bars and the
// device controls only through this interface, so the main window, the
// command-line program and the tests each supply their own.

#include "core/messaging/StatusCodes.h"
#include "core/model/DeviceConfigRecords.h"

#include <QString>

enum class TDeviceBoxKind { Warning, Error, Information, Confirmation };
enum class TDeviceButtons { Ok, RetryCancel, YesNo };
enum class TDeviceAnswer { Ok, Retry, Cancel, Yes, No };
// The three progress bars: the two of the "Upload Data" page and the
// firmware window's.
enum class TDeviceBar { Config, Images, Firmware };

class TDeviceHost {
public:
    virtual ~TDeviceHost() = default;

    virtual void Log_Activity(int code, const QString& info = QString()) = 0;
    void Log_Activity(TActivityStatus status, const QString& info = QString())
    {
        Log_Activity(static_cast<int>(status), info);
    }
    // A modal question; lines are separated by '\r'. A host that cannot ask
    // answers for the user, and must answer: the steps wait for it.
    virtual TDeviceAnswer Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                           TDeviceAnswer defaultAnswer)
        = 0;

    // The scan panel with its label and progress bar.
    virtual void showScanPanel(bool visible) = 0;
    virtual void setScanProgress(int position, int maximum) = 0;
    // position and maximum in bytes; error turns the bar to its error state.
    virtual void setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) = 0;

    virtual void enableProjectArea(bool enabled) = 0;
    // "Retrieve Configuration", "Firmware Upgrade" and "Upload Data". A host
    // keeps "Upload Data" disabled while neither upload box is ticked.
    virtual void enableDeviceButtons(bool enabled) = 0;
    virtual void enableUploadBoxes(bool enabled) = 0;
    virtual bool uploadConfigTicked() const = 0;
    virtual bool uploadImagesTicked() const = 0;
    // The service text as its editor holds it (line feeds after carriage returns).
    virtual QString serviceText() const = 0;

    // The project's record after a retrieve, to be shown in every page.
    virtual void Show_Device_Config(const TDevice_Config_v2& config) = 0;

    // The firmware window: shown once a controller is accepted for an
    // upgrade; told when a transfer has ended without closing the
    // connection or when the connection closes under it.
    virtual void showFirmwareWindow() = 0;
    virtual bool firmwareWindowShowing() const = 0;
    virtual void firmwareTransferEnded() = 0;

    // The connection was closed, or a scan ended without finding a controller.
    virtual void operationEnded() { }
};
