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

TMsgDlgType dialogKind(TDeviceBoxKind kind)
{
    switch (kind) {
    case TDeviceBoxKind::Warning: return TMsgDlgType::MtWarning;
    case TDeviceBoxKind::Error: return TMsgDlgType::MtError;
    case TDeviceBoxKind::Information: return TMsgDlgType::MtInformation;
    case TDeviceBoxKind::Confirmation: break;
    }
    return TMsgDlgType::MtConfirmation;
}

QMessageBox::StandardButton dialogButton(TDeviceAnswer answer)
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
    m_c.view->Log_Activity(code, info);
    if (code == int(TActivityStatus::Connected) && m_c.link)
        showLinkState(QStringLiteral("Connected to R/C on %1").arg(m_c.link->comms().openPortName()));
}

void TWindowDeviceHost::showLinkState(const QString& text)
{
    if (m_c.showLinkState)
        m_c.showLinkState(text);
}

void TWindowDeviceHost::operationEnded()
{
    // Also after a scan that found nothing, where no connection was closed:
    // the upload choices come back with the device buttons.
    enableUploadBoxes(true);
    if (m_c.link && m_c.link->comms().portWasLost())
        showLinkState(QStringLiteral("Connection to R/C on %1 lost").arg(m_c.link->comms().openPortName()));
    else
        showLinkState(QString());
}

void TWindowDeviceHost::centreScanPanel(TDeviceScanPanel* panel)
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
    if (m_c.device_scan_Panel && m_c.device_scan_Panel->isVisible())
        m_c.device_scan_Panel->hide();
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == TDeviceButtons::RetryCancel)
        set = QMessageBox::Retry | QMessageBox::Cancel;
    else if (buttons == TDeviceButtons::YesNo)
        set = QMessageBox::Yes | QMessageBox::No;
    const QMessageBox::StandardButton pressed
        = Show_Message_Box_Ex(text, dialogKind(kind), set, dialogButton(defaultAnswer));
    switch (pressed) {
    case QMessageBox::Retry: return TDeviceAnswer::Retry;
    case QMessageBox::Yes: return TDeviceAnswer::Yes;
    case QMessageBox::No: return TDeviceAnswer::No;
    case QMessageBox::Ok: return TDeviceAnswer::Ok;
    default: return buttons == TDeviceButtons::YesNo ? TDeviceAnswer::No : TDeviceAnswer::Cancel;
    }
}

void TWindowDeviceHost::showScanPanel(bool visible)
{
    if (visible)
        centreScanPanel(m_c.device_scan_Panel);
    m_c.device_scan_Panel->setVisible(visible);
    if (visible)
        m_c.device_scan_Panel->raise();
}

void TWindowDeviceHost::setScanProgress(int position, int maximum)
{
    m_c.device_scan_Panel->setProgress(position, maximum);
}

void TWindowDeviceHost::setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool error)
{
    QProgressBar* target = nullptr;
    switch (bar) {
    case TDeviceBar::Config: target = m_c.uploadPage->upload_config_ProgressBar(); break;
    case TDeviceBar::Images: target = m_c.uploadPage->upload_img_ProgressBar(); break;
    case TDeviceBar::Firmware: target = m_firmwareWindow ? m_firmwareWindow->upgrade_ProgressBar() : nullptr; break;
    }
    if (target)
        setProgressState(target, position, maximum, error);
}

void TWindowDeviceHost::enableProjectArea(bool enabled)
{
    m_c.Project_Panel->setEnabled(enabled);
}

void TWindowDeviceHost::enableDeviceButtons(bool enabled)
{
    m_c.retrieve_cfg_Button->setEnabled(enabled);
    m_c.fw_upg_Button->setEnabled(enabled);
    m_c.uploadPage->enableUploadButton(enabled);
}

void TWindowDeviceHost::enableUploadBoxes(bool enabled)
{
    m_c.uploadPage->enableBoxes(enabled);
}

bool TWindowDeviceHost::uploadConfigTicked() const
{
    return m_c.uploadPage->send_Config_CheckBox()->isChecked();
}

bool TWindowDeviceHost::uploadImagesTicked() const
{
    return m_c.uploadPage->send_Image_CheckBox()->isChecked();
}

QString TWindowDeviceHost::serviceText() const
{
    return m_c.view->serviceText();
}

void TWindowDeviceHost::Show_Device_Config(const TDevice_Config_v2& config)
{
    m_c.view->Show_Device_Config(config);
}

void TWindowDeviceHost::showFirmwareWindow()
{
    if (m_firmwareWindow)
        m_firmwareWindow->showForController();
}

bool TWindowDeviceHost::firmwareWindowShowing() const
{
    return m_firmwareWindow && m_firmwareWindow->isVisible();
}

void TWindowDeviceHost::firmwareTransferEnded()
{
    if (m_firmwareWindow)
        m_firmwareWindow->transferEnded();
}
