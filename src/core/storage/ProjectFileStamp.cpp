#include "core/storage/ProjectFileStamp.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

ProjectFileStamp ProjectFileStamp::of(const QString& path)
{
    ProjectFileStamp s;
#ifdef Q_OS_UNIX
    struct stat st { };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.device = uint64_t(st.st_dev);
    s.inode = uint64_t(st.st_ino);
    s.size = int64_t(st.st_size);
    s.modifiedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return s;
    s.exists = true;
    s.size = info.size();
    s.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return s;
}
