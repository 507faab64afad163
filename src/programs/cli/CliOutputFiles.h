#pragma once
// The output files of one command, written all or nothing: a command that
// fails leaves no new or changed file behind.

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

class CliOutputFiles {
public:
    // Keeps the bytes for path; nothing is written yet.
    void add(const QString& path, const QByteArray& bytes) { m_files.emplace_back(path, bytes); }

    // Writes each file to a temporary beside it and renames them over their
    // names only when every one was written. On false, error names the file
    // and why, and no file was created or changed.
    bool commit(QString* error);

private:
    std::vector<std::pair<QString, QByteArray>> m_files;
};
