#include "CliOutputFiles.h"

#include "CliCommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kStandardOutput = QStringLiteral("-");

bool statPath(const QString& path, struct stat* st)
{
    return ::stat(QFile::encodeName(path).constData(), st) == 0;
}

// Where a file that does not exist yet would be: its folder's real path and
// its name, so "out.bin" and "./sub/../out.bin" are one file.
QString futurePath(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

bool sameFile(const QString& a, const QString& b)
{
    if (a == kStandardOutput || b == kStandardOutput)
        return a == b;
    struct stat sa = {};
    struct stat sb = {};
    const bool hasA = statPath(a, &sa);
    const bool hasB = statPath(b, &sb);
    if (hasA && hasB)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return !hasA && !hasB && futurePath(a) == futurePath(b);
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Writes all of bytes to fd; false with errno set.
bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

// A device or pipe takes the bytes as they come; nothing to rename.
bool writeDirectly(const QString& path, const QByteArray& bytes, QString* error)
{
    if (path == kStandardOutput) {
        std::fflush(stdout);
        if (!writeAll(STDOUT_FILENO, bytes)) {
            *error = QStringLiteral("standard output: %1").arg(errnoText());
            return false;
        }
        return true;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0 || !writeAll(fd, bytes)) {
        *error = QStringLiteral("%1: %2").arg(path, errnoText());
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (::close(fd) != 0) {
        *error = QStringLiteral("%1: %2").arg(path, errnoText());
        return false;
    }
    return true;
}

} // namespace

void CliOutputFiles::add(const QString& path, const QByteArray& bytes)
{
    if (path == kStandardOutput)
        cliKeepStdoutForData();
    m_files.emplace_back(path, bytes);
}

QString CliOutputFiles::clash(const std::vector<CliFileArgument>& outputs, const std::vector<CliFileArgument>& inputs)
{
    for (size_t i = 0; i < outputs.size(); ++i) {
        const CliFileArgument& out = outputs[i];
        for (const CliFileArgument& in : inputs) {
            if (in.path != kStandardOutput && sameFile(out.path, in.path))
                return QStringLiteral("%1 %2 is the same file as %3 %4, which this command reads; write elsewhere")
                    .arg(out.name, out.path, in.name, in.path);
        }
        for (size_t j = 0; j < i; ++j) {
            if (sameFile(out.path, outputs[j].path))
                return QStringLiteral("%1 %2 and %3 %4 are the same file; give each output a file of its own")
                    .arg(outputs[j].name, outputs[j].path, out.name, out.path);
        }
    }
    return {};
}

bool CliOutputFiles::commit(QString* error)
{
    std::vector<std::unique_ptr<QSaveFile>> staged;
    std::vector<const std::pair<QString, QByteArray>*> direct;
    for (const auto& file : m_files) {
        const QString& path = file.first;
        struct stat st { };
        if (path == kStandardOutput || (statPath(path, &st) && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)))) {
            direct.push_back(&file);
            continue;
        }
        if (statPath(path, &st) && S_ISDIR(st.st_mode)) {
            *error = QStringLiteral("%1: is a folder").arg(path);
            return false;
        }
        if (statPath(path, &st) && !S_ISREG(st.st_mode)) {
            *error = QStringLiteral("%1: is neither a regular file, a character device nor a pipe; nothing was "
                                    "written")
                         .arg(path);
            return false;
        }
        auto saveFile = std::make_unique<QSaveFile>(path);
        if (!saveFile->open(QIODevice::WriteOnly) || saveFile->write(file.second) != file.second.size()) {
            *error = QStringLiteral("%1: %2").arg(path, saveFile->errorString());
            return false; // the staged temporaries are removed with their QSaveFile
        }
        staged.push_back(std::move(saveFile));
    }
    // Every regular file is ready in its temporary: the direct writes cannot
    // be taken back, so they go first, and a failed one leaves the regular
    // files untouched.
    for (const auto* file : direct) {
        if (!writeDirectly(file->first, file->second, error))
            return false;
    }
    for (auto& saveFile : staged) {
        if (!saveFile->commit()) {
            *error = QStringLiteral("%1: %2").arg(saveFile->fileName(), saveFile->errorString());
            return false;
        }
    }
    return true;
}
