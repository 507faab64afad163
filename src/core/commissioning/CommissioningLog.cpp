#include "core/commissioning/CommissioningLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
TCommissioningLogSync& syncFunction()
{
    static TCommissioningLogSync sync;
    return sync;
}

#ifdef Q_OS_UNIX
int syncFd(int fd)
{
    const TCommissioningLogSync& sync = syncFunction();
    return sync ? sync(fd) : ::fsync(fd);
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A new log's name must survive a power cut as well as its first line.
void syncFolder(const QString& path)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        syncFd(dir);
        ::close(dir);
    }
}
#endif
} // namespace

bool appendCommissioningRecord(const QString& path, const TCommissioningRecord& record, QString* error)
{
    const QByteArray line = QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact) + '\n';
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    bool created = true;
    int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    }
    if (fd < 0)
        return fail(errnoText());
    // O_APPEND keeps whole writes from interleaving; the lock lets a short
    // write (a full disk) be taken back without cutting another writer's line.
    ::flock(fd, LOCK_EX);
    struct stat before { };
    ::fstat(fd, &before);
    ssize_t written;
    do {
        written = ::write(fd, line.constData(), size_t(line.size()));
    } while (written < 0 && errno == EINTR);
    const QString writeError = written < 0 ? errnoText() : QStringLiteral("the disk is full");
    if (written != ssize_t(line.size())) {
        if (written > 0)
            (void)!::ftruncate(fd, before.st_size);
        ::close(fd);
        return fail(writeError);
    }
    const bool synced = syncFd(fd) == 0;
    const QString syncError = synced ? QString() : errnoText();
    ::close(fd);
    if (!synced)
        return fail(syncError);
    if (created)
        syncFolder(path);
    return true;
#else
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fail(f.errorString());
    if (f.write(line) != line.size())
        return fail(f.errorString());
    return true;
#endif
}

TCommissioningLogSync setCommissioningLogSync(TCommissioningLogSync sync)
{
    return std::exchange(syncFunction(), std::move(sync));
}

TCommissioningLogContents readCommissioningLog(const QString& path)
{
    TCommissioningLogContents out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        out.error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return out;
    }
    out.readable = true;
    int number = 0;
    while (!f.atEnd()) {
        QByteArray line = f.readLine();
        ++number;
        if (line.trimmed().isEmpty())
            continue;
        QJsonParseError parseError{};
        const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
        if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
            out.malformed.push_back({number,
                                     doc.isNull() ? QStringLiteral("not JSON (%1)").arg(parseError.errorString())
                                                  : QStringLiteral("not a JSON object")});
            continue;
        }
        QString why;
        if (auto record = TCommissioningRecord::fromJson(doc.object(), &why))
            out.records.push_back(*record);
        else
            out.malformed.push_back({number, why});
    }
    return out;
}

QString defaultCommissioningLog(const QString& projectPath)
{
    const QFileInfo info(projectPath);
    return QDir(info.absolutePath()).filePath(info.completeBaseName() + QStringLiteral("-commissioning.jsonl"));
}
