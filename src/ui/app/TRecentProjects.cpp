#include "ui/app/TRecentProjects.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QSettings recentSettings()
{
    return QSettings(QStringLiteral("Corvane"), QStringLiteral("Corvane Configurator"));
}

QString normalised(const QString& path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Windows file names ignore case; a project opened once as C:\A.cvp and once
// as c:\a.cvp is one entry.
bool sameFile(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

} // namespace

QStringList TRecentProjects::paths() const
{
    // The settings file is the user's to edit; whatever is in it is read as
    // a list of names and tidied, never trusted to be one.
    QStringList paths;
    for (const QString& entry : recentSettings().value(settingsKey()).toStringList()) {
        const QString path = normalised(entry);
        if (path.isEmpty())
            continue;
        bool seen = false;
        for (const QString& p : std::as_const(paths))
            seen = seen || sameFile(p, path);
        if (!seen)
            paths << path;
        if (paths.size() == kMaxEntries)
            break;
    }
    return paths;
}

void TRecentProjects::add(const QString& path)
{
    const QString added = normalised(path);
    if (added.isEmpty())
        return;
    QStringList paths = this->paths();
    paths.removeIf([&added](const QString& p) { return sameFile(p, added); });
    paths.prepend(added);
    store(paths.mid(0, kMaxEntries));
}

void TRecentProjects::remove(const QString& path)
{
    const QString removed = normalised(path);
    QStringList paths = this->paths();
    paths.removeIf([&removed](const QString& p) { return sameFile(p, removed); });
    store(paths);
}

void TRecentProjects::clear()
{
    store({});
}

void TRecentProjects::store(const QStringList& paths)
{
    QSettings settings = recentSettings();
    settings.setValue(settingsKey(), paths);
}
