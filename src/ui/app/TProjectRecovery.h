#pragma once
// Keeps an unsaved project safe from a crash or a power cut. While the
// project is modified, its state is written to this configurator's recovery
// file after each change (at most once a second) and every 30 s when it
// changed since the last write (an idle project is not written again); a save, a
// return to the saved state, a close and a normal end remove it. At start-up
// the files other configurators left behind are offered: restore, keep for
// later, or discard.
//
// Files live in <AppLocalDataLocation>/recovery: <session>.cvr beside
// <session>.lock, the lock held for as long as the configurator runs, so a
// file whose lock is held belongs to a configurator still running and is
// left alone. A file that cannot be read is reported in one line and moved
// aside to <name>.unreadable, never deleted.
//
// The state is taken on the window thread (a snapshot that shares the
// pictures); turning it into bytes and writing them runs on a worker thread.

#include "core/document/TProjectState.h"

#include <QDateTime>
#include <QFuture>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <memory>

class Tbmpgen_Form;
class TSessionLock;

class TProjectRecovery : public QObject {
    Q_OBJECT
public:
    // folder: where the files go; empty for the user's data folder.
    explicit TProjectRecovery(Tbmpgen_Form& window, const QString& folder = QString(), QObject* parent = nullptr);
    ~TProjectRecovery() override;

    static QString defaultFolder();
    QString folder() const { return m_folder; }
    QString filePath() const { return m_filePath; }

    // At start-up: asks about each file left behind, newest first, until one
    // is restored.
    void offerRecovered();
    // Starts a write as the timers do: the state is taken here, the bytes are
    // made and written on a worker thread.
    void writeInBackground();
    // Writes now (as the timers would), and waits until it is on disk.
    void writeNow();
    // The periodic write: starts one only when the project is modified and
    // changed since the last write began. Returns whether it started one.
    bool writeIfChanged();
    void waitForWrite();

    static QString offerText(const QString& name, const QString& path, const QDateTime& lastChange);
    static QString unreadableText(const QString& file, const QString& why, const QString& aside);

    // Milliseconds between the periodic writes, and at least between two
    // writes after changes.
    static constexpr int kPeriodMs = 30000;
    static constexpr int kThrottleMs = 1000;

signals:
    // A write reached the disk (tests and the benchmark wait for it).
    void written();

private:
    void changed();
    void modifiedChanged(bool modified);
    void startWrite();
    void writeFinished();
    void removeFile();
    bool restore(const QString& file);

    Tbmpgen_Form& m_window;
    QString m_folder;
    QString m_session;
    QString m_filePath;
    std::unique_ptr<TSessionLock> m_lock;
    QTimer m_period;
    QTimer m_throttle;
    QDateTime m_lastChange;
    // One thread that stays: the window thread never waits for one to start.
    QThreadPool m_pool;
    QFuture<void> m_writing;
    bool m_again = false;       // a change came while writing
    bool m_fileCurrent = false; // the file holds (or is getting) m_writtenRevision
    quint64 m_writtenRevision = 0;
    quint64 m_generation = 0; // a removal makes writes still under way stale
};
