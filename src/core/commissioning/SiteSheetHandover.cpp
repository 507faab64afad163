#include "core/commissioning/SiteSheetHandover.h"

#include <QDir>
#include <QSaveFile>

QStringList siteSheetWorkerArguments(const TSiteSheet& sheet, const QString& folder, bool only, QString* error)
{
    QSaveFile copy(QDir(folder).filePath(QStringLiteral("site-sheet.csv")));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(sheet.bytes()) != sheet.bytes().size() || !copy.commit()) {
        *error = QStringLiteral("the site sheet could not be handed to the workers: %1").arg(copy.errorString());
        return {};
    }
    QStringList args{QStringLiteral("--") + QLatin1String(kSiteCopyOption), copy.fileName(),
                     QStringLiteral("--") + QLatin1String(kSiteShaOption),  sheet.sha256(),
                     QStringLiteral("--") + QLatin1String(kSiteNameOption), sheet.fileName()};
    if (only)
        args << QStringLiteral("--") + QLatin1String(kSiteOnlyOption);
    return args;
}
