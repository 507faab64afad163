#include "CliDeviceHost.h"

#include "core/device/FirmwareWindowInfo.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/StatusCodes.h"
#include "core/model/DeviceConfig.h"
#include "programs/common/QuietMessages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <cstdio>

namespace {
void printLine(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}
} // namespace

QString Box_Text_Line(const QString& text)
{
    return One_Line(text);
}

void CliDeviceHost::Log_Activity(int code, const QString& info)
{
    if (quiet)
        return;
    const QString marker = Status_Code_Marker(code);
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    printLine(stdout, QStringLiteral("%1 %2 %3 | %4").arg(when, marker, Status_Code_Text(code), info));
}

TDeviceAnswer CliDeviceHost::Show_Message_Box(const QString& text, TDeviceBoxKind, TDeviceButtons buttons,
                                              TDeviceAnswer)
{
    switch (buttons) {
    case TDeviceButtons::Ok: return TDeviceAnswer::Ok;
    case TDeviceButtons::YesNo: return TDeviceAnswer::No;
    case TDeviceButtons::RetryCancel: break;
    }
    // Three retries for each phase (the writes, the restart, ...) that asks.
    int& used = m_retries[m_ops ? int(m_ops->Result().phase) : -1];
    if (used >= kRetries)
        return TDeviceAnswer::Cancel;
    ++used;
    // A retry is progress, not a failure: a run that recovers has nothing to
    // report on stderr, and one that fails reports only how it ended.
    if (showProgress)
        printLine(stdout, QStringLiteral("  retry %1 of %2: %3").arg(used).arg(kRetries).arg(Box_Text_Line(text)));
    return TDeviceAnswer::Retry;
}

void CliDeviceHost::Set_Progress(TDeviceBar bar, qint64 position, qint64 maximum, bool error)
{
    if (onProgress && !error && maximum > 0)
        onProgress(bar, position, maximum);
    if (error || maximum <= 0 || !showProgress)
        return;
    const int tenth = int(position * 10 / maximum);
    int& last = m_lastTenth[int(bar)];
    if (position == 0)
        last = -1;
    if (tenth == last || tenth == 0)
        return;
    last = tenth;
    static const char* const names[3] = {"configuration", "images", "firmware"};
    printLine(stdout, QStringLiteral("  %1: %2 %").arg(QLatin1String(names[int(bar)])).arg(tenth * 10));
}

QString CliDeviceHost::Service_Text() const
{
    return Read_Service_Text(m_document.record());
}

void CliDeviceHost::Show_Firmware_Window()
{
    const TFirmwareWindowInfo info = Prepare_Firmware_Window(m_link);
    if (!quiet) {
        printLine(stdout,
                  QStringLiteral("R/C Model: %1").arg(info.known() ? info.model_info : QStringLiteral("unknown")));
        printLine(stdout, QStringLiteral("R/C Firmware Version: %1").arg(info.rc_fwver));
        printLine(stdout, QStringLiteral("Available Firmware Version: %1").arg(info.available_fwver));
    }
    m_firmwareWindow = true;
    m_firmwareAttempts = 1;
    if (info.known() && beforeFirmware)
        firmwareRefusal = beforeFirmware();
    if (info.known() && firmwareRefusal.isEmpty())
        m_ops->Start_Firmware_Upgrade();
    else
        m_ops->Close_Firmware_Window();
}

void CliDeviceHost::Firmware_Transfer_Ended()
{
    // Called both when a transfer failed on an open link and while the link
    // closes; only the first leaves the operation running.
    QTimer::singleShot(0, &m_context, [this] {
        if (!m_ops || !m_ops->Busy() || !m_firmwareWindow)
            return;
        // Only a transfer whose blocks failed is tried again; a refusal or a
        // 'firmware write' command given up on ends the upgrade.
        if (m_firmwareAttempts <= kRetries && m_ops->Result().failedPhase == TDevicePhase::FirmwareWrite) {
            ++m_firmwareAttempts;
            if (showProgress)
                printLine(stdout,
                          QStringLiteral("  retry %1 of %2: the firmware transfer failed")
                              .arg(m_firmwareAttempts - 1)
                              .arg(kRetries));
            m_ops->Start_Firmware_Upgrade();
        } else {
            m_firmwareWindow = false;
            m_ops->Close_Firmware_Window();
        }
    });
}

void CliDeviceHost::Operation_Ended()
{
    m_firmwareWindow = false;
    ended = true;
    QCoreApplication::exit(0);
}
