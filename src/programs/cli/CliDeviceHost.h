#pragma once
// corvane-cli as the host of a device operation: log entries on stdout as
// "time marker description | additional", progress when asked for, boxes
// answered without asking (Retry up to three times, then Cancel; questions
// No), and the firmware window's part played
// by pressing "Upgrade" at once.

#include "core/device/TDeviceHost.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class TDeviceOperations;
class TControllerLink;
class TProjectDocument;

class CliDeviceHost : public TDeviceHost {
public:
    static constexpr int kRetries = 3;

    CliDeviceHost(TProjectDocument& document, TControllerLink& link, TDeviceOperations*& ops)
        : m_document(document)
        , m_link(link)
        , m_ops(ops)
    {
    }

    void Log_Activity(int code, const QString& info) override;
    TDeviceAnswer Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                   TDeviceAnswer defaultAnswer) override;
    void Show_Scan_Panel(bool) override { }
    void Set_Scan_Progress(int, int) override { }
    void Set_Progress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) override;
    void Enable_Project_Area(bool) override { }
    void Enable_Device_Buttons(bool) override { }
    void Enable_Upload_Boxes(bool) override { }
    bool Upload_Config_Ticked() const override { return sendConfig; }
    bool Upload_Images_Ticked() const override { return sendImages; }
    QString Service_Text() const override;
    void Show_Device_Config(const TDevice_Config_v2&) override { }
    void Show_Firmware_Window() override;
    bool Firmware_Window_Showing() const override { return m_firmwareWindow; }
    void Firmware_Transfer_Ended() override;
    void Operation_Ended() override;

    // Progress (a line per 10 %, each automatic retry) on stdout: when it is
    // a terminal, or when asked for with --verbose.
    bool showProgress = false;
    bool sendConfig = true;
    bool sendImages = true;
    bool ended = false;
    // See CliDeviceJob::quiet and onProgress.
    bool quiet = false;
    std::function<void(TDeviceBar bar, qint64 position, qint64 maximum)> onProgress;
    // See CliDeviceJob::beforeFirmware; its answer when it stopped the upgrade.
    std::function<QString()> beforeFirmware;
    QString firmwareRefusal;

private:
    TProjectDocument& m_document;
    TControllerLink& m_link;
    TDeviceOperations*& m_ops;
    // Automatic retries so far, per phase of the operation.
    QHash<int, int> m_retries;
    int m_lastTenth[3] = {-1, -1, -1};
    bool m_firmwareWindow = false;
    QObject m_context; // deferred calls die with the host
    int m_firmwareAttempts = 0;
};

// "Error sending image data. Ensure ..." from a box's '\r'-separated lines.
QString Box_Text_Line(const QString& text);
