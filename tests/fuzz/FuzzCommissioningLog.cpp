#include "FuzzTargets.h"

#include "core/commissioning/CommissioningLog.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdlib>

QString fuzzCommissioningLog(const uint8_t* data, size_t size)
{
    // The reader takes a path: the bytes go to one file that every input
    // overwrites.
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz-commissioning.jsonl"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return QStringLiteral("not written");
    }
    const TCommissioningLogContents log = readCommissioningLog(path);
    if (!log.readable)
        return QStringLiteral("unreadable: %1").arg(log.error);

    // Lines are counted from 1 and reported in order, each once.
    const qsizetype lines
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)).count('\n') + 1;
    int previous = 0;
    for (const TCommissioningLogLine& bad : log.malformed) {
        if (bad.line <= previous || bad.line > lines || bad.problem.isEmpty())
            std::abort();
        previous = bad.line;
    }
    // A record read back is written again as the same line, and that line
    // reads as the same record: appending what was read loses nothing.
    for (const TCommissioningRecord& record : log.records) {
        const QJsonObject json = record.toJson();
        QString why;
        const auto again = TCommissioningRecord::fromJson(json, &why);
        if (!again || again->toJson() != json)
            std::abort();
        (void)record.controllerKey();
    }
    return QStringLiteral("%1 records, %2 malformed lines").arg(log.records.size()).arg(log.malformed.size());
}
