#pragma once
// The projects opened or saved last, newest first, kept in the user's
// settings so the list outlives the program.

#include <QString>
#include <QStringList>

class TRecentProjects {
public:
    static constexpr int kMaxEntries = 8;

    // The list as stored: absolute paths, no duplicates, at most kMaxEntries.
    QStringList Paths() const;
    // Puts path first, dropping an older entry for the same file and the
    // oldest beyond kMaxEntries.
    void Add(const QString& path);
    void Remove(const QString& path);
    void Clear();

    static QString Settings_Key() { return QStringLiteral("RecentProjects"); }

private:
    void Store(const QStringList& paths);
};
