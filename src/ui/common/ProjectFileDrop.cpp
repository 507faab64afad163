#include "ui/common/ProjectFileDrop.h"

#include <QMimeData>
#include <QUrl>

bool Is_Project_File_Name(const QString& path)
{
    return path.endsWith(QStringLiteral(".cvp"), Qt::CaseInsensitive)
        || path.endsWith(QStringLiteral(".bdp"), Qt::CaseInsensitive);
}

QString Dropped_Project_File(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile() && Is_Project_File_Name(url.toLocalFile()))
            return url.toLocalFile();
    return {};
}

bool Only_Project_Files(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return false;
    bool any = false;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile() || !Is_Project_File_Name(url.toLocalFile()))
            return false;
        any = true;
    }
    return any;
}
