#pragma once
// corvane-cli commission --watch: the adapter stays in the laptop and the
// installer moves its cable from controller to controller. Polls the port
// (one identification a second at most, never a write), commissions a
// controller once it has identified itself twice in a row, then waits for
// it to stop answering before looking for the next.

#include "core/commissioning/CommissioningPlan.h"
#include "core/commissioning/CommissioningRecord.h"
#include "core/commissioning/TCommissioningRunner.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

class TVrexComms;

class CommissionWatch : public QObject {
public:
    // After a commission the controller restarts; it is not taken for gone
    // while it does.
    static constexpr int kRestartGraceMs = 3000;
    static constexpr int kPollMs = 1000;
    static constexpr int kAnswersBeforeCommissioning = 2;

    CommissionWatch(const QString& port, const TCommissioningPlan& plan, const TCommissioningOptions& options);
    ~CommissionWatch() override;

    // Runs until stop(); returns every controller's record, in order.
    std::vector<TCommissioningRecord> run();
    // Ends the watch: a commission under way is stopped and put on record.
    void stop(int signalNumber);
    QStringList logErrors() const { return m_logErrors; }

private:
    enum class State { Waiting, Commissioning, Leaving };

    void poll();
    void schedule(int delayMs);
    void commission();
    void finish();

    QString m_port;
    // One run for the whole watch: its plan is built once, each controller
    // is a port added to it.
    std::unique_ptr<TCommissioningRunner> m_run;
    std::unique_ptr<TVrexComms> m_comms;
    QTimer m_timer;
    QElapsedTimer m_sincePoll;
    State m_state = State::Waiting;
    int m_answers = 0;
    QString m_lastIdentity;
    bool m_probing = false;
    bool m_stopping = false;
    bool m_terminal = false;
    int m_index = 0;
    std::vector<TCommissioningRecord> m_records;
    QStringList m_logErrors;
};
