#pragma once
// "Commission...": the open project sent to many controllers at once, one
// worker process per port (TCommissioningRunner), each row of the table
// showing how its controller is doing. No message box appears for any
// controller: a failed row keeps its reason and the others carry on. Every
// attempt goes to the commissioning log the window's own uploads go to.

#include "core/commissioning/CommissioningPlan.h"
#include "core/commissioning/TCommissioningRunner.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class TAdapterPoller;
class TCommissionPortTable;
class TCommissioningRunner;
class TCommissionWatchPanel;
class TSiteSheetPanel;

struct TCommissionSetup {
    // The project file whose bytes are sent (saved first when it has to
    // be); empty with one line in *error when nothing may be sent.
    std::function<QString(QString* error)> projectFile;
    std::function<QString()> logPath;
    // Why no run may start now (another device operation is running); empty
    // when one may.
    std::function<QString()> busyReason;
    QString workerProgram; // empty: workerError says why
    QString workerError;
    QStringList workerArguments{QStringLiteral("commission"), QStringLiteral("--worker")};
    // The ports (virtual controllers) this build's stand-in firmware may go to.
    std::function<QStringList()> placeholderFirmwarePorts;
};

class TCommissionWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultJobs = 16;

    explicit TCommissionWindow(TCommissionSetup setup, QWidget* parent = nullptr);
    ~TCommissionWindow() override;

    // A row for a port the search does not list; false when it is there.
    bool addPort(const QString& port);
    // Where "Add Port..." asks for the name (a dialog unless a test says).
    void setPortAsker(std::function<QString()> ask) { m_askPort = std::move(ask); }
    // A run of the table or a watch is under way (or being prepared).
    bool isRunning() const;
    // Stops the run and waits (keeping the window alive) until every
    // attempt is on record, at most timeoutMs.
    void stopAndWait(int timeoutMs);

    TCommissionPortTable* portTable() const { return m_table; }
    TAdapterPoller* adapterPoller() const { return m_poller; }
    TCommissionWatchPanel* watchPanel() const { return m_watch; }
    TSiteSheetPanel* sitePanel() const { return m_site; }
    QCheckBox* configBox() const { return m_config; }
    QCheckBox* imagesBox() const { return m_images; }
    QCheckBox* verifyBox() const { return m_verify; }
    QCheckBox* firmwareBox() const { return m_firmware; }
    QSpinBox* jobsBox() const { return m_jobs; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* retryButton() const { return m_retry; }
    QPushButton* stopButton() const { return m_stop; }
    QLabel* statusLabel() const { return m_status; }

signals:
    void runningChanged(bool running);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void askForPort();
    void startRows(const QList<int>& rows);
    // What a run or a watch sends and how, checked, then done(error, plan,
    // options) with error empty when it may start. The project is read and
    // its image data block built on a thread of the pool: for a project of
    // many pictures that takes longer than the window may stand still.
    using TPrepared = std::function<void(const QString& error, const TCommissioningPlan& plan,
                                         const TCommissioningOptions& options)>;
    void prepareRun(TPrepared done, bool watch = false);
    void showSiteRows();
    void startPorts(const QStringList& ports, const TCommissioningPlan& plan, const TCommissioningOptions& options);
    void showPort(int index);
    void runEnded();
    void updateButtons();
    void say(const QString& text);

    TCommissionSetup m_setup;
    std::function<QString()> m_askPort;
    TCommissionPortTable* m_table = nullptr;
    TAdapterPoller* m_poller = nullptr;
    TCommissionWatchPanel* m_watch = nullptr;
    TSiteSheetPanel* m_site = nullptr;
    QCheckBox* m_config = nullptr;
    QCheckBox* m_images = nullptr;
    QCheckBox* m_verify = nullptr;
    QCheckBox* m_firmware = nullptr;
    QSpinBox* m_jobs = nullptr;
    QPushButton* m_addPort = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_retry = nullptr;
    QPushButton* m_stop = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_clock = nullptr;
    std::unique_ptr<TCommissioningRunner> m_run;
    QStringList m_runPorts; // the run's port index -> the row's port
    // From Start until every worker has ended (its record is written by then).
    bool m_running = false;
    bool m_preparing = false;
    bool m_runVerify = false;
    bool m_runBoth = false;
};
