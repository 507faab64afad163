#include "ui/app/TSortArrowStyle.h"

#include <QStyleOptionHeader>

void TSortArrowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    if (element == PE_IndicatorHeaderArrow) {
        if (const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option)) {
            QStyleOptionHeader flipped(*header);
            if (header->sortIndicator == QStyleOptionHeader::SortUp)
                flipped.sortIndicator = QStyleOptionHeader::SortDown;
            else if (header->sortIndicator == QStyleOptionHeader::SortDown)
                flipped.sortIndicator = QStyleOptionHeader::SortUp;
            // Styles look at the state flags as well as the indicator.
            flipped.state &= ~(State_UpArrow | State_DownArrow);
            if (flipped.sortIndicator == QStyleOptionHeader::SortUp)
                flipped.state |= State_UpArrow;
            else if (flipped.sortIndicator == QStyleOptionHeader::SortDown)
                flipped.state |= State_DownArrow;
            QProxyStyle::drawPrimitive(element, &flipped, painter, widget);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
