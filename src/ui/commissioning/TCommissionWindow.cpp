#include "ui/commissioning/TCommissionWindow.h"

#include "core/commissioning/TCommissioningRunner.h"
#include "ui/commissioning/TAdapterPoller.h"
#include "ui/commissioning/TCommissionPortTable.h"
#include "ui/commissioning/TCommissionWatchPanel.h"
#include "ui/commissioning/TSiteSheetPanel.h"

#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <csignal>

namespace {
template <class W> W* namedControl(W* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}
} // namespace

TCommissionWindow::TCommissionWindow(TCommissionSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_setup(std::move(setup))
{
    setObjectName(QStringLiteral("commission_Form"));
    setWindowTitle(QStringLiteral("Commission"));
    setAccessibleName(QStringLiteral("Commission"));
    m_askPort = [this] {
        return QInputDialog::getText(this, QStringLiteral("Add Port"),
                                     QStringLiteral("Port name (for example /dev/ttyUSB0 or COM3):"));
    };

    m_table = new TCommissionPortTable(this);
    m_poller = new TAdapterPoller(this);
    connect(m_poller, &TAdapterPoller::adaptersChanged, this, [this] {
        m_table->showAdapters(m_poller->adapters());
        showSiteRows();
        updateButtons();
    });
    m_addPort = namedControl(new QPushButton(QStringLiteral("Add Port..."), this), "commission_add_port_Button",
                             QStringLiteral("Add Port..."));
    connect(m_addPort, &QPushButton::clicked, this, &TCommissionWindow::askForPort);

    auto* options = namedControl(new QGroupBox(QStringLiteral("Send"), this), "commission_options_GroupBox",
                                 QStringLiteral("Send"));
    m_config = namedControl(new QCheckBox(QStringLiteral("Configuration"), options), "commission_config_CheckBox",
                            QStringLiteral("Configuration"));
    m_images = namedControl(new QCheckBox(QStringLiteral("Images"), options), "commission_images_CheckBox",
                            QStringLiteral("Images"));
    m_verify = namedControl(new QCheckBox(QStringLiteral("Verify the configuration"), options),
                            "commission_verify_CheckBox", QStringLiteral("Verify the configuration"));
    // Off by default: an upgrade is a step an installer chooses.
    m_firmware = namedControl(new QCheckBox(QStringLiteral("Upgrade old firmware first"), options),
                              "commission_firmware_CheckBox", QStringLiteral("Upgrade old firmware first"));
    m_firmware->setToolTip(QStringLiteral("A controller with older firmware than this program carries is upgraded "
                                          "(its configuration backed up beside the commissioning log) before the "
                                          "data is sent."));
    m_jobs = namedControl(new QSpinBox(options), "commission_jobs_SpinBox", QStringLiteral("Parallel jobs"));
    m_jobs->setRange(1, 64);
    m_jobs->setValue(kDefaultJobs);
    auto* jobsLabel = new QLabel(QStringLiteral("&Parallel jobs:"), options);
    jobsLabel->setBuddy(m_jobs);
    for (QCheckBox* box : {m_config, m_images, m_verify}) {
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, &TCommissionWindow::updateButtons);
    }
    auto* optionRow = new QHBoxLayout(options);
    for (QWidget* w : std::initializer_list<QWidget*>{m_config, m_images, m_verify, m_firmware, jobsLabel, m_jobs})
        optionRow->addWidget(w);
    optionRow->addStretch(1);

    m_start = namedControl(new QPushButton(QStringLiteral("Start"), this), "commission_start_Button",
                           QStringLiteral("Start"));
    m_retry = namedControl(new QPushButton(QStringLiteral("Retry Failed"), this), "commission_retry_Button",
                           QStringLiteral("Retry Failed"));
    m_stop
        = namedControl(new QPushButton(QStringLiteral("Stop"), this), "commission_stop_Button", QStringLiteral("Stop"));
    m_status = namedControl(new QLabel(this), "commission_status_Label", QStringLiteral("Commissioning status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(m_start, &QPushButton::clicked, this, [this] {
        QList<int> rows;
        for (int row = 0; row < m_table->rowCount(); ++row)
            if (m_table->isChecked(row))
                rows << row;
        startRows(rows);
    });
    connect(m_retry, &QPushButton::clicked, this, [this] {
        QList<int> rows;
        for (int row = 0; row < m_table->rowCount(); ++row)
            if (m_table->outcome(row) == TCommissionPortTable::Outcome::Failed)
                rows << row;
        startRows(rows);
    });
    connect(m_stop, &QPushButton::clicked, this, [this] {
        if (isRunning()) {
            say(QStringLiteral("Stopping: each controller under way is put on record as interrupted."));
            m_run->stop(SIGTERM);
        }
    });
    connect(m_table, &QTableWidget::itemChanged, this, &TCommissionWindow::updateButtons);

    // The time taken counts on while a row is under way.
    m_clock = new QTimer(this);
    m_clock->setInterval(500);
    connect(m_clock, &QTimer::timeout, this, [this] {
        if (m_run)
            for (int i = 0; i < m_run->portCount(); ++i)
                if (!m_run->port(i).done)
                    showPort(i);
    });

    m_site = new TSiteSheetPanel(this);
    m_watch = new TCommissionWatchPanel([this](TPrepared done) { prepareRun(std::move(done), true); }, this);
    auto showWatch
        = [this] { m_site->showWatch(m_watch->isWatching(), m_watch->controllerIndex(), m_watch->isCommissioning()); };
    connect(m_site, &TSiteSheetPanel::changed, this, [this, showWatch] {
        showSiteRows();
        showWatch();
        updateButtons();
    });
    connect(m_watch, &TCommissionWatchPanel::stateShown, this, showWatch);
    connect(m_watch, &TCommissionWatchPanel::watchingChanged, this, [this](bool watching) {
        updateButtons();
        emit runningChanged(watching);
    });

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_addPort);
    portRow->addStretch(1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_start);
    buttonRow->addWidget(m_retry);
    buttonRow->addWidget(m_stop);
    buttonRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(portRow);
    layout->addWidget(options);
    layout->addWidget(m_site);
    layout->addLayout(buttonRow);
    layout->addWidget(m_status);
    layout->addWidget(m_watch);
    if (m_setup.workerProgram.isEmpty())
        say(m_setup.workerError);
    updateButtons();
    resize(900, 420);
}

TCommissionWindow::~TCommissionWindow() = default;

bool TCommissionWindow::isRunning() const
{
    return m_preparing || m_running || m_watch->isWatching();
}

void TCommissionWindow::say(const QString& text)
{
    m_status->setText(text);
}

bool TCommissionWindow::addPort(const QString& port)
{
    const QString name = port.trimmed();
    if (name.isEmpty())
        return false;
    if (!m_table->addNamedPort(name)) {
        say(QStringLiteral("%1 is in the list already.").arg(name));
        return false;
    }
    showSiteRows();
    updateButtons();
    return true;
}

void TCommissionWindow::showSiteRows()
{
    m_table->showSiteRows(
        [this](const QString& port, const QString& serial) { return m_site->rowLabel(port, serial, 0); });
}

void TCommissionWindow::askForPort()
{
    const QString name = m_askPort ? m_askPort() : QString();
    if (!name.trimmed().isEmpty())
        addPort(name);
}

void TCommissionWindow::updateButtons()
{
    const bool running = isRunning();
    // A site sheet with problems sends nothing until it is mended or cleared.
    const bool sheet = !m_site->isBad();
    m_watch->setAvailable(!m_running && !m_preparing && sheet);
    bool anyChecked = false;
    bool anyFailed = false;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        anyChecked = anyChecked || m_table->isChecked(row);
        anyFailed = anyFailed || m_table->outcome(row) == TCommissionPortTable::Outcome::Failed;
    }
    const bool something = m_config->isChecked() || m_images->isChecked();
    const bool worker = !m_setup.workerProgram.isEmpty();
    m_start->setEnabled(!running && !m_preparing && anyChecked && something && worker && sheet);
    m_retry->setEnabled(!running && !m_preparing && anyFailed && something && worker && sheet);
    m_site->setEnabled(!running);
    m_stop->setEnabled(m_running);
    // The read-back checks the configuration: without it there is nothing to verify.
    m_verify->setEnabled(!running && m_config->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{m_config, m_images, m_firmware, m_jobs, m_addPort})
        w->setEnabled(!running);
}

void TCommissionWindow::prepareRun(TPrepared done, bool watch)
{
    auto fail = [done](const QString& error) { done(error, {}, {}); };
    if (m_preparing)
        return;
    if (m_setup.workerProgram.isEmpty())
        return fail(m_setup.workerError);
    if (const QString busy = m_setup.busyReason ? m_setup.busyReason() : QString(); !busy.isEmpty())
        return fail(busy);
    const QString log = m_setup.logPath ? m_setup.logPath() : QString();
    if (log.isEmpty())
        return fail(QStringLiteral("No commissioning log is set: nothing would be on record, so nothing is sent."));
    QString error;
    const QString project = m_setup.projectFile ? m_setup.projectFile(&error) : QString();
    if (project.isEmpty())
        return fail(error.isEmpty() ? QStringLiteral("No project is open.") : error);
    // The log is the point of the run: one that cannot be written stops it
    // before any controller is touched.
    QDir().mkpath(QFileInfo(log).absolutePath());
    const QFileInfo logInfo(log);
    if (logInfo.exists() ? !logInfo.isFile() || !logInfo.isWritable() : !QFileInfo(logInfo.absolutePath()).isWritable())
        return fail(QStringLiteral("%1: the commissioning log cannot be written there.").arg(log));
    TCommissioningOptions options;
    options.verify = m_verify->isChecked() && m_config->isChecked();
    options.log = logInfo.absoluteFilePath();
    options.workerProgram = m_setup.workerProgram;
    options.workerArguments = m_setup.workerArguments;
    if (m_firmware->isChecked()) {
        // The backups go beside the log: the window has no working directory a user would look in.
        options.workerArguments << QStringLiteral("--firmware") << QStringLiteral("--backup-dir")
                                << logInfo.absolutePath();
        for (const QString& port :
             m_setup.placeholderFirmwarePorts ? m_setup.placeholderFirmwarePorts() : QStringList())
            options.workerArguments << QStringLiteral("--placeholder-port") << port;
    }
    TCommissioningPlan plan;
    plan.sendConfig = m_config->isChecked();
    plan.sendImages = m_images->isChecked();

    struct Prepared {
        TCommissioningPlan plan;
        QString error;
        bool ok = false;
    };
    m_preparing = true;
    say(QStringLiteral("Reading the project and building what is sent..."));
    updateButtons();
    auto* watcher = new QFutureWatcher<Prepared>(this);
    connect(watcher, &QFutureWatcher<Prepared>::finished, this, [this, watcher, done, options, watch] {
        const Prepared prepared = watcher->result();
        watcher->deleteLater();
        m_preparing = false;
        say(QString());
        updateButtons();
        // Each worker applies its controller's row of the site sheet.
        TCommissioningOptions withSheet = options;
        QString sheetError;
        if (prepared.ok && !m_site->addWorkerArguments(prepared.plan, watch, &withSheet.workerArguments, &sheetError))
            return done(sheetError, prepared.plan, options);
        done(prepared.ok ? QString() : prepared.error, prepared.plan, withSheet);
    });
    watcher->setFuture(QtConcurrent::run([project, plan]() mutable {
        Prepared p;
        p.plan = plan;
        p.ok = prepareCommissioningPlan(project, p.plan, &p.error);
        return p;
    }));
}

void TCommissionWindow::startRows(const QList<int>& rows)
{
    if (isRunning() || rows.isEmpty())
        return;
    QStringList ports;
    for (int row : rows)
        ports << m_table->portAt(row);
    prepareRun(
        [this, ports](const QString& error, const TCommissioningPlan& plan, const TCommissioningOptions& options) {
            if (!error.isEmpty())
                say(error);
            else
                startPorts(ports, plan, options);
        });
}

void TCommissionWindow::startPorts(const QStringList& ports, const TCommissioningPlan& plan,
                                   const TCommissioningOptions& options)
{
    if (isRunning())
        return;
    m_runVerify = options.verify;
    m_runBoth = plan.sendConfig && plan.sendImages;
    m_run = std::make_unique<TCommissioningRunner>(plan, options);
    QString error;
    if (!m_run->preparePlanFile(&error)) {
        m_run.reset();
        say(error);
        return;
    }
    m_runPorts.clear();
    for (const QString& port : ports) {
        // A row whose adapter was pulled out while the plan was made is not run.
        const int row = m_table->rowOf(port);
        if (row < 0)
            continue;
        m_table->markWaiting(row);
        m_runPorts << port;
        m_run->addPort(port);
    }
    connect(m_run.get(), &TCommissioningRunner::portChanged, this, &TCommissionWindow::showPort);
    connect(m_run.get(), &TCommissioningRunner::allFinished, this, &TCommissionWindow::runEnded);
    say(QStringLiteral("Commissioning %1 %2...")
            .arg(m_runPorts.size())
            .arg(m_runPorts.size() == 1 ? QStringLiteral("controller") : QStringLiteral("controllers")));
    m_clock->start();
    m_running = true;
    updateButtons();
    emit runningChanged(true);
    m_run->start(m_jobs->value());
}

void TCommissionWindow::showPort(int index)
{
    const int row = m_table->rowOf(m_runPorts.value(index));
    if (row >= 0)
        m_table->showRunPort(row, m_run->port(index), m_runVerify, m_runBoth);
}

void TCommissionWindow::runEnded()
{
    m_clock->stop();
    m_running = false;
    int ok = 0;
    QStringList logErrors;
    for (int i = 0; i < m_run->portCount(); ++i) {
        showPort(i);
        ok += m_run->port(i).record.ok ? 1 : 0;
        if (!m_run->port(i).logError.isEmpty())
            logErrors << m_run->port(i).logError;
    }
    const int failed = m_run->portCount() - ok;
    QString text = QStringLiteral("%1 ok, %2 failed").arg(ok).arg(failed);
    if (m_run->isStopped())
        text += QStringLiteral(" (stopped)");
    if (!logErrors.isEmpty())
        text += QStringLiteral("; the commissioning log could not be written: ") + logErrors.join(QStringLiteral("; "));
    say(text);
    updateButtons();
    emit runningChanged(false);
}

void TCommissionWindow::stopAndWait(int timeoutMs)
{
    m_watch->stopAndWait(timeoutMs);
    if (!m_running)
        return;
    QEventLoop loop;
    connect(m_run.get(), &TCommissioningRunner::allFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    m_run->stop(SIGTERM);
    if (isRunning())
        loop.exec();
}

void TCommissionWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_poller->start();
}

void TCommissionWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_poller->stop();
}
