#include "CommissionWorker.h"

#include "CliDeviceHost.h"
#include "CommissionFirmware.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/commissioning/CommissioningPlan.h"
#include "core/commissioning/OperationRecord.h"
#include "core/comms/TVrexComms.h"
#include "core/device/ControllerProbe.h"
#include "core/device/DevicePauseScale.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/TMsgList.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/DeviceIdentity.h"
#include "core/resources/CarriedData.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPortInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

void emitEvent(const QJsonObject& o)
{
    const QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

QString adapterSerial(const QString& port)
{
    const QString device = QFileInfo(port).canonicalFilePath();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (QFileInfo(info.systemLocation()).canonicalFilePath() == device && !device.isEmpty())
            return info.serialNumber();
    }
    return {};
}

QString firmwareText(uint16_t version)
{
    return QString::asprintf("%d.%02d", version / 100, version % 100);
}

QString notAController(const TProbeResult& r)
{
    if (!r.opened)
        return r.failureFix.isEmpty() ? r.failureText : QStringLiteral("%1 (fix: %2)").arg(r.failureText, r.failureFix);
    if (r.badReply)
        return QStringLiteral("the answer failed its length or check-sum test");
    if (!r.answered)
        return QStringLiteral("no controller answered");
    return QStringLiteral("part number %1 is not a Corvane R/C").arg(r.partNo);
}

QString skippedBecause(TConnectVerdict verdict, const TProbeResult& r)
{
    switch (verdict) {
    case TConnectVerdict::NeedsApplicationFirmware:
        return QStringLiteral("skipped: the boot loader runs (part number %1); it needs application firmware")
            .arg(r.partNo);
    case TConnectVerdict::NeedsFirmwareUpgrade:
        return QStringLiteral("skipped: firmware %1 needs an upgrade before data can be uploaded")
            .arg(firmwareText(r.fwVersion));
    case TConnectVerdict::NotCompatible:
        return QStringLiteral("skipped: firmware %1 is unknown to this program").arg(firmwareText(r.fwVersion));
    case TConnectVerdict::Yes: break;
    }
    return {};
}

// The console host, with the log's entries kept for the record instead of
// printed (stdout carries the events) and progress sent to the parent.
class WorkerHost : public CliDeviceHost {
public:
    using CliDeviceHost::CliDeviceHost;

    // The log's entries are not printed: stdout carries the events.
    void Log_Activity(int, const QString&) override { }
    void setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) override
    {
        if (error || maximum <= 0 || bar == TDeviceBar::Firmware)
            return;
        const int percent = int(position * 100 / maximum);
        int& last = m_last[bar == TDeviceBar::Config ? 0 : 1];
        if (percent == last)
            return;
        last = percent;
        emitEvent(
            {{"event", "progress"}, {"bar", bar == TDeviceBar::Config ? "config" : "images"}, {"percent", percent}});
    }

private:
    int m_last[2] = {-1, -1};
};

int sSignalPipe[2] = {-1, -1};

QString signalText(int signalNumber)
{
    switch (signalNumber) {
    case SIGINT: return QStringLiteral("SIGINT, Ctrl+C");
    case SIGHUP: return QStringLiteral("SIGHUP, the terminal went away");
    case SIGTERM: return QStringLiteral("SIGTERM");
    default: return QStringLiteral("signal %1").arg(signalNumber);
    }
}

void onSignal(int signalNumber)
{
    const unsigned char sig = static_cast<unsigned char>(signalNumber);
    (void)!::write(sSignalPipe[1], &sig, 1);
}

} // namespace

int runCommissionWorker(const TCommissionJob& job)
{
    QElapsedTimer clock;
    clock.start();
    TCommissioningRecord record;
    record.port = job.port;
    record.project = QFileInfo(job.project).absoluteFilePath();
    record.watchSession = job.watchSession;
    record.watchIndex = job.watchIndex;
    record.adapterSerial = adapterSerial(job.port);
    bool finished = false;
    // Set while the upload runs: what it has done so far goes on record
    // also when the worker is stopped part way.
    const TDeviceOperations* running = nullptr;

    auto finish = [&](bool ok, const QString& message) {
        if (finished)
            return ok ? 0 : 1;
        finished = true;
        if (running)
            recordOperationResult(record, running->operationResult());
        record.ok = ok;
        record.message = message;
        record.seconds = double(clock.elapsed()) / 1000.0;
        record.time = QDateTime::currentDateTimeUtc();
        QString logError;
        appendCommissioningRecord(job.log, record, &logError);
        QJsonObject result{{"event", "result"}, {"record", record.toJson()}};
        if (!logError.isEmpty())
            result["log_error"] = logError;
        emitEvent(result);
        return ok && logError.isEmpty() ? 0 : 1;
    };

    // Stopped from outside (the parent interrupted, or ended): the attempt is
    // on record as failed before the process goes.
    if (::pipe2(sSignalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier = new QSocketNotifier(sSignalPipe[0], QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, qApp, [&] {
            unsigned char sig = 0;
            (void)!::read(sSignalPipe[0], &sig, 1);
            const int status = finish(
                false, QStringLiteral("interrupted before this controller was done (%1)").arg(signalText(sig)));
            std::fflush(stdout);
            ::_exit(status == 0 ? 1 : status);
        });
        struct sigaction sa { };
        sa.sa_handler = &onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
        ::sigaction(SIGHUP, &sa, nullptr);
    }
    // Once the parent is gone its end of our stdout is closed: a progress
    // line written before the stop signal is handled must fail quietly, not
    // end the process before its attempt is on record.
    ::signal(SIGPIPE, SIG_IGN);

    record.projectSha256 = job.projectSha256;
    TProjectDocument document;
    TControllerLink link;
    // The plan's bytes, not the project file: that may have changed since
    // the run began, and every controller of a run gets the same.
    QFile file(job.plan);
    if (!file.open(QIODevice::ReadOnly))
        return finish(false, QStringLiteral("%1: %2").arg(job.plan, file.errorString()));
    const QByteArray bytes = file.readAll();
    file.close();
    QByteArray imageBlock;
    if (QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()) != job.planSha256
        || !document.fill(
            [&](TDevice_Config_v2& record, THandleList&) { return readPlanFileBytes(bytes, record, imageBlock); }))
        return finish(false, QStringLiteral("%1: the run's plan is not the one its parent wrote").arg(job.plan));
    // The controller's own row of the site sheet, before a byte reaches it.
    if (QString why; !document.fill([&](TDevice_Config_v2& rec, THandleList&) {
            return applyCommissionSite(job.site, job.port, record.adapterSerial, job.watchIndex, rec, record, &why);
        }))
        return finish(false, why);
    try {
        link.PC_Cfg_PartNo = Read_Resource_Word(QStringLiteral("FW_PARTNO"));
        link.PC_Cfg_FW_Ver = Read_Resource_Word(QStringLiteral("FW_VER"));
    } catch (const std::exception&) {
        // Carried by every build; an upload does not need them.
    }

    TVrexComms* comms = &link.comms();
    // No write reaches a controller before it has identified itself in full
    // and its firmware is known to take an upload.
    TProbeResult probe = probeController(*comms, job.port);
    comms->CloseComm();
    if (!probe.isController())
        return finish(false, notAController(probe));
    record.partNumber = probe.partNo;
    record.firmware = firmwareText(probe.fwVersion);
    emitEvent({{"event", "identified"}, {"part_number", probe.partNo}, {"firmware", record.firmware}});
    if (job.firmware) {
        TCommissionFirmwareJob upgrade{job.port,         job.allowPlaceholder, job.placeholderPorts,
                                       job.backupFolder, link.PC_Cfg_FW_Ver,   emitEvent};
        QString failure;
        if (!commissionFirmwareStep(upgrade, *comms, probe, record, &failure))
            return finish(false, failure);
    }
    const TConnectVerdict verdict = connectVerdict(probe.partNo, probe.fwVersion, kPurposeUpload);
    if (verdict != TConnectVerdict::Yes)
        return finish(false, skippedBecause(verdict, probe));

    TMsgList queue;
    TDeviceOperations* ops = nullptr;
    WorkerHost host(document, link, ops);
    host.sendConfig = job.sendConfig;
    host.sendImages = job.sendImages;
    TDeviceOperations operations(document, link, queue, host);
    ops = &operations;
    applyPauseScale(operations);
    link.explicitPorts = {job.port};
    link.namedPortsOnly = true;
    operations.setVerifyUpload(job.verify && job.sendConfig);
    operations.setImageBlock(imageBlock);
    running = &operations;
    operations.upload_data_BitBtnClick();
    if (!host.ended && operations.isBusy())
        QCoreApplication::exec();
    const DeviceOperationResult& result = operations.operationResult();
    return finish(result.ok(), result.message);
}
