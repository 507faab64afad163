#include "core/commissioning/TCommissioningRecorder.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/comms/TVrexComms.h"
#include "core/device/TControllerLink.h"
#include "core/document/TProjectDocument.h"
#include "core/model/DeviceConfig.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString boxLine(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\r')))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines.join(QLatin1Char(' '));
}
} // namespace

TCommissioningRecorder::TCommissioningRecorder(TDeviceHost& host, const TProjectDocument& document,
                                               const TControllerLink& link, QString logPath)
    : m_host(host)
    , m_document(document)
    , m_link(link)
    , m_log(std::move(logPath))
{
}

TDeviceAnswer TCommissioningRecorder::Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                                       TDeviceAnswer defaultAnswer)
{
    if (m_kind != Kind::None)
        m_box = boxLine(text);
    return m_host.Show_Message_Box(text, kind, buttons, defaultAnswer);
}

void TCommissioningRecorder::Log_Activity(int code, const QString& info)
{
    m_host.Log_Activity(code, info);
    if (code == 29) {
        m_kind = info == QLatin1String("Upload data")   ? Kind::Upload
            : info == QLatin1String("Firmware upgrade") ? Kind::Firmware
                                                        : Kind::None;
        m_connected = false;
        m_codes.clear();
        m_failure.clear();
        m_box.clear();
        m_record = {};
        m_clock.start();
        return;
    }
    if (m_kind == Kind::None)
        return;
    m_codes << code;
    switch (code) {
    case 12:
        m_connected = true;
        m_record.port = m_link.comms().openPortName();
        m_record.partNumber = m_link.RC_PartNo;
        m_record.firmware = QString::asprintf("%d.%02d", m_link.RC_FW_Ver / 100, m_link.RC_FW_Ver % 100);
        break;
    case 15:
        m_record.sent << QStringLiteral("config");
        m_record.configChecksum = Upload_Block_Checksum(m_link.upload_stream);
        break;
    case 16:
        m_record.sent << QStringLiteral("images");
        m_record.imageBlockBytes = m_link.upload_stream.size();
        m_record.imageBlockSha256 = sha256(m_link.upload_stream);
        break;
    case 23:
        if (!m_record.sent.contains(QStringLiteral("firmware")))
            m_record.sent << QStringLiteral("firmware");
        break;
    case 11:
    case 25:
    case 26: m_failure = info.isEmpty() ? QString::number(code) : info; break;
    case 13:
        if (m_connected)
            write();
        m_kind = Kind::None;
        break;
    default: break;
    }
}

void TCommissioningRecorder::write()
{
    TCommissioningRecord& r = m_record;
    r.time = QDateTime::currentDateTimeUtc();
    r.seconds = double(m_clock.elapsed()) / 1000.0;
    r.project = m_document.project_fullpath;
    if (!r.project.isEmpty()) {
        QFile f(r.project);
        if (f.open(QIODevice::ReadOnly))
            r.projectSha256 = sha256(f.readAll());
    }
    if (Names_Failed_Verify(m_failure))
        r.verify = TVerifyResult::Failed;
    if (m_kind == Kind::Upload) {
        r.ok = m_codes.contains(20) && !m_codes.contains(11);
        r.message = r.ok           ? QStringLiteral("Data uploaded successfully")
            : !m_failure.isEmpty() ? QStringLiteral("Error uploading data: %1").arg(m_failure)
            : !m_box.isEmpty()     ? m_box
                                   : QStringLiteral("the upload did not finish");
    } else {
        r.ok = m_codes.lastIndexOf(23) >= 0 && m_codes.lastIndexOf(23) > m_codes.lastIndexOf(11)
            && !m_codes.contains(26);
        r.message = r.ok                              ? QStringLiteral("Firmware uploaded")
            : !m_box.isEmpty() && m_failure.isEmpty() ? m_box
            : !m_failure.isEmpty()                    ? QStringLiteral("Firmware upgrade failed: %1").arg(m_failure)
                                                      : QStringLiteral("no firmware was sent");
    }
    m_error.clear();
    if (m_log.isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_log).absolutePath());
    Append_Commissioning_Record(m_log, r, &m_error);
}

QString Window_Commissioning_Log()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("commissioning.jsonl"));
}
