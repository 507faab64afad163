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
    void showScanPanel(bool) override { }
    void setScanProgress(int, int) override { }
    void setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) override;
    void enableProjectArea(bool) override { }
    void enableDeviceButtons(bool) override { }
    void enableUploadBoxes(bool) override { }
    bool uploadConfigTicked() const override { return sendConfig; }
    bool uploadImagesTicked() const override { return sendImages; }
    QString serviceText() const override;
    void Show_Device_Config(const TDevice_Config_v2&) override { }
    void showFirmwareWindow() override;
    bool firmwareWindowShowing() const override { return m_firmwareWindow; }
    void firmwareTransferEnded() override;
    void operationEnded() override;

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
QString boxTextLine(const QString& text);
