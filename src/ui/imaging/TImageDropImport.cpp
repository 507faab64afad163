#include "ui/imaging/TImageDropImport.h"

#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

TImageDropImport::TImageDropImport(QObject* parent) : QObject(parent)
{
    // Every core prepares files: the window thread only applies what is
    // prepared, a short step per file, and keeps answering between them.
    // Leaving it a core of its own made a drop on two cores run on one.
    m_pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    connect(&m_watcher, &QFutureWatcher<TPreparedImage>::resultsReadyAt, this, &TImageDropImport::onReady);
    connect(&m_watcher, &QFutureWatcher<TPreparedImage>::finished, this, &TImageDropImport::handBackInOrder);
}

TImageDropImport::~TImageDropImport()
{
    cancelImport();
}

void TImageDropImport::start(const QStringList& paths, const TImportTarget& target, bool skipPreparation)
{
    cancelImport();
    m_paths = paths;
    m_target = target;
    m_waiting.clear();
    m_next = 0;
    m_running = true;
    m_skip = skipPreparation;
    emit progress(0, int(m_paths.size()));
    if (m_skip) {
        // Nothing to prepare; hand the files back from the event loop so the
        // caller sees the same order of events as for any drop.
        QMetaObject::invokeMethod(this, &TImageDropImport::handBackInOrder, Qt::QueuedConnection);
        return;
    }
    const TImportTarget copy = target;
    m_watcher.setFuture(
        QtConcurrent::mapped(&m_pool, m_paths, [copy](const QString& path) { return prepareImport(path, copy); }));
}

void TImageDropImport::cancelImport()
{
    if (!m_running)
        return;
    m_running = false;
    m_watcher.cancel();
    m_watcher.waitForFinished();
    m_waiting.clear();
}

void TImageDropImport::waitForFinished()
{
    if (!m_running)
        return;
    if (!m_skip)
        m_watcher.waitForFinished();
    handBackInOrder();
}

void TImageDropImport::onReady(int begin, int end)
{
    if (!m_running)
        return;
    for (int i = begin; i < end; ++i)
        m_waiting.emplace(i, m_watcher.resultAt(i));
    handBackInOrder();
}

void TImageDropImport::handBackInOrder()
{
    if (!m_running)
        return;
    const int total = int(m_paths.size());
    if (!m_skip && m_watcher.isFinished()) {
        // The last results may not have been announced yet.
        for (int i = m_next; i < total; ++i)
            if (!m_waiting.count(i) && m_watcher.future().isResultReadyAt(i))
                m_waiting.emplace(i, m_watcher.resultAt(i));
    }
    while (m_running && m_next < total) {
        TPreparedImage image;
        if (m_skip) {
            image.path = m_paths.at(m_next);
            image.name = imageNameFromFile(image.path);
        } else {
            auto found = m_waiting.find(m_next);
            if (found == m_waiting.end())
                return;
            image = std::move(found->second);
            m_waiting.erase(found);
        }
        ++m_next;
        emit prepared(m_target, &image);
        emit progress(m_next, total);
    }
    if (m_running && m_next >= total)
        finish();
}

void TImageDropImport::finish()
{
    m_running = false;
    m_waiting.clear();
    // The finished future still holds every result; let it go once the
    // watcher's own signal has returned.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_running)
                m_watcher.setFuture(QFuture<TPreparedImage>());
        },
        Qt::QueuedConnection);
    emit finished(m_target);
}
