#include "core/device/TDeviceOperations.h"

#include "core/protocol/DeviceTrace.h"

#include "core/comms/TVrexComms.h"
#include "core/device/CommPortList.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TConfigUploadSteps.h"
#include "core/device/TConnectSteps.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TFirmwareSteps.h"
#include "core/device/TImageUploadSteps.h"
#include "core/device/TRetrieveSteps.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/TMsgList.h"
#include "core/messaging/TWindowMessageEvent.h"
#include "core/messaging/WindowMessages.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/DeviceIdentity.h"

#include <QCoreApplication>

TDeviceOperations::TDeviceOperations(TProjectDocument& document, TControllerLink& link, TMsgList& queue,
                                     TDeviceHost& host, QObject* parent)
    : QObject(parent)
    , m_document(document)
    , m_link(link)
    , m_queue(queue)
    , m_host(host)
    , m_connect(std::make_unique<TConnectSteps>(static_cast<TDeviceStepContext&>(*this)))
    , m_retrieve(std::make_unique<TRetrieveSteps>(static_cast<TDeviceStepContext&>(*this)))
    , m_configUpload(std::make_unique<TConfigUploadSteps>(static_cast<TDeviceStepContext&>(*this)))
    , m_imageUpload(std::make_unique<TImageUploadSteps>(static_cast<TDeviceStepContext&>(*this)))
    , m_firmware(std::make_unique<TFirmwareSteps>(static_cast<TDeviceStepContext&>(*this)))
{
    qRegisterMetaType<DeviceOperationResult>();
}

TDeviceOperations::~TDeviceOperations() = default;

TVrexComms& TDeviceOperations::comms() const
{
    return m_link.comms();
}

QStringList TDeviceOperations::listPorts() const
{
    if (m_portLister)
        return m_portLister();
    if (m_link.namedPortsOnly && !m_link.explicitPorts.isEmpty())
        return m_link.explicitPorts;
    if (m_adapterLister)
        return namedPortsFirst(m_link.explicitPorts, m_adapterLister());
    return Get_CommPort_List(QStringLiteral("FTDI"), m_link.explicitPorts);
}

bool TDeviceOperations::placeholderFirmwareAllowed(const QString& port) const
{
    return m_placeholderEverywhere || (!port.isEmpty() && m_placeholderPorts.contains(port));
}

void TDeviceOperations::setVerifyUpload(bool verify)
{
    m_configUpload->verify = verify;
}

void TDeviceOperations::post(int msg, quint32 wParam, quint32 lParam)
{
    m_queue.msgList_Post(this, msg, wParam, lParam);
}

void TDeviceOperations::postDirect(int msg, quint32 wParam, quint32 lParam)
{
    QCoreApplication::postEvent(this, new TWindowMessageEvent(msg, wParam, lParam));
}

bool TDeviceOperations::event(QEvent* event)
{
    if (event->type() == TWindowMessageEvent::kType) {
        const auto* m = static_cast<const TWindowMessageEvent*>(event);
        handleMessage(m->msg, m->wParam, m->lParam);
        return true;
    }
    return QObject::event(event);
}

void TDeviceOperations::handleMessage(int msg, quint32 wParam, quint32 lParam)
{
    qCDebug(lcDevice).noquote()
        << QStringLiteral("%1 message %2 step %3 (%4)").arg(comms().portName).arg(msg).arg(wParam).arg(lParam);
    switch (msg) {
    case WM_RC_CONNECT: m_connect->handle(wParam, lParam); break;
    case WM_RC_RETRIEVE: m_retrieve->handle(wParam, lParam); break;
    case WM_RC_UPLOAD_CFG: m_configUpload->handle(wParam, lParam); break;
    case WM_RC_UPLOAD_IMG: m_imageUpload->handle(wParam, lParam); break;
    case WM_RC_FW_UPGRADE: m_firmware->handle(wParam, lParam); break;
    default: break;
    }
}

void TDeviceOperations::begin(TDeviceOperationKind kind)
{
    m_result = {};
    m_result.operation = kind;
    m_running = true;
    m_clock.start();
}

void TDeviceOperations::operationFinished()
{
    if (!m_running)
        return;
    m_running = false;
    m_result.seconds = double(m_clock.elapsed()) / 1000.0;
    if (m_result.outcome == TOperationOutcome::Failed && m_result.failedPhase == TDevicePhase::None) {
        if (m_result.operation == TDeviceOperationKind::FirmwareUpgrade && !m_result.firmwareSent) {
            // The firmware window was closed before a transfer was asked for.
            m_result.outcome = TOperationOutcome::Cancelled;
            m_result.message = QStringLiteral("no firmware was sent");
        } else if (m_result.message.isEmpty()) {
            m_result.message = QStringLiteral("the operation did not finish");
        }
    }
    emit finished(m_result);
}

void TDeviceOperations::retrieve_cfg_ButtonClick()
{
    if (m_busy)
        return;
    m_busy = true;
    begin(TDeviceOperationKind::Retrieve);
    m_host.Log_Activity(TActivityStatus::Connecting, QStringLiteral("Retrieve configuration"));
    postDirect(WM_RC_CONNECT, 0, kPurposeRetrieve);
}

void TDeviceOperations::fw_upg_ButtonClick()
{
    if (m_busy)
        return;
    m_busy = true;
    begin(TDeviceOperationKind::FirmwareUpgrade);
    m_host.Log_Activity(TActivityStatus::Connecting, QStringLiteral("Firmware upgrade"));
    post(WM_RC_CONNECT, 0, kPurposeFirmwareUpgrade);
}

bool TDeviceOperations::upload_data_BitBtnClick()
{
    if (m_busy)
        return false;
    begin(TDeviceOperationKind::Upload);
    const QString text = m_host.serviceText();
    if (m_host.uploadConfigTicked() && serviceTextLineCount(text) > kServiceTextMaxLines) {
        m_host.Show_Message_Box(DeviceText::tooManyLines(), TDeviceBoxKind::Warning, TDeviceButtons::Ok,
                                TDeviceAnswer::Ok);
        m_result.failedPhase = TDevicePhase::Preparation;
        m_result.message = oneLine(DeviceText::tooManyLines());
        operationFinished();
        return false;
    }
    if (m_document.isModified()
        && m_host.Show_Message_Box(DeviceText::unsavedUpload(), TDeviceBoxKind::Confirmation, TDeviceButtons::YesNo,
                                   TDeviceAnswer::No)
            != TDeviceAnswer::Yes) {
        m_result.outcome = TOperationOutcome::Cancelled;
        m_result.failedPhase = TDevicePhase::Preparation;
        m_result.message = oneLine(DeviceText::unsavedUpload());
        operationFinished();
        return false;
    }
    // A host that holds a text of its own puts it into the record, as a save
    // writes the editor's text (every line break CR alone); an upload does
    // not change the project's saved state. Where the host shows the record's
    // own text (the window's editor writes every edit into the record, the
    // CLI reads it from there), the record is sent as stored: rewriting it
    // from its shown form would turn a byte that is not UTF-8 into two.
    QString shown = readServiceText(m_document.record());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (crlf != shown) {
        crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        m_document.writeUploadServiceText(crlf);
    }
    m_busy = true;
    m_host.enableUploadBoxes(false);
    m_host.setProgress(TDeviceBar::Config, 0, 1, false);
    m_host.setProgress(TDeviceBar::Images, 0, 1, false);
    m_host.Log_Activity(TActivityStatus::Connecting, QStringLiteral("Upload data"));
    post(WM_RC_CONNECT, 0, kPurposeUpload);
    return true;
}

void TDeviceOperations::startFirmwareUpgrade()
{
    post(WM_RC_FW_UPGRADE, quint32(Model_Index(m_link.RC_PartNo)), 0);
}

void TDeviceOperations::requestUpgradeAbort()
{
    post(WM_RC_FW_UPGRADE, 0, TFirmwareSteps::kAbortRequest);
}

void TDeviceOperations::closeFirmwareWindow()
{
    post(WM_RC_FW_UPGRADE, 0, TFirmwareSteps::kClose);
}

void TDeviceOperations::Close_Connection()
{
    m_host.enableUploadBoxes(true);
    if (m_host.firmwareWindowShowing())
        m_host.firmwareTransferEnded();
    comms().CloseComm();
    m_busy = false;
    m_host.enableDeviceButtons(true);
    m_host.Log_Activity(TActivityStatus::CommsLinkClosed);
    operationFinished();
    m_host.operationEnded();
}
