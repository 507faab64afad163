#include "ui/imaging/TFlowLayout.h"

#include <QWidget>

TFlowLayout::TFlowLayout(QWidget* parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    // The image view sizes the panel itself (its width, then the height the
    // frames need); the layout must not impose a minimum of its own.
    setSizeConstraint(QLayout::SetNoConstraint);
}

TFlowLayout::~TFlowLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void TFlowLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
}

QLayoutItem* TFlowLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* TFlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

void TFlowLayout::moveItem(int from, int to)
{
    if (from < 0 || from >= m_items.size() || to < 0 || to >= m_items.size() || from == to)
        return;
    m_items.move(from, to);
    invalidate();
}

int TFlowLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize TFlowLayout::sizeHint() const
{
    return minimumSize();
}

QSize TFlowLayout::minimumSize() const
{
    // Narrow enough for the widest single frame; the height comes from
    // heightForWidth.
    QSize size;
    for (const QLayoutItem* item : m_items)
        size = size.expandedTo(item->sizeHint());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void TFlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int TFlowLayout::arrange(const QRect& rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    int bottom = 0;
    for (QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (x > area.x() && x + size.width() > area.right() + 1) {
            x = area.x();
            y += rowHeight;
            rowHeight = 0;
        }
        if (apply)
            item->setGeometry(QRect(QPoint(x, y), size));
        x += size.width();
        rowHeight = qMax(rowHeight, size.height());
        bottom = y + rowHeight - rect.y();
    }
    return bottom == 0 ? 0 : bottom + contentsMargins().bottom();
}
