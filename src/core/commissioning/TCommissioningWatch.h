#pragma once
// Controller after controller through one adapter: the adapter stays put and
// the installer moves its cable from controller to controller. Polls the
// port (one identification a second at most, never a write), commissions a
// controller once it has identified itself twice in a row, then waits for
// it to stop answering (with a grace for its restart) before looking for the
// next. The command line's --watch and the window's watch both drive it.

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

class TCommissioningWatch : public QObject {
    Q_OBJECT
public:
    // After a commission the controller restarts; it is not taken for gone
    // while it does.
    static constexpr int kRestartGraceMs = 3000;
    static constexpr int kPollMs = 1000;
    static constexpr int kAnswersBeforeCommissioning = 2;

    enum class State { Waiting, Commissioning, Leaving, Stopped };

    TCommissioningWatch(const QString& port, const TCommissioningPlan& plan, const TCommissioningOptions& options,
                        QObject* parent = nullptr);
    ~TCommissioningWatch() override;

    // Writes the plan for the workers and starts looking; false with *error
    // when the plan cannot be handed to them.
    bool start(QString* error);
    // Ends the watch: a commission under way is stopped and put on record
    // first. stopped() follows once nothing is left running.
    void stop(int signalNumber);

    State state() const { return m_state; }
    QString port() const { return m_port; }
    // The controller being commissioned (its number in the watch, from 1),
    // as the runner sees it.
    int index() const { return m_index; }
    const TCommissioningRunner& runner() const { return *m_run; }
    const std::vector<TCommissioningRecord>& records() const { return m_records; }
    QStringList logErrors() const { return m_logErrors; }

signals:
    void portChanged(int runnerIndex);
    void controllerFinished(const TCommissioningRecord& record);
    void controllerRemoved();
    void stateChanged();
    void stopped();

private:
    void poll();
    void schedule(int delayMs);
    void commission();
    void finish();
    void setState(State state);

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
    int m_index = 0;
    std::vector<TCommissioningRecord> m_records;
    QStringList m_logErrors;
};
