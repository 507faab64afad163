#pragma once
// The projects opened or saved last, newest first, kept in the user's
// settings so the list outlives the program.

#include <QString>
#include <QStringList>

class TRecentProjects {
public:
    static constexpr int kMaxEntries = 8;

    // The list as stored: absolute paths, no duplicates, at most kMaxEntries.
    QStringList paths() const;
    // Puts path first, dropping an older entry for the same file and the
    // oldest beyond kMaxEntries.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

    static QString settingsKey() { return QStringLiteral("RecentProjects"); }

private:
    void store(const QStringList& paths);
};
