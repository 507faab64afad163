#pragma once
// Imports the files of one drop without holding up the window: the files are
// decoded, checked, estimated and given their thumbnails on worker threads,
// all at once, and each result is handed back on the window thread strictly
// in the order of the drop, so what ends up in the project is exactly what
// importing the files one after another gives.

#include "core/imaging/ImageImport.h"

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <map>

class TImageDropImport : public QObject {
    Q_OBJECT
public:
    explicit TImageDropImport(QObject* parent = nullptr);
    ~TImageDropImport() override;

    // Starts preparing the files for target. skipPreparation: the handle is
    // already full, so every file will be refused before it is read.
    void start(const QStringList& paths, const TImportTarget& target, bool skipPreparation);
    bool isRunning() const { return m_running; }
    // Drops what is still being prepared; nothing more is handed back.
    void cancelImport();
    // Waits, keeping the window thread's own events waiting, until every file
    // has been handed back (for callers that cannot go on without the result).
    void waitForFinished();

signals:
    // One file, in drop order, on the window thread.
    void prepared(const TImportTarget& target, TPreparedImage* image);
    void progress(int done, int total);
    void finished(const TImportTarget& target);

private:
    void onReady(int begin, int end);
    void handBackInOrder();
    void finish();

    // A pool of our own: Qt splits its image conversions on the window
    // thread over the global pool and waits for them, so long imports there
    // would hold the window up until they end.
    QThreadPool m_pool;
    QFutureWatcher<TPreparedImage> m_watcher;
    QStringList m_paths;
    TImportTarget m_target;
    std::map<int, TPreparedImage> m_waiting; // ready, but an earlier file is not
    int m_next = 0;
    bool m_running = false;
    bool m_skip = false;
};
