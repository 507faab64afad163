#pragma once
// Turns SIGINT, SIGTERM and SIGHUP into a clean quit of the Qt event loop.

#include <QObject>

class QSocketNotifier;

class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    bool isValid() const { return m_notifier != nullptr; }

signals:
    void stopRequested(int signalNumber);

private:
    static void onSignal(int signalNumber);
    static int sPipe[2];
    QSocketNotifier* m_notifier = nullptr;
};
