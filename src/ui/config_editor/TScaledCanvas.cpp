#include "ui/config_editor/TScaledCanvas.h"

#include <QResizeEvent>

namespace {
// Below this the case picture and the previews become too small to judge.
constexpr qreal kSmallestScale = 0.4;
} // namespace

TScaledCanvas::TScaledCanvas(QSize designSize, QWidget* parent) : QWidget(parent), m_design(designSize)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize TScaledCanvas::minimumSizeHint() const
{
    return (QSizeF(m_design) * kSmallestScale).toSize();
}

void TScaledCanvas::place(QWidget* child, QRect box)
{
    child->setParent(this);
    m_places.append(Place{child, box, false});
    child->setGeometry(mapFromDesign(box));
}

void TScaledCanvas::placeCentred(QWidget* child, QPoint point)
{
    child->setParent(this);
    m_places.append(Place{child, QRect(point, QSize(0, 0)), true});
    relayout();
}

QRect TScaledCanvas::mapFromDesign(QRect box) const
{
    const QPointF topLeft = m_origin + QPointF(box.topLeft()) * m_scale;
    const QPointF bottomRight = m_origin + QPointF(box.topLeft() + QPoint(box.width(), box.height())) * m_scale;
    return QRectF(topLeft, bottomRight).toAlignedRect().intersected(QRect(QPoint(0, 0), size()));
}

void TScaledCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void TScaledCanvas::relayout()
{
    if (m_design.isEmpty())
        return;
    m_scale = qMin(qreal(width()) / m_design.width(), qreal(height()) / m_design.height());
    m_origin = QPointF((width() - m_design.width() * m_scale) / 2, (height() - m_design.height() * m_scale) / 2);
    for (const Place& place : std::as_const(m_places)) {
        QWidget* child = place.child;
        if (!child)
            continue;
        if (place.keepSize) {
            const QPointF centre = m_origin + QPointF(place.box.topLeft()) * m_scale;
            QRect r(QPoint(0, 0), child->size());
            r.moveCenter(centre.toPoint());
            // At a small scale a marker near the edge stays whole.
            r.moveLeft(qBound(0, r.left(), qMax(0, width() - r.width())));
            r.moveTop(qBound(0, r.top(), qMax(0, height() - r.height())));
            child->setGeometry(r);
        } else {
            child->setGeometry(mapFromDesign(place.box));
        }
    }
    emit rescaled();
}
