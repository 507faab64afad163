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
    void Show_Scan_Panel(bool visible) override { scanPanelVisible = visible; }
    void Set_Scan_Progress(int position, int maximum) override
    {
        scanPosition = position;
        scanMaximum = maximum;
    }
    void Set_Progress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) override;
    void Enable_Project_Area(bool enabled) override { projectAreaEnabled = enabled; }
    void Enable_Device_Buttons(bool enabled) override { deviceButtonsEnabled = enabled; }
    void Enable_Upload_Boxes(bool enabled) override { uploadBoxesEnabled = enabled; }
    bool Upload_Config_Ticked() const override { return sendConfig; }
    bool Upload_Images_Ticked() const override { return sendImages; }
    QString Service_Text() const override { return serviceText; }
    void Show_Device_Config(const TDevice_Config_v2&) override { ++shownConfigs; }
    void Show_Firmware_Window() override;
    bool Firmware_Window_Showing() const override { return firmwareWindowShowing; }
    void Firmware_Transfer_Ended() override { ++transferEnds; }
    void Operation_Ended() override { ++operationEnds; }

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
    QString serviceText;
    bool scanPanelVisible = false;
    int scanPosition = 0;
    int scanMaximum = 0;
    bool projectAreaEnabled = true;
    bool deviceButtonsEnabled = true;
    bool uploadBoxesEnabled = true;
    int shownConfigs = 0;
    bool firmwareWindowShowing = false;
    int firmwareWindowShows = 0;
    int transferEnds = 0;
    int operationEnds = 0;
};
