#pragma once
// The output files of one command, written all or nothing: a command that
// fails leaves no new or changed file behind. Regular files are written to a
// temporary beside them and renamed into place; a character device (such as
// /dev/null), a named pipe and "-" (standard output) are written directly,
// since renaming a file over them would replace the device or the pipe.

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// A file a command names, with how the user named it ("-o", "--csv", "LOG").
struct CliFileArgument {
    QString name;
    QString path;
};

class CliOutputFiles {
public:
    // Keeps the bytes for path; nothing is written yet. "-" is standard
    // output: the command's own lines then go to standard error.
    void add(const QString& path, const QByteArray& bytes);

    // Writes every file; regular ones are renamed over their names only when
    // every output was written. On false, error names the file and why, and
    // no regular file was created or changed.
    bool commit(QString* error);

    // Checked before a command reads anything: an output that is one of the
    // command's inputs, or another of its outputs (the same file after links
    // are followed), would destroy what the command reads or writes. Returns
    // the one-line problem, or nothing.
    static QString clash(const std::vector<CliFileArgument>& outputs, const std::vector<CliFileArgument>& inputs);

private:
    std::vector<std::pair<QString, QByteArray>> m_files;
};
