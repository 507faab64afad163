#pragma once
// Builds the project's image data block on a worker thread, so converting
// and compressing every image never stalls the window. The worker gets a
// copy of the handles (images are shared, not copied), so the project may be
// edited meanwhile without touching what is being built.

#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QThread;

class TImageBlockBuilder : public QObject {
    Q_OBJECT
public:
    explicit TImageBlockBuilder(QObject* parent = nullptr);
    // Waits for a build still running: its thread reads only its own copy.
    ~TImageBlockBuilder() override;

    // Starts a build; finished() follows on this object's thread.
    void start(const THandleList& list);
    bool running() const { return m_thread != nullptr; }

signals:
    // error is empty on success.
    void finished(const QByteArray& block, const QString& error);

private:
    QThread* m_thread = nullptr;
};

// A copy of the handles and their cells for a reader on another thread.
THandleList snapshotHandles(const THandleList& list);
