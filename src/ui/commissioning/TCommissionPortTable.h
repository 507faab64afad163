#pragma once
// The commissioning window's table: one row per port, with a box to include
// it, the adapter's serial number, the controller once it has identified
// itself, a progress bar, the state, the time taken and, on failure, the
// reason. Rows come from the adapter search (and leave with the adapter
// unless a run is using them) and from port names given by the user, which
// stay.

#include "core/commissioning/TCommissioningRunner.h"
#include "core/device/CommPortList.h"

#include <QTableWidget>

#include <functional>
#include <vector>

class TCommissionPortTable : public QTableWidget {
    Q_OBJECT
public:
    enum Column {
        kPortColumn,
        kSerialColumn,
        kModelColumn,
        kPartColumn,
        kFirmwareColumn,
        kProgressColumn,
        kStateColumn,
        kTimeColumn,
        kReasonColumn,
        kSiteColumn,
        kColumnCount
    };
    enum class Outcome { None, Running, Ok, Failed };

    explicit TCommissionPortTable(QWidget* parent = nullptr);

    // The row of a port named by the user (kept when no adapter lists it);
    // false when a row leads to the same device already.
    bool addNamedPort(const QString& port);
    // The search's adapters: new ones get a ticked row, rows of adapters
    // gone leave unless named or running.
    void showAdapters(const std::vector<TCandidatePort>& adapters);

    int rowOf(const QString& port) const; // -1 when there is none
    QString portAt(int row) const;
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    Outcome outcome(int row) const { return m_rows[size_t(row)].outcome; }

    // A row about to be run: its last result cleared.
    void markWaiting(int row);
    // What the run knows of the row's port now. verify: the run reads the
    // configuration back (the state says so between the two parts);
    // bothParts: configuration and images share the bar.
    void showRunPort(int row, const TCommissioningRunner::Port& p, bool verify, bool bothParts);
    // The site sheet's row each port gets (label(port, adapter serial)).
    void showSiteRows(const std::function<QString(const QString& port, const QString& serial)>& label);

private:
    struct Row {
        QString port;
        bool named = false;
        bool listed = false;
        Outcome outcome = Outcome::None;
    };

    int appendRow(const QString& port, const QString& serial);
    void setText(int row, int column, const QString& text);

    std::vector<Row> m_rows;
};

// "waiting", "identifying", "configuration", "verify", "images", "done", "failed", "not attempted"
QString commissionRowState(const TCommissioningRunner::Port& p, bool verify);
