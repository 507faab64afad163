#pragma once
// A panel whose children keep fixed places in a drawing of a given design
// size, such as the controller's case with its screen: the whole drawing is
// scaled to the room the panel gets, keeping its proportions, and centred.
// So a larger window shows a larger preview and a small one still shows all
// of it.

#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>

class TScaledCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TScaledCanvas(QSize designSize, QWidget* parent = nullptr);

    // Places child (made a child of the canvas) at box in design coordinates.
    void place(QWidget* child, QRect box);
    // Keeps child at its own size, centred on point in design coordinates.
    void placeCentred(QWidget* child, QPoint point);

    // The drawing's scale now: 1 at its design size.
    qreal scale() const { return m_scale; }
    // A rectangle in design coordinates as it lies on the panel now.
    QRect mapFromDesign(QRect box) const;

    QSize sizeHint() const override { return m_design; }
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return false; }

signals:
    // The drawing was laid out at a new scale or position.
    void rescaled();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Place {
        QPointer<QWidget> child;
        QRect box;
        bool keepSize = false;
    };
    void relayout();

    QSize m_design;
    qreal m_scale = 1.0;
    QPointF m_origin;
    QList<Place> m_places;
};
