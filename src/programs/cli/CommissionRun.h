#pragma once
// The parent side of corvane-cli commission: starts one worker process per
// port (CommissionWorker.h), at most a given number at a time, follows their
// progress, and keeps their results for the summary.

#include "CommissionWorker.h"

#include "core/commissioning/CommissioningRecord.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CommissionRun : public QObject {
public:
    struct Port {
        TCommissionJob job;
        std::unique_ptr<QProcess> process;
        QByteArray pending; // stdout not yet a whole line
        QString state = QStringLiteral("waiting");
        QString identity;
        bool started = false;
        bool done = false;
        TCommissioningRecord record;
        QString logError;
    };

    // Each job's port is its own; jobs is the most run at once (0: all).
    void start(const std::vector<TCommissionJob>& jobs, int atOnce);
    // Asks every running worker to stop (it logs its attempt as failed) and
    // starts no further one.
    void interrupt();
    bool finished() const;
    const std::vector<std::unique_ptr<Port>>& ports() const { return m_ports; }

    // Called on every change of a port's state, and when a port is done.
    std::function<void(const Port&)> onChanged;
    std::function<void(const Port&)> onDone;
    // Every port is done (or, after interrupt(), was never started).
    std::function<void()> onFinished;

private:
    void launch(Port& p);
    void readEvents(Port& p);
    void ended(Port& p, int exitCode, QProcess::ExitStatus status);
    void startMore();

    std::vector<std::unique_ptr<Port>> m_ports;
    int m_atOnce = 0;
    bool m_interrupted = false;
};

// The summary table, one row per record.
QString Commission_Table(const std::vector<TCommissioningRecord>& records);
// "/dev/ttyUSB0  5813 v2.01  config, images  verify passed  41.2 s  ok"
QString Commission_Result_Line(const TCommissioningRecord& r);
