#pragma once
// Discovery and connection (message 1028; wParam the step, lParam the
// purpose): list the candidate ports, probe one per step, accept the first
// known controller whose firmware suits the purpose, then hand over to the
// operation after the pauses the controller needs.

#include <QObject>
#include <QStringList>
#include <QTimer>

class TDeviceStepContext;

class TConnectSteps : public QObject {
    Q_OBJECT
public:
    enum Step : quint32 { kStart = 0, kNextPort = 1, kConnected = 2, kAfterDataPause = 3, kAfterFirmwarePause = 4 };

    explicit TConnectSteps(TDeviceStepContext& ops);

    void handle(quint32 step, quint32 purpose);

    QTimer data_upload_pause_Timer;
    QTimer fw_upload_pause_Timer;

private:
    void listPorts(quint32 purpose);
    void probe(quint32 purpose);
    void accept(quint32 purpose);
    void refuse(const QString& text);
    void notFound();

    TDeviceStepContext& m_ops;
    QStringList port_list;
    int scan_index = 0;
    // Why each probed port was passed over, for the log entry of a failed scan.
    QStringList m_reasons;
};
