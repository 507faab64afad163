#include "ui/scheduler/TEventGridDelegate.h"

#include "ui/scheduler/EventOptions.h"

#include "ui/common/OptionPictures.h"

#include <QPainter>

namespace {
constexpr int kPictureSide = 50;

} // namespace

void TEventGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QRect cell = option.rect;
    if (option.state & QStyle::State_Selected)
        painter->fillRect(cell, option.palette.color(QPalette::Highlight).lighter(170));
    else
        painter->fillRect(cell, option.palette.color(QPalette::Base));

    const int column = index.column();
    if (column == 0) {
        QFont font(QStringLiteral("Verdana"));
        font.setPointSize(16);
        painter->setFont(font);
        painter->setPen(Qt::black);
        painter->drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, index.data(Qt::DisplayRole).toString());
    } else if (column >= 1 && column <= 5 && index.data(kShownRole).toBool()) {
        const auto setting = TEventSetting(column - 1);
        const int code = index.data(kCodeRole).toInt();
        const QRect shrunk = cell.adjusted(8, 3, -8, -3);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Qt::black, 1));
        painter->drawRoundedRect(QRectF(shrunk).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        const QRect box(shrunk.topLeft(), QSize(kPictureSide, kPictureSide));
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        if (setting == TEventSetting::Setpoint) {
            painter->drawImage(box, OptionPictures::picture(QStringLiteral("THERM_PNG"), box.size(), ratio, true));
            QFont font(QStringLiteral("Verdana"));
            font.setPointSize(15);
            painter->setFont(font);
            painter->drawText(cell, Qt::AlignCenter, EventOptions::valueText(setting, code));
        } else {
            const QString name = EventOptions::pictureForCode(setting, code);
            if (name.isEmpty())
                painter->drawText(shrunk, Qt::AlignCenter, QStringLiteral("?"));
            else
                painter->drawImage(box, OptionPictures::picture(name, box.size(), ratio, false));
        }
    }
    painter->restore();
}
