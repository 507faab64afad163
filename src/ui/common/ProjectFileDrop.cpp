#include "ui/common/ProjectFileDrop.h"

#include <QMimeData>
#include <QUrl>

bool isProjectFileName(const QString& path)
{
    return path.endsWith(QStringLiteral(".cvp"), Qt::CaseInsensitive)
        || path.endsWith(QStringLiteral(".bdp"), Qt::CaseInsensitive);
}

QString droppedProjectFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile() && isProjectFileName(url.toLocalFile()))
            return url.toLocalFile();
    return {};
}

bool onlyProjectFiles(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return false;
    bool any = false;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile() || !isProjectFileName(url.toLocalFile()))
            return false;
        any = true;
    }
    return any;
}
