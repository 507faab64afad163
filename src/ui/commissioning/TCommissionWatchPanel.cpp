#include "ui/commissioning/TCommissionWatchPanel.h"

#include "core/commissioning/TCommissioningWatch.h"

#include <QAccessible>
#include <QApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

#include <csignal>

namespace {
QString resultSeconds(double seconds)
{
    return QString::number(seconds, 'f', 1) + QStringLiteral(" s");
}
} // namespace

TCommissionWatchPanel::TCommissionWatchPanel(TPrepare prepare, QWidget* parent)
    : QGroupBox(QStringLiteral("One controller after another"), parent)
    , m_prepare(std::move(prepare))
{
    setObjectName(QStringLiteral("commission_watch_GroupBox"));
    setAccessibleName(title());
    m_port = new QLineEdit(this);
    m_port->setObjectName(QStringLiteral("commission_watch_port_Edit"));
    m_port->setAccessibleName(QStringLiteral("Port to watch"));
    m_port->setPlaceholderText(QStringLiteral("port, e.g. /dev/ttyUSB0 or COM3"));
    auto* portLabel = new QLabel(QStringLiteral("P&ort:"), this);
    portLabel->setBuddy(m_port);
    m_button = new QPushButton(QStringLiteral("Start Watching"), this);
    m_button->setObjectName(QStringLiteral("commission_watch_Button"));
    m_button->setAccessibleName(QStringLiteral("Start Watching"));
    connect(m_button, &QPushButton::clicked, this, &TCommissionWatchPanel::toggle);

    // Seen from a ladder across the room: large, and in colour as well as
    // in words.
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("commission_watch_result_Label"));
    m_result->setAccessibleName(QStringLiteral("Last controller"));
    QFont big = m_result->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    m_result->setFont(big);
    m_result->setWordWrap(true);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("commission_watch_state_Label"));
    m_state->setAccessibleName(QStringLiteral("Watch state"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("commission_watch_count_Label"));
    m_count->setAccessibleName(QStringLiteral("Controllers done"));
    QFont bold = m_count->font();
    bold.setBold(true);
    m_count->setFont(bold);

    auto* grid = new QGridLayout(this);
    grid->addWidget(portLabel, 0, 0);
    grid->addWidget(m_port, 0, 1);
    grid->addWidget(m_button, 0, 2);
    grid->addWidget(m_count, 0, 3);
    grid->addWidget(m_result, 1, 0, 1, 4);
    grid->addWidget(m_state, 2, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    showState();
}

TCommissionWatchPanel::~TCommissionWatchPanel() = default;

void TCommissionWatchPanel::setAvailable(bool available)
{
    m_available = available;
    showState();
}

void TCommissionWatchPanel::toggle()
{
    if (m_watch) {
        m_state->setText(QStringLiteral("Stopping..."));
        m_watch->stop(SIGTERM);
        return;
    }
    const QString port = m_port->text().trimmed();
    if (port.isEmpty()) {
        m_state->setText(QStringLiteral("Name the port the adapter is on."));
        return;
    }
    if (!m_prepare)
        return;
    m_prepare([this, port](const QString& error, const TCommissioningPlan& plan, const TCommissioningOptions& options) {
        if (!error.isEmpty())
            m_state->setText(error);
        else if (!m_watch)
            begin(port, plan, options);
    });
}

void TCommissionWatchPanel::begin(const QString& port, const TCommissioningPlan& plan,
                                  const TCommissioningOptions& options)
{
    QString error;
    m_watch = std::make_unique<TCommissioningWatch>(port, plan, options);
    if (!m_watch->start(&error)) {
        m_watch.reset();
        m_state->setText(error);
        return;
    }
    m_ok = m_failed = 0;
    m_result->clear();
    connect(m_watch.get(), &TCommissioningWatch::stateChanged, this, &TCommissionWatchPanel::showState);
    connect(m_watch.get(), &TCommissioningWatch::portChanged, this, &TCommissionWatchPanel::showState);
    connect(m_watch.get(), &TCommissioningWatch::controllerFinished, this, &TCommissionWatchPanel::showResult);
    // Deleted from the event loop, not from inside its own signal.
    connect(m_watch.get(), &TCommissioningWatch::stopped, this,
            [this] { QTimer::singleShot(0, this, [this] { ended(); }); });
    showState();
    emit watchingChanged(true);
}

void TCommissionWatchPanel::ended()
{
    m_watch.reset();
    showState();
    emit watchingChanged(false);
}

int TCommissionWatchPanel::controllerIndex() const
{
    return m_watch ? m_watch->index() : 0;
}

bool TCommissionWatchPanel::isCommissioning() const
{
    return m_watch && m_watch->state() == TCommissioningWatch::State::Commissioning;
}

void TCommissionWatchPanel::showState()
{
    const bool watching = bool(m_watch);
    const auto shown = qScopeGuard([this] { emit stateShown(); });
    m_port->setEnabled(!watching && m_available);
    m_button->setEnabled(watching || m_available);
    const QString caption = watching ? QStringLiteral("Stop Watching") : QStringLiteral("Start Watching");
    m_button->setText(caption);
    m_button->setAccessibleName(caption);
    m_count->setText(QStringLiteral("%1 ok, %2 failed").arg(m_ok).arg(m_failed));
    if (!watching)
        return;
    const QString port = m_watch->port();
    switch (m_watch->state()) {
    case TCommissioningWatch::State::Waiting:
        m_state->setText(QStringLiteral("Waiting for a controller on %1: plug the cable in.").arg(port));
        break;
    case TCommissioningWatch::State::Commissioning: {
        const TCommissioningRunner& run = m_watch->runner();
        if (run.portCount() == 0)
            break;
        const TCommissioningRunner::Port& p = run.port(run.portCount() - 1);
        m_state->setText(
            QStringLiteral("Controller %1: %2")
                .arg(m_watch->index())
                .arg(p.state == TCommissioningRunner::State::Sending ? p.activity : commissioningStateText(p.state)));
        break;
    }
    case TCommissioningWatch::State::Leaving:
        m_state->setText(QStringLiteral("Done with this one: pull the cable and plug it into the next controller."));
        break;
    case TCommissioningWatch::State::Stopped: m_state->setText(QStringLiteral("Stopped.")); break;
    }
}

void TCommissionWatchPanel::showResult(const TCommissioningRecord& record)
{
    const int number = m_watch ? m_watch->index() : m_ok + m_failed + 1;
    QString spoken;
    if (record.ok) {
        ++m_ok;
        m_result->setText(QStringLiteral("\u2714 #%1 ok in %2").arg(number).arg(resultSeconds(record.seconds)));
        m_result->setStyleSheet(QStringLiteral("color: #1a7f37;"));
        spoken = QStringLiteral("Controller %1 commissioned in %2.").arg(number).arg(resultSeconds(record.seconds));
    } else {
        ++m_failed;
        m_result->setText(QStringLiteral("\u2718 #%1 failed: %2").arg(number).arg(record.message));
        m_result->setStyleSheet(QStringLiteral("color: #c62828;"));
        spoken = QStringLiteral("Controller %1 failed: %2").arg(number).arg(record.message);
    }
    m_result->setAccessibleName(spoken);
    showState();
    QApplication::beep();
    // A screen reader says it at once, whatever has the focus.
    QAccessibleEvent alert(m_result, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void TCommissionWatchPanel::stopAndWait(int timeoutMs)
{
    if (!m_watch)
        return;
    QEventLoop loop;
    connect(this, &TCommissionWatchPanel::watchingChanged, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    m_watch->stop(SIGTERM);
    if (m_watch)
        loop.exec();
}
