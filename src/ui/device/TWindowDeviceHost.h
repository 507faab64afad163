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
    explicit TWindowDeviceHost(const TDeviceControls& controls) : m_c(controls) { }

    void setFirmwareWindow(Tfw_upg_Form* form) { m_firmwareWindow = form; }
    Tfw_upg_Form* firmwareWindow() const { return m_firmwareWindow; }

    void Log_Activity(int code, const QString& info) override;
    TDeviceAnswer Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                   TDeviceAnswer defaultAnswer) override;
    void showScanPanel(bool visible) override;
    void setScanProgress(int position, int maximum) override;
    void setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) override;
    void enableProjectArea(bool enabled) override;
    void enableDeviceButtons(bool enabled) override;
    void enableUploadBoxes(bool enabled) override;
    bool uploadConfigTicked() const override;
    bool uploadImagesTicked() const override;
    QString serviceText() const override;
    void Show_Device_Config(const TDevice_Config_v2& config) override;
    void showFirmwareWindow() override;
    bool firmwareWindowShowing() const override;
    void firmwareTransferEnded() override;
    void operationEnded() override;

    // Places the scan panel in the middle of the window it floats over.
    static void centreScanPanel(TDeviceScanPanel* panel);

private:
    void showLinkState(const QString& text);

    TDeviceControls m_c;
    QPointer<Tfw_upg_Form> m_firmwareWindow;
};
