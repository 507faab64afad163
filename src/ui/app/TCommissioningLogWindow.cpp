#include "ui/app/TCommissioningLogWindow.h"

#include "core/commissioning/CommissioningLog.h"

#include "ui/app/TSortArrowStyle.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// The export keeps the time as written (UTC, ISO 8601) for other programs;
// the table shows it as the activity log does, in local time.
const QStringList kHeaders{"Time (UTC)", "Port",    "Adapter", "Part number", "Firmware", "Sent",
                           "Verify",     "Seconds", "Outcome", "Message",     "Project"};
// What a column sorts by: the time itself, not its local text.
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kExportRole = Qt::UserRole + 2;

QStandardItem* item(const QVariant& value)
{
    auto* i = new QStandardItem;
    i->setData(value, Qt::DisplayRole);
    i->setData(value, kSortRole);
    i->setEditable(false);
    return i;
}

QStandardItem* timeItem(const QDateTime& time)
{
    auto* i = item(QLocale::system().toString(time.toLocalTime(), QLocale::ShortFormat));
    i->setData(time, kSortRole);
    i->setData(time.toString(Qt::ISODateWithMs), kExportRole);
    return i;
}
} // namespace

TCommissioningLogWindow::TCommissioningLogWindow(const QString& logPath, QWidget* parent)
    : QDialog(parent)
    , m_path(logPath)
{
    setObjectName(QStringLiteral("commissioning_log_Form"));
    setWindowTitle(QStringLiteral("Commissioning Log"));
    m_model = new QStandardItemModel(this);
    QStringList shown = kHeaders;
    shown[0] = QStringLiteral("Time");
    m_model->setHorizontalHeaderLabels(shown);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSortRole(kSortRole);
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("commissioning_filter_Edit"));
    m_filter->setPlaceholderText(QStringLiteral("Filter"));
    m_filter->setAccessibleName(QStringLiteral("Filter"));
    m_filter->setClearButtonEnabled(true);
    connect(m_filter, &QLineEdit::textChanged, m_proxy, &QSortFilterProxyModel::setFilterFixedString);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("commissioning_log_View"));
    m_view->setAccessibleName(QStringLiteral("Commissioning log"));
    m_view->setModel(m_proxy);
    auto* arrows = new TSortArrowStyle;
    arrows->setParent(m_view);
    m_view->horizontalHeader()->setStyle(arrows);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(0, Qt::DescendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("commissioning_status_Label"));
    m_status->setWordWrap(true);
    auto* exportButton = new QPushButton(QStringLiteral("Export CSV..."), this);
    exportButton->setObjectName(QStringLiteral("export_csv_Button"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(exportButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    askCsvName = [](QWidget* parent) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Export CSV"), QString(),
                                            QStringLiteral("CSV files (*.csv)"));
    };
    connect(exportButton, &QPushButton::clicked, this, [this] {
        const QString path = askCsvName(this);
        QString error;
        if (!path.isEmpty() && !exportCsv(path, &error))
            QMessageBox::warning(this, windowTitle(), error);
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(900, 480);
    reload();
}

TCommissioningLogWindow* TCommissioningLogWindow::showFor(QWidget* parent, const QString& logPath)
{
    auto* w = new TCommissioningLogWindow(logPath, parent);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return w;
}

void TCommissioningLogWindow::reload()
{
    m_model->removeRows(0, m_model->rowCount());
    const TCommissioningLogContents contents = readCommissioningLog(m_path);
    for (const TCommissioningRecord& r : contents.records) {
        m_model->appendRow({timeItem(r.time), item(r.port), item(r.adapterSerial),
                            item(r.partNumber ? QVariant(*r.partNumber) : QVariant()), item(r.firmware),
                            item(r.sent.join(QStringLiteral(", "))), item(verifyResultText(r.verify)), item(r.seconds),
                            item(r.ok ? QStringLiteral("ok") : QStringLiteral("failed")), item(r.message),
                            item(r.project)});
    }
    QString status = contents.readable ? QStringLiteral("%1 attempts in %2").arg(contents.records.size()).arg(m_path)
                                       : QStringLiteral("No commissioning log yet (%1)").arg(m_path);
    for (const TCommissioningLogLine& bad : contents.malformed)
        status += QStringLiteral("\nLine %1 skipped: %2").arg(bad.line).arg(bad.problem);
    m_status->setText(status);
    m_view->resizeColumnsToContents();
}

QByteArray TCommissioningLogWindow::csv() const
{
    QString text = csvLine(kHeaders);
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < m_proxy->columnCount(); ++col) {
            const QModelIndex index = m_proxy->index(row, col);
            const QVariant exported = index.data(kExportRole);
            cells << (exported.isValid() ? exported.toString() : index.data().toString());
        }
        text += csvLine(cells);
    }
    return text.toUtf8();
}

bool TCommissioningLogWindow::exportCsv(const QString& path, QString* error) const
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(csv()) >= 0 && f.commit())
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, f.errorString());
    return false;
}
