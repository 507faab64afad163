#pragma once
// An advisory lock on a project file for one whole read-change-write: two
// programs that both read the file, change it and write it back would
// otherwise each write the file they read, and the first one's change would
// be lost while both say it succeeded. Every program that rewrites a project
// (the command line's editing commands, the window's save) takes it.
//
// The lock sits on the file itself (no lock file beside it). The writer
// renames a new file over the old one, so a waiter that finally gets the
// lock checks that the name still leads to the file it locked and otherwise
// locks the new one.

#include <QString>

class ProjectFileLock {
public:
    ProjectFileLock() = default;
    ~ProjectFileLock();
    ProjectFileLock(const ProjectFileLock&) = delete;
    ProjectFileLock& operator=(const ProjectFileLock&) = delete;

    // Waits up to waitMs for the lock on the file at path. True when it is
    // held, and also when there is no file yet (nothing to protect). False
    // with a one-line error naming the program that holds it, when known.
    bool acquire(const QString& path, int waitMs, QString* error);
    void release();
    bool held() const { return m_fd >= 0; }

    // How long the programs wait for another one to finish before giving up.
    static constexpr int kDefaultWaitMs = 10000;

private:
    int m_fd = -1;
};
