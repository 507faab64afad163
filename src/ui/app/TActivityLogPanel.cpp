#include "ui/app/TActivityLogPanel.h"

#include "core/messaging/StatusCodes.h"

#include <QDateTime>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace {

enum Column { kMarker = 0, kWhen = 1, kDescription = 2, kInfo = 3, kColumns = 4 };

// Column 0 of a warning or error entry is filled with its marker colour,
// selected or not, so problems stand out in a long log.
class MarkerDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QColor fill = TActivityLogPanel::markerColour(index.data().toString());
        if (!fill.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->fillRect(option.rect, fill);
        painter->setPen(Qt::black);
        painter->drawText(option.rect, Qt::AlignCenter, index.data().toString());
    }
};

} // namespace

TActivityLogPanel::TActivityLogPanel(QWidget* parent)
    : QWidget(parent)
    , m_title(new QLabel(QStringLiteral("  Activity Log"), this))
    , m_grid(new QTableWidget(0, kColumns, this))
{
    m_grid->setObjectName(QStringLiteral("activity_log_StringGrid"));
    m_grid->setAccessibleName(QStringLiteral("Activity Log"));
    // The arrow keys move between entries; Tab moves on to the next control
    // instead of stepping through the cells, so the log is no trap for a
    // keyboard user.
    m_grid->setTabKeyNavigation(false);
    m_title->setBuddy(m_grid);
    m_grid->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("Date/Time"), QStringLiteral("Description"), QStringLiteral("Additional Info")});
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setShowGrid(true);
    m_grid->setWordWrap(false);
    // One line of text per entry: the style's taller rows would show fewer.
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    // The style's minimum would make the marker column wider than 20 pixels.
    m_grid->horizontalHeader()->setMinimumSectionSize(kMarkerColumnWidth);
    m_grid->horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->setColumnWidth(kMarker, kMarkerColumnWidth);
    m_grid->setItemDelegateForColumn(kMarker, new MarkerDelegate(m_grid));
    m_grid->viewport()->installEventFilter(this);
    // A column the user drags wider or narrower moves the rest of the room.
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (m_filling)
            return;
        if (section == kInfo)
            m_infoWidth = size;
        fillWidth();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_title);
    layout->addWidget(m_grid, 1);
}

QString TActivityLogPanel::statusCodeMarker(int code)
{
    return ::statusCodeMarker(code);
}

QString TActivityLogPanel::statusCodeText(int code)
{
    return ::statusCodeText(code);
}

QColor TActivityLogPanel::markerColour(const QString& marker)
{
    if (marker == QLatin1String("*"))
        return QColor(0xBA, 0xE1, 0xFF);
    if (marker == QLatin1String("!"))
        return QColor(0xFF, 0x9A, 0x9A);
    return QColor();
}

bool TActivityLogPanel::lastRowInView() const
{
    const int rows = m_grid->rowCount();
    // Nobody can have scrolled a log that is not on screen yet (entries written
    // while the main window is being built): keep following.
    if (rows == 0 || !m_grid->isVisible())
        return true;
    const int last = rows - 1;
    return m_grid->rowViewportPosition(last) + m_grid->rowHeight(last) <= m_grid->viewport()->height();
}

void TActivityLogPanel::widenColumnFor(int column, const QString& text)
{
    const int needed = m_grid->fontMetrics().horizontalAdvance(text + QStringLiteral("WW"));
    if (column == kInfo) {
        m_infoWidth = qMax(m_infoWidth, needed);
        fillWidth();
        return;
    }
    if (needed > m_grid->columnWidth(column))
        m_grid->setColumnWidth(column, needed);
}

void TActivityLogPanel::fillWidth()
{
    int others = 0;
    for (int c = 0; c < kInfo; ++c)
        others += m_grid->columnWidth(c);
    const int room = m_grid->viewport()->width() - others;
    const int width = qMax(m_infoWidth, room);
    if (m_grid->columnWidth(kInfo) == width)
        return;
    m_filling = true;
    m_grid->setColumnWidth(kInfo, width);
    m_filling = false;
}

bool TActivityLogPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid->viewport() && event->type() == QEvent::Resize)
        fillWidth();
    return QWidget::eventFilter(watched, event);
}

void TActivityLogPanel::Log_Activity(int code, const QString& info)
{
    logEntry(statusCodeMarker(code), statusCodeText(code), info);
}

void TActivityLogPanel::logEntry(const QString& marker, const QString& description, const QString& info)
{
    const bool follow = lastRowInView();
    const int row = m_grid->rowCount();
    m_grid->insertRow(row);
    const QString texts[kColumns]
        = {marker, QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat), description, info};
    for (int c = 0; c < kColumns; ++c) {
        auto* item = new QTableWidgetItem(texts[c]);
        if (c == kMarker)
            item->setTextAlignment(Qt::AlignCenter);
        m_grid->setItem(row, c, item);
        if (c != kMarker)
            widenColumnFor(c, texts[c]);
    }
    if (follow) {
        m_grid->selectRow(row);
        m_grid->scrollTo(m_grid->model()->index(row, 0), QAbstractItemView::PositionAtBottom);
    }
}
