#include "core/storage/RecoveryFile.h"

#include "core/storage/DiskIO.h"
#include "core/storage/ProjectFileError.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

namespace {
constexpr char kMagic[] = "CVRECOV1";
constexpr int kMagicBytes = 8;

QDataStream& prepared(QDataStream& stream)
{
    stream.setVersion(QDataStream::Qt_6_0);
    stream.setByteOrder(QDataStream::LittleEndian);
    return stream;
}
} // namespace

QByteArray recoveryFileBytes(const TRecoveryRecord& record)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepared(out);
    out.writeRawData(kMagic, kMagicBytes);
    out << record.projectPath << record.projectName << record.lastChange.toMSecsSinceEpoch() << record.pid
        << record.projectBytes;
    return bytes;
}

void writeRecoveryFile(const QString& path, const TRecoveryRecord& record)
{
    const QByteArray bytes = recoveryFileBytes(record);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ProjectFileError(QStringLiteral("Cannot write the recovery file %1: %2").arg(path, file.errorString()));
}

void writeRecoveryFile(const QString& path, const TRecoveryRecord& header, const TDevice_Config_v2& rec,
                       const THandleList& list)
{
    QSaveFile file(path);
    auto failed = [&file, &path] {
        return ProjectFileError(QStringLiteral("Cannot write the recovery file %1: %2").arg(path, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failed();
    QDataStream out(&file);
    prepared(out);
    out.writeRawData(kMagic, kMagicBytes);
    out << header.projectPath << header.projectName << header.lastChange.toMSecsSinceEpoch() << header.pid;
    // The project's bytes as a QByteArray is streamed: its length first,
    // filled in once the project is written.
    const qint64 lengthAt = file.pos();
    out << quint32(0);
    writeProject(file, rec, list);
    const qint64 end = file.pos();
    const qint64 length = end - lengthAt - 4;
    if (length < 0 || length >= qint64(0xFFFFFFFE) || !file.seek(lengthAt))
        throw failed();
    out << quint32(length);
    if (out.status() != QDataStream::Ok || !file.seek(end) || !file.commit())
        throw failed();
}

bool readRecoveryFile(const QString& path, TRecoveryRecord& record, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith(QByteArray(kMagic, kMagicBytes)))
        return fail(QStringLiteral("not a recovery file"));
    QDataStream in(bytes);
    prepared(in);
    in.skipRawData(kMagicBytes);
    TRecoveryRecord read;
    qint64 when = 0;
    in >> read.projectPath >> read.projectName >> when >> read.pid >> read.projectBytes;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return fail(QStringLiteral("the file is cut short or damaged"));
    read.lastChange = QDateTime::fromMSecsSinceEpoch(when, Qt::UTC);
    // The project inside must open as a project file would.
    TDevice_Config_v2 rec{};
    THandleList list;
    try {
        if (!loadProjectBytes(reinterpret_cast<const uint8_t*>(read.projectBytes.constData()), read.projectBytes.size(),
                              rec, list))
            return fail(QStringLiteral("the project inside is of a layout this program does not read"));
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    record = std::move(read);
    return true;
}
