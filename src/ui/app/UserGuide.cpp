#include "ui/app/UserGuide.h"

#include "ui/common/gen_lib.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

QString userGuidePath(const QString& programDir)
{
    return QDir::cleanPath(programDir + QStringLiteral("/../share/corvane-configurator/guide/index.html"));
}

void openUserGuide(const QString& programDir)
{
    const QString path = userGuidePath(programDir);
    if (!QFileInfo(path).isFile()) {
        Show_Message_Box(QStringLiteral("The user guide is not installed (looked for %1).      ")
                             .arg(QDir::toNativeSeparators(path)),
                         TMsgDlgType::MtError, QMessageBox::Ok);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        Show_Message_Box(
            QStringLiteral("No program to show the user guide was found.      \rOpen %1 in a web browser.      ")
                .arg(QDir::toNativeSeparators(path)),
            TMsgDlgType::MtError, QMessageBox::Ok);
}
