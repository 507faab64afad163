#pragma once
// The main window as the device operations' host: the activity log, the
// message boxes (through the prompter), the scan panel, the progress bars,
// the device buttons and the firmware window.

#include "core/device/TDeviceHost.h"

#include <QPointer>

#include <functional>

class QPushButton;
class TControllerLink;
class QWidget;
class TDeviceScanPanel;
class TProjectView;
class TUploadDataPage;
class Tfw_upg_Form;

struct TDeviceControls {
    TProjectView* view = nullptr; // log, record display, service text
    QWidget* Project_Panel = nullptr;
    QPushButton* retrieve_cfg_Button = nullptr;
    QPushButton* fw_upg_Button = nullptr;
    TUploadDataPage* uploadPage = nullptr;
    TDeviceScanPanel* device_scan_Panel = nullptr;
    const TControllerLink* link = nullptr; // whose port the link state names
    // Where the state of the link is shown (the status bar); an empty text
    // when there is nothing to say beyond the window's own note.
    std::function<void(const QString&)> showLinkState;
};

class TWindowDeviceHost : public TDeviceHost {
public:
    explicit TWindowDeviceHost(const TDeviceControls& controls) : c(controls) { }

    void Set_Firmware_Window(Tfw_upg_Form* form) { firmwareWindow = form; }
    Tfw_upg_Form* Firmware_Window() const { return firmwareWindow; }

    void Log_Activity(int code, const QString& info) override;
    TDeviceAnswer Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                   TDeviceAnswer defaultAnswer) override;
    void Show_Scan_Panel(bool visible) override;
    void Set_Scan_Progress(int position, int maximum) override;
    void Set_Progress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) override;
    void Enable_Project_Area(bool enabled) override;
    void Enable_Device_Buttons(bool enabled) override;
    void Enable_Upload_Boxes(bool enabled) override;
    bool Upload_Config_Ticked() const override;
    bool Upload_Images_Ticked() const override;
    QString Service_Text() const override;
    void Show_Device_Config(const TDevice_Config_v2& config) override;
    void Show_Firmware_Window() override;
    bool Firmware_Window_Showing() const override;
    void Firmware_Transfer_Ended() override;
    void Operation_Ended() override;

    // Places the scan panel in the middle of the window it floats over.
    static void Centre_Scan_Panel(TDeviceScanPanel* panel);

private:
    void Show_Link_State(const QString& text);

    TDeviceControls c;
    QPointer<Tfw_upg_Form> firmwareWindow;
};
