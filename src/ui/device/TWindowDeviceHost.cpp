#include "ui/device/TWindowDeviceHost.h"

#include "core/comms/TVrexComms.h"
#include "core/device/TControllerLink.h"
#include "ui/common/TProjectView.h"
#include "ui/common/gen_lib.h"
#include "ui/device/ProgressBarState.h"
#include "ui/device/TDeviceScanPanel.h"
#include "ui/device/TUploadDataPage.h"
#include "ui/device/Tfw_upg_Form.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>

namespace {

TMsgDlgType Dialog_Kind(TDeviceBoxKind kind)
{
    switch (kind) {
    case TDeviceBoxKind::Warning: return TMsgDlgType::mtWarning;
    case TDeviceBoxKind::Error: return TMsgDlgType::mtError;
    case TDeviceBoxKind::Information: return TMsgDlgType::mtInformation;
    case TDeviceBoxKind::Confirmation: break;
    }
    return TMsgDlgType::mtConfirmation;
}

QMessageBox::StandardButton Dialog_Button(TDeviceAnswer answer)
{
    switch (answer) {
    case TDeviceAnswer::Ok: return QMessageBox::Ok;
    case TDeviceAnswer::Retry: return QMessageBox::Retry;
    case TDeviceAnswer::Cancel: return QMessageBox::Cancel;
    case TDeviceAnswer::Yes: return QMessageBox::Yes;
    case TDeviceAnswer::No: break;
    }
    return QMessageBox::No;
}

} // namespace

void TWindowDeviceHost::Log_Activity(int code, const QString& info)
{
    c.view->Log_Activity(code, info);
    if (code == int(TActivityStatus::Connected) && c.link)
        Show_Link_State(QStringLiteral("Connected to R/C on %1").arg(c.link->comms().openPortName()));
}

void TWindowDeviceHost::Show_Link_State(const QString& text)
{
    if (c.showLinkState)
        c.showLinkState(text);
}

void TWindowDeviceHost::Operation_Ended()
{
    // Also after a scan that found nothing, where no connection was closed:
    // the upload choices come back with the device buttons.
    Enable_Upload_Boxes(true);
    if (c.link && c.link->comms().PortWasLost())
        Show_Link_State(QStringLiteral("Connection to R/C on %1 lost").arg(c.link->comms().openPortName()));
    else
        Show_Link_State(QString());
}

void TWindowDeviceHost::Centre_Scan_Panel(TDeviceScanPanel* panel)
{
    const QWidget* window = panel ? panel->parentWidget() : nullptr;
    if (!window)
        return;
    panel->adjustSize();
    QRect frame(QPoint(0, 0), panel->size());
    frame.moveCenter(window->rect().center());
    panel->move(frame.topLeft());
}

TDeviceAnswer TWindowDeviceHost::Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                                  TDeviceAnswer defaultAnswer)
{
    // A box ends the search it reports on: the scan panel is gone before it.
    if (c.device_scan_Panel && c.device_scan_Panel->isVisible())
        c.device_scan_Panel->hide();
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == TDeviceButtons::RetryCancel)
        set = QMessageBox::Retry | QMessageBox::Cancel;
    else if (buttons == TDeviceButtons::YesNo)
        set = QMessageBox::Yes | QMessageBox::No;
    const QMessageBox::StandardButton pressed
        = Show_Message_Box_Ex(text, Dialog_Kind(kind), set, Dialog_Button(defaultAnswer));
    switch (pressed) {
    case QMessageBox::Retry: return TDeviceAnswer::Retry;
    case QMessageBox::Yes: return TDeviceAnswer::Yes;
    case QMessageBox::No: return TDeviceAnswer::No;
    case QMessageBox::Ok: return TDeviceAnswer::Ok;
    default: return buttons == TDeviceButtons::YesNo ? TDeviceAnswer::No : TDeviceAnswer::Cancel;
    }
}

void TWindowDeviceHost::Show_Scan_Panel(bool visible)
{
    if (visible)
        Centre_Scan_Panel(c.device_scan_Panel);
    c.device_scan_Panel->setVisible(visible);
    if (visible)
        c.device_scan_Panel->raise();
}

void TWindowDeviceHost::Set_Scan_Progress(int position, int maximum)
{
    c.device_scan_Panel->Set_Progress(position, maximum);
}

void TWindowDeviceHost::Set_Progress(TDeviceBar bar, qint64 position, qint64 maximum, bool error)
{
    QProgressBar* target = nullptr;
    switch (bar) {
    case TDeviceBar::Config: target = c.uploadPage->upload_config_ProgressBar(); break;
    case TDeviceBar::Images: target = c.uploadPage->upload_img_ProgressBar(); break;
    case TDeviceBar::Firmware: target = firmwareWindow ? firmwareWindow->upgrade_ProgressBar() : nullptr; break;
    }
    if (target)
        Set_Progress_State(target, position, maximum, error);
}

void TWindowDeviceHost::Enable_Project_Area(bool enabled)
{
    c.Project_Panel->setEnabled(enabled);
}

void TWindowDeviceHost::Enable_Device_Buttons(bool enabled)
{
    c.retrieve_cfg_Button->setEnabled(enabled);
    c.fw_upg_Button->setEnabled(enabled);
    c.uploadPage->Enable_Upload_Button(enabled);
}

void TWindowDeviceHost::Enable_Upload_Boxes(bool enabled)
{
    c.uploadPage->Enable_Boxes(enabled);
}

bool TWindowDeviceHost::Upload_Config_Ticked() const
{
    return c.uploadPage->send_Config_CheckBox()->isChecked();
}

bool TWindowDeviceHost::Upload_Images_Ticked() const
{
    return c.uploadPage->send_Image_CheckBox()->isChecked();
}

QString TWindowDeviceHost::Service_Text() const
{
    return c.view->serviceText();
}

void TWindowDeviceHost::Show_Device_Config(const TDevice_Config_v2& config)
{
    c.view->Show_Device_Config(config);
}

void TWindowDeviceHost::Show_Firmware_Window()
{
    if (firmwareWindow)
        firmwareWindow->Show_For_Controller();
}

bool TWindowDeviceHost::Firmware_Window_Showing() const
{
    return firmwareWindow && firmwareWindow->isVisible();
}

void TWindowDeviceHost::Firmware_Transfer_Ended()
{
    if (firmwareWindow)
        firmwareWindow->Transfer_Ended();
}
