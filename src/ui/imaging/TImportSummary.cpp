#include "ui/imaging/TImportSummary.h"

#include "core/imaging/ImageImport.h"
#include "core/model/ProjectModel.h"

#include <QFileInfo>

namespace {
QString Why(int status, const QString& reason)
{
    switch (status) {
    case Image_List_Full: return QStringLiteral("the image group is full (at most %1 images)").arg(kMaxImagesPerHandle);
    case Not_Enough_Free_Storage_Memory: return QStringLiteral("not enough free image memory left on the controller");
    default: break;
    }
    return reason.isEmpty() ? Import_Status_Text(status) : reason;
}

QString Plural(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}
} // namespace

void TImportSummary::Clear()
{
    m_added = 0;
    m_refused.clear();
}

void TImportSummary::Add(const QString& path, int status, const QString& reason)
{
    if (status == Image_Added_Successfully) {
        ++m_added;
        return;
    }
    QString why = Why(status, reason).trimmed();
    if (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    m_refused << QStringLiteral("%1: %2 - %3").arg(QFileInfo(path).fileName(), Import_Status_Text(status), why);
}

QString TImportSummary::Text() const
{
    const QString end = QStringLiteral("      ");
    QString text = QStringLiteral("Added %1, refused %2.")
                       .arg(Plural(m_added, "image", "images"), Plural(Refused(), "file", "files"))
        + end;
    for (const QString& line : m_refused)
        text += QStringLiteral("\r") + line + end;
    return text;
}
