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

QString boxTextLine(const QString& text)
{
    return oneLine(text);
}

void CliDeviceHost::Log_Activity(int code, const QString& info)
{
    if (quiet)
        return;
    const QString marker = statusCodeMarker(code);
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    printLine(stdout, QStringLiteral("%1 %2 %3 | %4").arg(when, marker, statusCodeText(code), info));
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
    int& used = m_retries[m_ops ? int(m_ops->operationResult().phase) : -1];
    if (used >= kRetries)
        return TDeviceAnswer::Cancel;
    ++used;
    // A retry is progress, not a failure: a run that recovers has nothing to
    // report on stderr, and one that fails reports only how it ended.
    if (showProgress)
        printLine(stdout, QStringLiteral("  retry %1 of %2: %3").arg(used).arg(kRetries).arg(boxTextLine(text)));
    return TDeviceAnswer::Retry;
}

void CliDeviceHost::setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool error)
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
    static const char* const kNames[3] = {"configuration", "images", "firmware"};
    printLine(stdout, QStringLiteral("  %1: %2 %").arg(QLatin1String(kNames[int(bar)])).arg(tenth * 10));
}

QString CliDeviceHost::serviceText() const
{
    return readServiceText(m_document.record());
}

void CliDeviceHost::showFirmwareWindow()
{
    const TFirmwareWindowInfo info = prepareFirmwareWindow(m_link);
    if (!quiet) {
        printLine(stdout,
                  QStringLiteral("R/C Model: %1").arg(info.known() ? info.modelInfo : QStringLiteral("unknown")));
        printLine(stdout, QStringLiteral("R/C Firmware Version: %1").arg(info.rcFwver));
        printLine(stdout, QStringLiteral("Available Firmware Version: %1").arg(info.availableFwver));
    }
    m_firmwareWindow = true;
    m_firmwareAttempts = 1;
    if (info.known() && beforeFirmware)
        firmwareRefusal = beforeFirmware();
    if (info.known() && firmwareRefusal.isEmpty())
        m_ops->startFirmwareUpgrade();
    else
        m_ops->closeFirmwareWindow();
}

void CliDeviceHost::firmwareTransferEnded()
{
    // Called both when a transfer failed on an open link and while the link
    // closes; only the first leaves the operation running.
    QTimer::singleShot(0, &m_context, [this] {
        if (!m_ops || !m_ops->isBusy() || !m_firmwareWindow)
            return;
        // Only a transfer whose blocks failed is tried again; a refusal or a
        // 'firmware write' command given up on ends the upgrade.
        if (m_firmwareAttempts <= kRetries && m_ops->operationResult().failedPhase == TDevicePhase::FirmwareWrite) {
            ++m_firmwareAttempts;
            if (showProgress)
                printLine(stdout,
                          QStringLiteral("  retry %1 of %2: the firmware transfer failed")
                              .arg(m_firmwareAttempts - 1)
                              .arg(kRetries));
            m_ops->startFirmwareUpgrade();
        } else {
            m_firmwareWindow = false;
            m_ops->closeFirmwareWindow();
        }
    });
}

void CliDeviceHost::operationEnded()
{
    m_firmwareWindow = false;
    ended = true;
    QCoreApplication::exit(0);
}
