#pragma once
// corvane-cli commission --watch on the console: the watch
// (TCommissioningWatch) with a line per controller, the terminal's bell for
// each result, and the event loop run until Ctrl+C.

#include "core/commissioning/CommissioningPlan.h"
#include "core/commissioning/CommissioningRecord.h"
#include "core/commissioning/TCommissioningWatch.h"

#include <QObject>
#include <QStringList>

#include <vector>

class CommissionWatch : public QObject {
public:
    CommissionWatch(const QString& port, const TCommissioningPlan& plan, const TCommissioningOptions& options);
    ~CommissionWatch() override;

    // Runs until stop(); returns every controller's record, in order.
    std::vector<TCommissioningRecord> run();
    // Ends the watch: a commission under way is stopped and put on record.
    void stop(int signalNumber) { m_watch.stop(signalNumber); }
    QStringList logErrors() const { return m_watch.logErrors(); }

private:
    TCommissioningWatch m_watch;
    bool m_terminal = false;
};
