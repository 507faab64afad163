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
        const QColor fill = TActivityLogPanel::Marker_Colour(index.data().toString());
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
    , title_(new QLabel(QStringLiteral("  Activity Log"), this))
    , grid_(new QTableWidget(0, kColumns, this))
{
    grid_->setObjectName(QStringLiteral("activity_log_StringGrid"));
    grid_->setAccessibleName(QStringLiteral("Activity Log"));
    // The arrow keys move between entries; Tab moves on to the next control
    // instead of stepping through the cells, so the log is no trap for a
    // keyboard user.
    grid_->setTabKeyNavigation(false);
    title_->setBuddy(grid_);
    grid_->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("Date/Time"), QStringLiteral("Description"), QStringLiteral("Additional Info")});
    grid_->verticalHeader()->hide();
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setShowGrid(true);
    grid_->setWordWrap(false);
    // One line of text per entry: the style's taller rows would show fewer.
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
    // The style's minimum would make the marker column wider than 20 pixels.
    grid_->horizontalHeader()->setMinimumSectionSize(kMarkerColumnWidth);
    grid_->horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    grid_->horizontalHeader()->setStretchLastSection(false);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->setColumnWidth(kMarker, kMarkerColumnWidth);
    grid_->setItemDelegateForColumn(kMarker, new MarkerDelegate(grid_));
    grid_->viewport()->installEventFilter(this);
    // A column the user drags wider or narrower moves the rest of the room.
    connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (m_filling)
            return;
        if (section == kInfo)
            infoWidth_ = size;
        fillWidth();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(title_);
    layout->addWidget(grid_, 1);
}

QString TActivityLogPanel::Status_Code_Marker(int code)
{
    return ::Status_Code_Marker(code);
}

QString TActivityLogPanel::Status_Code_Text(int code)
{
    return ::Status_Code_Text(code);
}

QColor TActivityLogPanel::Marker_Colour(const QString& marker)
{
    if (marker == QLatin1String("*"))
        return QColor(0xBA, 0xE1, 0xFF);
    if (marker == QLatin1String("!"))
        return QColor(0xFF, 0x9A, 0x9A);
    return QColor();
}

bool TActivityLogPanel::lastRowInView() const
{
    const int rows = grid_->rowCount();
    // Nobody can have scrolled a log that is not on screen yet (entries written
    // while the main window is being built): keep following.
    if (rows == 0 || !grid_->isVisible())
        return true;
    const int last = rows - 1;
    return grid_->rowViewportPosition(last) + grid_->rowHeight(last) <= grid_->viewport()->height();
}

void TActivityLogPanel::widenColumnFor(int column, const QString& text)
{
    const int needed = grid_->fontMetrics().horizontalAdvance(text + QStringLiteral("WW"));
    if (column == kInfo) {
        infoWidth_ = qMax(infoWidth_, needed);
        fillWidth();
        return;
    }
    if (needed > grid_->columnWidth(column))
        grid_->setColumnWidth(column, needed);
}

void TActivityLogPanel::fillWidth()
{
    int others = 0;
    for (int c = 0; c < kInfo; ++c)
        others += grid_->columnWidth(c);
    const int room = grid_->viewport()->width() - others;
    const int width = qMax(infoWidth_, room);
    if (grid_->columnWidth(kInfo) == width)
        return;
    m_filling = true;
    grid_->setColumnWidth(kInfo, width);
    m_filling = false;
}

bool TActivityLogPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_->viewport() && event->type() == QEvent::Resize)
        fillWidth();
    return QWidget::eventFilter(watched, event);
}

void TActivityLogPanel::Log_Activity(int code, const QString& info)
{
    Log_Entry(Status_Code_Marker(code), Status_Code_Text(code), info);
}

void TActivityLogPanel::Log_Entry(const QString& marker, const QString& description, const QString& info)
{
    const bool follow = lastRowInView();
    const int row = grid_->rowCount();
    grid_->insertRow(row);
    const QString texts[kColumns]
        = {marker, QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat), description, info};
    for (int c = 0; c < kColumns; ++c) {
        auto* item = new QTableWidgetItem(texts[c]);
        if (c == kMarker)
            item->setTextAlignment(Qt::AlignCenter);
        grid_->setItem(row, c, item);
        if (c != kMarker)
            widenColumnFor(c, texts[c]);
    }
    if (follow) {
        grid_->selectRow(row);
        grid_->scrollTo(grid_->model()->index(row, 0), QAbstractItemView::PositionAtBottom);
    }
}
