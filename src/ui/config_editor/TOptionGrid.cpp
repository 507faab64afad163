#include "ui/config_editor/TOptionGrid.h"

#include "ui/common/OptionPictures.h"
#include "ui/config_editor/TOptionGridAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <type_traits>
#include <utility>

namespace {
const QColor kMoneyGreen(192, 220, 192);
const QColor kNavy(0, 0, 128);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
} // namespace

TOptionGrid::TOptionGrid(TControlOption option, const TDevice_Config_v2& record,
                         std::function<void(const RecordChange&)> edit, QWidget* parent)
    : QWidget(parent)
    , m_option(option)
    , m_record(record)
    , m_edit(std::move(edit))
{
    installOptionGridAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(option == TControlOption::Setpoint
                   ? QStringLiteral("Click how the R/C shows the setpoint")
                   : QStringLiteral("Click an option to offer it (green) or not (white)"));
    // A row is 60 pixels high where the page has room; a low window may
    // take it down to its minimum, the pictures shrinking with it.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
}

int TOptionGrid::cellCount() const
{
    switch (m_option) {
    case TControlOption::Mode: return 5;
    case TControlOption::Setpoint: return 2;
    case TControlOption::FanSpeed: return 4;
    case TControlOption::AirDirection: return 6; // Hold has no cell
    case TControlOption::Run: break;
    }
    return 0;
}

int TOptionGrid::cellWidth() const
{
    return m_option == TControlOption::Setpoint ? kSetpointCellWidth : kCellWidth;
}

QRect TOptionGrid::cellRect(int cell) const
{
    return QRect(cell * cellWidth(), 0, cellWidth(), qMin(height(), int(kRowHeight)));
}

QSize TOptionGrid::sizeHint() const
{
    return QSize(cellCount() * cellWidth(), kRowHeight);
}

QString TOptionGrid::cellName(int cell) const
{
    if (m_option == TControlOption::Setpoint)
        return cell == 0 ? QStringLiteral("Setpoint shown as a value") : QStringLiteral("Setpoint shown as a gradient");
    return OptionCodes::itemTexts(m_option).value(cell);
}

namespace {
template <typename Record> auto* entriesOf(TControlOption option, Record& record)
{
    using Entry = std::conditional_t<std::is_const_v<Record>, const uint8_t, uint8_t>;
    switch (option) {
    case TControlOption::Mode: return static_cast<Entry*>(record.md_ctrl_enable);
    case TControlOption::FanSpeed: return static_cast<Entry*>(record.fs_ctrl_enable);
    case TControlOption::AirDirection: return static_cast<Entry*>(record.ad_ctrl_enable);
    default: return static_cast<Entry*>(nullptr);
    }
}
} // namespace

const uint8_t* TOptionGrid::enableEntries() const
{
    return entriesOf(m_option, m_record);
}

bool TOptionGrid::isCellSelected(int cell) const
{
    if (cell < 0 || cell >= cellCount())
        return false;
    if (m_option == TControlOption::Setpoint)
        return cell == 0 ? m_record.show_setpoint_value != 0 : m_record.show_setpoint_value == 0;
    return enableEntries()[cell] != 0;
}

void TOptionGrid::rc_ui_DrawGridSelectCell(int cell)
{
    if (cell < 0 || cell >= cellCount())
        return;
    m_current = cell;
    const TControlOption option = m_option;
    m_edit([option, cell](TDevice_Config_v2& r) {
        if (option == TControlOption::Setpoint) {
            r.show_setpoint_value = cell == 0 ? 1 : 0;
        } else {
            uint8_t& entry = entriesOf(option, r)[cell];
            entry = entry == 0 ? 1 : 0;
        }
    });
    update();
    QAccessibleStateChangeEvent event(this, [] {
        QAccessible::State s;
        s.checked = true;
        return s;
    }());
    event.setChild(cell);
    QAccessible::updateAccessibility(&event);
}

void TOptionGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int cell = 0; cell < cellCount(); ++cell)
        rc_ui_DrawGridDrawCell(painter, cell);
}

void TOptionGrid::rc_ui_DrawGridDrawCell(QPainter& painter, int cell) const
{
    const bool enabled = isEnabled();
    const QRect rect = cellRect(cell);
    // Enabled, the cell shows the page's own background (the grid paints no
    // background of its own, so it matches whatever panel it stands on).
    if (!enabled)
        painter.fillRect(rect, palette().color(QPalette::Button));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (isCellSelected(cell)) {
        painter.setBrush(enabled ? kMoneyGreen : kSilver);
        painter.setPen(QPen(enabled ? kNavy : kGrey, 1));
    } else {
        painter.setBrush(palette().color(enabled ? QPalette::Base : QPalette::Button));
        painter.setPen(Qt::NoPen);
    }
    const QRect inner = rect.adjusted(8, 3, -8, -3);
    painter.drawRoundedRect(QRectF(inner).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    painter.restore();

    // Shrunk with a lower row, keeping the pictures' shapes.
    const int side = qMin(50, inner.height());
    QRect box(inner.topLeft(), QSize(side, side));
    if (m_option == TControlOption::Setpoint)
        box = QRect(inner.topLeft() + QPoint(5, 7 * side / 50), QSize(105 * side / 50, 36 * side / 50));
    const QString name = OptionCodes::pictureNames(m_option).value(cell);
    painter.drawImage(box, OptionPictures::picture(name, box.size(), devicePixelRatioF(), !enabled));

    if (hasFocus() && cell == m_current) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect.adjusted(1, 1, -1, -1);
        focus.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void TOptionGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    for (int cell = 0; cell < cellCount(); ++cell) {
        if (cellRect(cell).contains(event->position().toPoint())) {
            rc_ui_DrawGridSelectCell(cell);
            return;
        }
    }
}

void TOptionGrid::keyPressEvent(QKeyEvent* event)
{
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Left: target = m_current - 1; break;
    case Qt::Key_Right: target = m_current + 1; break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = cellCount() - 1; break;
    case Qt::Key_Space: target = m_current; break;
    default: return QWidget::keyPressEvent(event);
    }
    // A move against either end leaves the grid as it is.
    if (target >= 0 && target < cellCount() && (target != m_current || event->key() == Qt::Key_Space))
        rc_ui_DrawGridSelectCell(target);
}

void TOptionGrid::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}
