#pragma once
// A device host for tests: records what the steps show, answers boxes from a
// queue (then Cancel / No / OK), and can act when a progress bar moves.

#include "core/device/TDeviceHost.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

class TDeviceOperations;

class TScriptedDeviceHost : public TDeviceHost {
public:
    struct Entry {
        int code;
        QString info;
    };
    struct Box {
        QString text;
        TDeviceBoxKind kind;
        TDeviceButtons buttons;
    };
    struct Progress {
        qint64 position = 0;
        qint64 maximum = 0;
        bool error = false;
    };

    void Log_Activity(int code, const QString& info) override { log << Entry{code, info}; }
    TDeviceAnswer Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                   TDeviceAnswer) override;
    void showScanPanel(bool visible) override { scanPanelVisible = visible; }
    void setScanProgress(int position, int maximum) override
    {
        scanPosition = position;
        scanMaximum = maximum;
    }
    void setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) override;
    void enableProjectArea(bool enabled) override { projectAreaEnabled = enabled; }
    void enableDeviceButtons(bool enabled) override { deviceButtonsEnabled = enabled; }
    void enableUploadBoxes(bool enabled) override { uploadBoxesEnabled = enabled; }
    bool uploadConfigTicked() const override { return sendConfig; }
    bool uploadImagesTicked() const override { return sendImages; }
    QString serviceText() const override { return scriptedServiceText; }
    void Show_Device_Config(const TDevice_Config_v2&) override { ++shownConfigs; }
    void showFirmwareWindow() override;
    bool firmwareWindowShowing() const override { return firmwareWindowShown; }
    void firmwareTransferEnded() override { ++transferEnds; }
    void operationEnded() override { ++operationEnds; }

    QList<int> codes() const;
    int count(int code) const;
    QString infoOf(int code) const;

    QQueue<TDeviceAnswer> answers;
    QList<Box> boxes;
    QList<Entry> log;
    Progress progress[3];
    std::function<void(TDeviceBar, qint64 position)> onProgress;
    // When set, the firmware window "presses Upgrade" as soon as it shows
    // (after filling its labels, as the window does).
    TDeviceOperations* upgradeOnShow = nullptr;

    bool sendConfig = true;
    bool sendImages = false;
    QString scriptedServiceText;
    bool scanPanelVisible = false;
    int scanPosition = 0;
    int scanMaximum = 0;
    bool projectAreaEnabled = true;
    bool deviceButtonsEnabled = true;
    bool uploadBoxesEnabled = true;
    int shownConfigs = 0;
    bool firmwareWindowShown = false;
    int firmwareWindowShows = 0;
    int transferEnds = 0;
    int operationEnds = 0;
};
