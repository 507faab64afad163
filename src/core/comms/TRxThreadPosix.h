#pragma once
// The receive thread of the POSIX backend: polls the open port's descriptor
// and forwards every chunk to the user-interface thread. It keeps its own copies of what it needs and touches
// nothing else of the component.

#include <QThread>

#include <cstdint>
#include <memory>

class RxChunkQueue;

class TRxThread : public QThread {
    Q_OBJECT
public:
    // closeFd: read end of the close pipe; readable once the thread must end.
    TRxThread(int portFd, int closeFd, uint32_t readIntervalMs, std::shared_ptr<RxChunkQueue> queue,
              QObject* parent = nullptr);

protected:
    void run() override;

private:
    enum class Wait { Data, Close, Failed };
    Wait waitForData(int timeoutMs);
    int gapMs() const;

    int m_portFd;
    int m_closeFd;
    uint32_t m_interval;
    std::shared_ptr<RxChunkQueue> m_queue;
};
