#include "ui/commissioning/TCommissionPortTable.h"

#include "core/protocol/DeviceIdentity.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QProgressBar>

namespace {
// Names given by the user may be links (a virtual controller's, udev's
// by-id names): two names of one device are one row.
QString device(const QString& port)
{
    const QString c = QFileInfo(port).canonicalFilePath();
    return c.isEmpty() ? port : c;
}

QString secondsText(double seconds)
{
    return QString::number(seconds, 'f', 1) + QStringLiteral(" s");
}
} // namespace

QString commissionRowState(const TCommissioningRunner::Port& p, bool verify)
{
    using State = TCommissioningRunner::State;
    switch (p.state) {
    case State::Waiting: return QStringLiteral("waiting");
    case State::Connecting:
    case State::Connected: return QStringLiteral("identifying");
    case State::Sending:
        if (p.bar == QLatin1String("firmware"))
            return p.record.upgrade ? QStringLiteral("upgrading %1").arg(p.record.upgrade->text())
                                    : QStringLiteral("upgrading");
        if (p.bar == QLatin1String("images"))
            return QStringLiteral("images");
        // The configuration is read back once it is written, before the images.
        return verify && p.percent >= 100 ? QStringLiteral("verify") : QStringLiteral("configuration");
    case State::Ok: return QStringLiteral("done");
    case State::Failed: return QStringLiteral("failed");
    case State::NotAttempted: return QStringLiteral("not attempted");
    }
    return {};
}

TCommissionPortTable::TCommissionPortTable(QWidget* parent) : QTableWidget(0, kColumnCount, parent)
{
    setObjectName(QStringLiteral("commission_ports_Table"));
    setAccessibleName(QStringLiteral("Ports to commission"));
    setHorizontalHeaderLabels({QStringLiteral("Port"), QStringLiteral("Adapter serial"), QStringLiteral("Model"),
                               QStringLiteral("Part number"), QStringLiteral("Firmware"), QStringLiteral("Progress"),
                               QStringLiteral("State"), QStringLiteral("Time"), QStringLiteral("Reason"),
                               QStringLiteral("Site row")});
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table for the buttons; the arrows move between rows and
    // Space ticks the row's box.
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    // The row of the site sheet beside the port it is for; the reason stays last.
    horizontalHeader()->moveSection(kSiteColumn, kPortColumn + 1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(kProgressColumn, QHeaderView::Fixed);
    setColumnWidth(kProgressColumn, 110);
}

int TCommissionPortTable::rowOf(const QString& port) const
{
    const QString d = device(port);
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].port == port || device(m_rows[i].port) == d)
            return int(i);
    return -1;
}

QString TCommissionPortTable::portAt(int row) const
{
    return m_rows[size_t(row)].port;
}

bool TCommissionPortTable::isChecked(int row) const
{
    return item(row, kPortColumn)->checkState() == Qt::Checked;
}

void TCommissionPortTable::setChecked(int row, bool checked)
{
    item(row, kPortColumn)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

int TCommissionPortTable::appendRow(const QString& port, const QString& serial)
{
    const int row = rowCount();
    insertRow(row);
    m_rows.push_back({port});
    auto* portItem = new QTableWidgetItem(port);
    portItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    portItem->setCheckState(Qt::Checked);
    setItem(row, kPortColumn, portItem);
    for (int c = kSerialColumn; c < kColumnCount; ++c) {
        if (c == kProgressColumn)
            continue;
        auto* cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row, c, cell);
    }
    setText(row, kSerialColumn, serial);
    auto* bar = new QProgressBar;
    bar->setObjectName(QStringLiteral("commission_progress_%1").arg(row));
    bar->setAccessibleName(QStringLiteral("Progress on %1").arg(port));
    bar->setRange(0, 100);
    bar->setValue(0);
    setCellWidget(row, kProgressColumn, bar);
    setText(row, kStateColumn, QStringLiteral("waiting"));
    return row;
}

void TCommissionPortTable::setText(int row, int column, const QString& text)
{
    item(row, column)->setText(text);
}

bool TCommissionPortTable::addNamedPort(const QString& port)
{
    int row = rowOf(port);
    if (row >= 0) {
        if (m_rows[size_t(row)].named)
            return false;
        m_rows[size_t(row)].named = true;
        return false;
    }
    row = appendRow(port, QString());
    m_rows[size_t(row)].named = true;
    return true;
}

void TCommissionPortTable::showAdapters(const std::vector<TCandidatePort>& adapters)
{
    for (Row& r : m_rows)
        r.listed = false;
    for (const TCandidatePort& a : adapters) {
        int row = rowOf(a.name);
        if (row < 0)
            row = appendRow(a.name, a.serialNumber);
        else if (!a.serialNumber.isEmpty())
            setText(row, kSerialColumn, a.serialNumber);
        m_rows[size_t(row)].listed = true;
    }
    // An adapter pulled out takes its row with it, unless the user named the
    // port or a run is still using the row (which then fails on its own).
    for (int row = rowCount() - 1; row >= 0; --row) {
        const Row& r = m_rows[size_t(row)];
        if (!r.listed && !r.named && r.outcome != Outcome::Running) {
            removeRow(row);
            m_rows.erase(m_rows.begin() + row);
        }
    }
}

void TCommissionPortTable::markWaiting(int row)
{
    m_rows[size_t(row)].outcome = Outcome::Running;
    for (int c : {kModelColumn, kPartColumn, kFirmwareColumn, kTimeColumn, kReasonColumn})
        setText(row, c, QString());
    setText(row, kStateColumn, QStringLiteral("waiting"));
    static_cast<QProgressBar*>(cellWidget(row, kProgressColumn))->setValue(0);
}

void TCommissionPortTable::showRunPort(int row, const TCommissioningRunner::Port& p, bool verify, bool bothParts)
{
    using State = TCommissioningRunner::State;
    Row& r = m_rows[size_t(row)];
    const TCommissioningRecord& rec = p.record;
    if (rec.partNumber) {
        const int model = Model_Index(uint16_t(*rec.partNumber));
        setText(row, kModelColumn, model < 0 ? QStringLiteral("unknown") : modelName(model));
        setText(row, kPartColumn, QString::number(*rec.partNumber));
    }
    if (!rec.firmware.isEmpty())
        setText(row, kFirmwareColumn, rec.firmware);
    if (!rec.adapterSerial.isEmpty())
        setText(row, kSerialColumn, rec.adapterSerial);
    setText(row, kStateColumn, commissionRowState(p, verify));
    auto* bar = static_cast<QProgressBar*>(cellWidget(row, kProgressColumn));
    if (p.done) {
        r.outcome = p.state == State::Ok ? Outcome::Ok : Outcome::Failed;
        setText(row, kTimeColumn, secondsText(rec.seconds));
        // An upgrade made on the way is worth a word also when all went well.
        setText(row, kReasonColumn,
                !rec.ok           ? rec.message
                    : rec.upgrade ? QStringLiteral("firmware upgraded %1").arg(rec.upgrade->text())
                                  : QString());
        if (rec.ok)
            bar->setValue(100);
        return;
    }
    r.outcome = Outcome::Running;
    if (p.started)
        setText(row, kTimeColumn, secondsText(double(p.clock.elapsed()) / 1000.0));
    if (p.state == State::Sending) {
        // Both parts on one bar: the configuration fills its first half.
        const bool images = p.bar == QLatin1String("images");
        // The firmware has the bar to itself before the data.
        if (p.bar == QLatin1String("firmware"))
            bar->setValue(p.percent);
        else
            bar->setValue(!bothParts ? p.percent : (images ? 50 + p.percent / 2 : p.percent / 2));
    }
}

void TCommissionPortTable::showSiteRows(const std::function<QString(const QString& port, const QString& serial)>& label)
{
    for (int row = 0; row < rowCount(); ++row) {
        const QString text = label(m_rows[size_t(row)].port, item(row, kSerialColumn)->text());
        // Unchanged cells are left alone: each change is an itemChanged.
        if (item(row, kSiteColumn)->text() != text)
            setText(row, kSiteColumn, text);
    }
}
