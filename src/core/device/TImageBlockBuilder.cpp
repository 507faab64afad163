#include "core/device/TImageBlockBuilder.h"

#include "core/imaging/ImageDataBlock.h"

#include <QThread>

#include <exception>
#include <memory>

THandleList snapshotHandles(const THandleList& list)
{
    THandleList copy;
    for (const auto& h : list)
        copy.push_back(h->clone());
    return copy;
}

TImageBlockBuilder::TImageBlockBuilder(QObject* parent) : QObject(parent) { }

TImageBlockBuilder::~TImageBlockBuilder()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void TImageBlockBuilder::start(const THandleList& list)
{
    if (m_thread)
        return;
    struct Result {
        QByteArray block;
        QString error;
    };
    auto result = std::make_shared<Result>();
    auto handles = std::make_shared<THandleList>(snapshotHandles(list));
    m_thread = QThread::create([result, handles] {
        try {
            Build_Image_Data(result->block, *handles);
        } catch (const std::exception& e) {
            result->block.clear();
            result->error = QString::fromUtf8(e.what());
        }
        // The copy goes with the thread that read it.
        handles->clear();
    });
    connect(m_thread, &QThread::finished, this, [this, result] {
        QThread* done = m_thread;
        m_thread = nullptr;
        done->deleteLater();
        emit finished(result->block, result->error);
    });
    m_thread->start();
}
