#include "ui/config_editor/TOutlineShape.h"

#include <QPainter>

TOutlineShape::TOutlineShape(const QPen& pen, QWidget* parent) : QWidget(parent), m_pen(pen)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void TOutlineShape::setPen(const QPen& pen)
{
    m_pen = pen;
    update();
}

void TOutlineShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPen pen = m_pen;
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // The pen's whole width stays inside the box.
    const qreal inset = pen.widthF() / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}
