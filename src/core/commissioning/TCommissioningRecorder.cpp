#include "core/commissioning/TCommissioningRecorder.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/commissioning/OperationRecord.h"
#include "core/document/TProjectDocument.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

TCommissioningRecorder::TCommissioningRecorder(const TProjectDocument& document, QString logPath)
    : m_document(document)
    , m_log(std::move(logPath))
{
}

void TCommissioningRecorder::record(const DeviceOperationResult& result)
{
    if (result.operation != TDeviceOperationKind::Upload && result.operation != TDeviceOperationKind::FirmwareUpgrade)
        return;
    if (!result.identified)
        return;
    TCommissioningRecord r;
    r.time = QDateTime::currentDateTimeUtc();
    r.seconds = result.seconds;
    recordOperationResult(r, result);
    r.project = m_document.projectPath();
    if (!r.project.isEmpty()) {
        QFile f(r.project);
        if (f.open(QIODevice::ReadOnly))
            r.projectSha256
                = QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
    }
    m_error.clear();
    if (m_log.isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_log).absolutePath());
    appendCommissioningRecord(m_log, r, &m_error);
}

QString windowCommissioningLog()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("commissioning.jsonl"));
}
