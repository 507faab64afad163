#include "ui/app/TRecentProjects.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QSettings Settings()
{
    return QSettings(QStringLiteral("Corvane"), QStringLiteral("Corvane Configurator"));
}

QString Normalised(const QString& path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Windows file names ignore case; a project opened once as C:\A.cvp and once
// as c:\a.cvp is one entry.
bool Same_File(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

} // namespace

QStringList TRecentProjects::Paths() const
{
    // The settings file is the user's to edit; whatever is in it is read as
    // a list of names and tidied, never trusted to be one.
    QStringList paths;
    for (const QString& entry : Settings().value(Settings_Key()).toStringList()) {
        const QString path = Normalised(entry);
        if (path.isEmpty())
            continue;
        bool seen = false;
        for (const QString& p : std::as_const(paths))
            seen = seen || Same_File(p, path);
        if (!seen)
            paths << path;
        if (paths.size() == kMaxEntries)
            break;
    }
    return paths;
}

void TRecentProjects::Add(const QString& path)
{
    const QString added = Normalised(path);
    if (added.isEmpty())
        return;
    QStringList paths = Paths();
    paths.removeIf([&added](const QString& p) { return Same_File(p, added); });
    paths.prepend(added);
    Store(paths.mid(0, kMaxEntries));
}

void TRecentProjects::Remove(const QString& path)
{
    const QString removed = Normalised(path);
    QStringList paths = Paths();
    paths.removeIf([&removed](const QString& p) { return Same_File(p, removed); });
    Store(paths);
}

void TRecentProjects::Clear()
{
    Store({});
}

void TRecentProjects::Store(const QStringList& paths)
{
    QSettings settings = Settings();
    settings.setValue(Settings_Key(), paths);
}
