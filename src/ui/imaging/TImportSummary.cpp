#include "ui/imaging/TImportSummary.h"

#include "core/imaging/ImageImport.h"
#include "core/model/ProjectModel.h"

#include <QFileInfo>

namespace {
QString whyRefused(int status, const QString& reason)
{
    switch (status) {
    case kImageListFull: return QStringLiteral("the image group is full (at most %1 images)").arg(kMaxImagesPerHandle);
    case kNotEnoughFreeStorageMemory: return QStringLiteral("not enough free image memory left on the controller");
    default: break;
    }
    return reason.isEmpty() ? importStatusText(status) : reason;
}

QString plural(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}
} // namespace

void TImportSummary::clear()
{
    m_added = 0;
    m_refused.clear();
}

void TImportSummary::add(const QString& path, int status, const QString& reason)
{
    if (status == kImageAddedSuccessfully) {
        ++m_added;
        return;
    }
    QString why = whyRefused(status, reason).trimmed();
    if (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    m_refused << QStringLiteral("%1: %2 - %3").arg(QFileInfo(path).fileName(), importStatusText(status), why);
}

QString TImportSummary::text() const
{
    const QString end = QStringLiteral("      ");
    QString text = QStringLiteral("Added %1, refused %2.")
                       .arg(plural(m_added, "image", "images"), plural(refused(), "file", "files"))
        + end;
    for (const QString& line : m_refused)
        text += QStringLiteral("\r") + line + end;
    return text;
}
