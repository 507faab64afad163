#pragma once
// A lock a running configurator holds on a file for as long as it runs. The
// system lets go of it when the process ends in any way (a crash, SIGKILL, a
// power cut), so a lock nobody holds means its owner is gone.

#include <QLockFile>
#include <QString>

#include <memory>

class TSessionLock {
public:
    TSessionLock() = default;
    ~TSessionLock();
    TSessionLock(const TSessionLock&) = delete;
    TSessionLock& operator=(const TSessionLock&) = delete;

    // Creates the file when needed; false when another process holds it.
    bool acquire(const QString& path);
    void release();
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    std::unique_ptr<QLockFile> m_lock; // where the system has no flock()
};
