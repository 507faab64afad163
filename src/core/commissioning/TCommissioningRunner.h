#pragma once
// One commissioning run: a plan (CommissioningPlan.h) sent to many ports,
// each port through a worker process of its own, at most a given number at
// a time. It follows each worker's progress, collects its record, puts on
// record every attempt a worker could not (a crash, a port never started
// because the run was stopped) and says when all are done. The command line
// and the window both drive it through this interface.
//
// A worker is a program that takes: PORT PROJECT --log LOG --plan FILE
// --plan-sha256 HASH --project-sha256 HASH [--config] [--images] [--verify]
// (--firmware and its options come with the options' worker arguments)
// [--watch-session TIME --watch-index N], and prints JSON lines on stdout:
//   {"event":"identified","part_number":5813,"firmware":"2.01"}
//   {"event":"upgrading","from":"1.04","to":"2.01"}   (with --firmware)
//   {"event":"progress","bar":"firmware"|"config"|"images","percent":40}
//   {"event":"result","record":{...log record...},"log_error":"..."}

#include "core/commissioning/CommissioningPlan.h"
#include "core/commissioning/CommissioningRecord.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTemporaryDir;

struct TCommissioningOptions {
    bool verify = false;
    QString log;          // absolute path of the commissioning log
    QString watchSession; // controllers one after another through one adapter
    // The worker: a program and the arguments that come before the port's.
    QString workerProgram;
    QStringList workerArguments;
};

class TCommissioningRunner : public QObject {
    Q_OBJECT
public:
    enum class State { Waiting, Connecting, Connected, Sending, Ok, Failed, NotAttempted };

    struct Port {
        QString port;
        int watchIndex = 0;
        State state = State::Waiting;
        QString identity; // "5813 v2.01" once the controller identified itself
        QString activity; // "configuration 40 %"
        QString bar;      // the part being sent: "firmware", "config" or "images"
        int percent = 0;  // of that part
        TCommissioningRecord record;
        QString logError;
        bool started = false;
        bool done = false;
        // The worker's side.
        std::unique_ptr<QProcess> process;
        QByteArray pending; // stdout not yet a whole line
        QElapsedTimer clock;
    };

    // The plan is written once, to a private file every worker reads.
    TCommissioningRunner(TCommissioningPlan plan, TCommissioningOptions options, QObject* parent = nullptr);
    ~TCommissioningRunner() override;

    // False with *error when the plan cannot be handed to workers.
    bool preparePlanFile(QString* error);
    // Adds a port to the run; it starts when a place is free.
    int addPort(const QString& port, int watchIndex = 0);
    // At most atOnce workers at a time (at least 1).
    void start(int atOnce);
    // Stops every running worker (each puts its attempt on record) and puts
    // the ports still waiting on record as not attempted. The workers get
    // the signal that stopped the run, so their records name it.
    void stop(int signalNumber = 15);
    bool isFinished() const;
    bool isStopped() const { return m_stopped; }

    int portCount() const { return int(m_ports.size()); }
    const Port& port(int index) const { return *m_ports[size_t(index)]; }
    const TCommissioningPlan& plan() const { return m_plan; }

signals:
    void portAdded(int index);
    void portChanged(int index);
    void portFinished(int index, const TCommissioningRecord& record);
    void allFinished();

private:
    void startMore();
    void launch(int index);
    void readEvents(int index);
    void ended(int index, int exitCode, QProcess::ExitStatus status);
    void putOnRecord(Port& p, const QString& message);
    void checkFinished();
    QStringList workerArguments(const Port& p) const;

    TCommissioningPlan m_plan;
    TCommissioningOptions m_options;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_planFile;
    QString m_planSha256;
    std::vector<std::unique_ptr<Port>> m_ports;
    int m_atOnce = 1;
    bool m_started = false;
    bool m_stopped = false;
    bool m_finishedSignalled = false;
};

QString commissioningStateText(TCommissioningRunner::State state);
